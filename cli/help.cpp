#include "cli/help.h"

#include <iomanip>
#include <string>
#include <utility>
#include <vector>

#include "analysis/items.h"
#include "cli/args.h"
#include "cli/commands.h"

#ifndef HARMO_VERSION
#define HARMO_VERSION "unknown"
#endif

namespace hg::cli {

namespace {

constexpr const char* kPeriod = "yy/mm/dd hh:mm";

constexpr CommandInfo kCommands[] = {
    {"info", info,
     "kind, record length, channels, orders, short form, power factor, records, first and last "
     "stamp, interval",
     "harmograph info FILE...",
     "FILE...\tone or more recordings; with several, each block starts with \"file: FILE\""},
    {"convert", convert,
     "the CSV conversion, as the window's dialog would set it; several recordings or a folder at "
     "once",
     "harmograph convert FILE...|FOLDER [--start T] [--end T] [--orders LIST] "
     "[--voltage-angle|--no-voltage-angle] [--per-phase|--no-per-phase] [--split] [--combined] "
     "[--encoding cp932|utf-8] [--jobs N] [-o OUT|FOLDER]",
     "--start T\tthe period's start (default: the first record)\n"
     "--end T\tthe period's end (default: the last record)\n"
     "--orders LIST\t\"all\" or orders and ranges \"1,3,5-9\" (default: every order of the kind)\n"
     "--voltage-angle, --no-voltage-angle\tthe voltage superposition angles (hv, hn)\n"
     "--per-phase, --no-per-phase\tthe per-phase rms values (hv)\n"
     "--split\tone file per item (hh, hn)\n"
     "--combined\tthe combined current of the channels (two or more current channels)\n"
     "--encoding cp932|utf-8\tthe CSV's code page: cp932 (default) or utf-8 (with its byte-order "
     "mark)\n"
     "--jobs N\trecordings converted at once (default: the number of cores)\n"
     "-o OUT|FOLDER\tthe CSV file; with several recordings or a folder, the folder they go into "
     "(default: beside each recording, its name with .csv)"},
    {"tables", tables,
     "the analysis tables of a graph-mode load, as JSON (channel 0..C, C being the composite)",
     "harmograph tables FILE [--start T] [--end T] [--predict C,X,U [--channel N]] -o OUT.json",
     "--start T, --end T\tthe period (default: the whole recording)\n"
     "--predict C,X,U\tadds the upstream prediction: MVA, percent, kV\n"
     "--channel N\tthe prediction's channel, 0..C (C = composite)\n"
     "-o OUT.json\tthe JSON file"},
    {"plot", plot,
     "one graph as the graph window draws it, as a PNG picture, an SVG drawing or a PDF page, or "
     "its curves as CSV",
     "harmograph plot FILE --item CODE (--group CODE | --orders LIST) [--channel N] [--start T] "
     "[--end T] [--size WxH] [--message TEXT] [--transformer C,X,U] [--axis LOW,HIGH,STEP] "
     "[--compare FILE2 [--compare-start T] [--compare-end T] [--align day|week]] "
     "[--encoding cp932|utf-8] -o OUT.png|OUT.svg|OUT.pdf|OUT.csv",
     "--item CODE\tthe item (the codes are listed below)\n"
     "--group CODE\tthe order group, 1..8\n"
     "--orders LIST\t\"all\" or orders and ranges \"1,3,5-9\" (at most five drawn)\n"
     "--channel N\t0..C (C = composite)\n"
     "--start T, --end T\tthe period (default: the whole recording)\n"
     "--size WxH\tthe picture size (default 1000x630)\n"
     "--message TEXT\tthe message line of the graph\n"
     "--transformer C,X,U\tthe prediction's transformer: MVA, percent, kV\n"
     "--axis LOW,HIGH,STEP\tthe value axis set by hand (default: the item's own)\n"
     "--compare FILE2\ta period of a recording of the same kind (FILE itself for another period of "
     "it) drawn dashed over the graph\n"
     "--compare-start T, --compare-end T\tthat period (default: the whole of FILE2)\n"
     "--align day|week\tits records placed by time of day (default) or by day of the week\n"
     "--encoding cp932|utf-8\tthe CSV's code page: cp932 (default) or utf-8 (with its byte-order "
     "mark)\n"
     "-o OUT\tthe picture, or CSV: each record's time stamp and the value of every curve"},
    {"print", print, "a printed sheet (PDF)",
     "harmograph print FILE --layout one|set|thirds --items CODES [--channel N] [--mono] "
     "[--landscape] [--paper A4|A3|B4|B5|letter] [--message TEXT] [--start T] [--end T] "
     "[--predict C,X,U] -o OUT.pdf",
     "--layout one|set|thirds\tone item, a set of up to three, or up to three thirds\n"
     "--items CODES\titem codes \"1,2,3\" (listed below)\n"
     "--channel N\t0..C (C = composite)\n"
     "--mono\tblack and white\n"
     "--landscape\tthe sheet turned\n"
     "--paper A4|A3|B4|B5|letter\tthe paper (default A4; B4 and B5 are the JIS sizes)\n"
     "--message TEXT\tthe message line\n"
     "--start T, --end T\tthe period (default: the whole recording)\n"
     "--predict C,X,U\tthe prediction's transformer: MVA, percent, kV\n"
     "-o OUT.pdf\tthe sheet"},
    {"synth", synth,
     "writes a synthetic recording of the kind its name gives (`a.hm3`, `a.Rhn2`, `a.ha6`)",
     "harmograph synth -o FILE [--records N] [--interval MIN] [--start T] [--seed S] [--gaps N] "
     "[--short] [--adversarial]",
     "-o FILE\tthe recording; its name gives the kind\n"
     "--records N\trecords (default 144)\n"
     "--interval MIN\tminutes between records (default 10)\n"
     "--start T\tthe first record's stamp\n"
     "--seed S\tthe random seed (default 1)\n"
     "--gaps N\trecords dropped at random\n"
     "--short\tthe short hn form\n"
     "--adversarial\tmixes in the hard cases"},
    {"spectrum", spectrum,
     "the voltage distortion and a channel's current per order of the record at a time, or "
     "their 95th percentile or maximum over a period, as a picture or CSV",
     "harmograph spectrum FILE (--at T | --stat p95|max [--start T] [--end T]) "
     "[--limits NAME [--contract-kw P]] [--channel N] [--size WxH] [--encoding cp932|utf-8] -o "
     "OUT.png|OUT.svg|OUT.pdf|OUT.csv",
     "--at T\tthe record at or after this time\n"
     "--stat p95|max\teach order's 95th percentile (nearest rank) or maximum over the period\n"
     "--start T, --end T\tthe period of --stat (default: the whole recording)\n"
     "--limits NAME\tthe limit set marked on the bars, which are coloured by verdict\n"
     "--contract-kw P\tthe contract power, for the current-per-kW sets\n"
     "--channel N\t0..C (C = composite; default 0)\n"
     "--size WxH\tthe picture size\n"
     "--encoding cp932|utf-8\tthe CSV's code page: cp932 (default) or utf-8 (with its byte-order "
     "mark)\n"
     "-o OUT\tthe picture, or CSV: order, voltage distortion (%), current (A)"},
    {"report", report,
     "the assessment of a period by a limit set's own method: windows, coverage, verdicts and "
     "one overall verdict",
     "harmograph report FILE --limits NAME [--contract-kw P] [--measured-kv V] [--channel N] "
     "[--il-a A (--isc-ka I | --isc-il R)] [--meta FILE] [--site T ...] "
     "[--encoding cp932|utf-8] [--start T] [--end T] -o OUT.pdf|OUT.csv|OUT.json",
     "--limits NAME\tthe limit set (harmograph limits lists them)\n"
     "--contract-kw P\tthe contract power, for the outflow current sets\n"
     "--measured-kv V\tthe nominal voltage at the measuring point (default: the metadata's, "
     "else the set's)\n"
     "--channel N\tthe current's channel, 0..C (default: the composite)\n"
     "--il-a A\tthe maximum demand load current, for the current-of-demand sets\n"
     "--isc-ka I\tthe short-circuit current at the point of connection (or --isc-il R, the "
     "ratio)\n"
     "--meta FILE\tthe sheet's particulars as JSON: site, customer, receiving_point, "
     "instrument, serial, ct_ratio, vt_ratio, nominal_kv, voltage_held\n"
     "--site T ...\tone particular: --site, --customer, --receiving-point, --instrument, "
     "--serial, --ct-ratio, --vt-ratio, --nominal-kv, --voltage-held (over --meta)\n"
     "--encoding cp932|utf-8\tthe CSV's code page: cp932 (default) or utf-8 (with its byte-order "
     "mark)\n"
     "--start T, --end T\tthe period (default: the whole recording)\n"
     "-o OUT\tthe report sheet (PDF, A4 pages), CSV or JSON"},
    {"limits", limits, "lists the limit sets found (installed and the user's own)",
     "harmograph limits", ""},
};

// The "--start T<tab>text" lines of a command, and its --help line, in two aligned columns.
void printOptions(std::ostream& out, std::string_view options) {
    std::vector<std::pair<std::string_view, std::string_view>> rows;
    while (!options.empty()) {
        const std::size_t end = std::min(options.find('\n'), options.size());
        const std::string_view line = options.substr(0, end);
        const std::size_t tab = std::min(line.find('\t'), line.size());
        rows.emplace_back(line.substr(0, tab), line.substr(std::min(tab + 1, line.size())));
        options.remove_prefix(std::min(end + 1, options.size()));
    }
    rows.emplace_back("--help", "this text");
    std::size_t width = 0;
    for (const auto& row : rows) width = std::max(width, row.first.size());
    for (const auto& [option, text] : rows)
        out << "  " << option << std::string(width + 2 - option.size(), ' ') << text << "\n";
}

// The kinds of recording that offer an item, when not every kind does.
std::string_view offerText(KindOffer offer) {
    switch (offer) {
        case KindOffer::Every:
            return "";
        case KindOffer::SuperpositionKinds:
            return "ha4, hv, hn";
        case KindOffer::Ha4Only:
            return "ha4";
        case KindOffer::PerPhaseKinds:
            return "ha5, ha6, hv";
    }
    return "";
}

// The item codes of the catalogue in the order of the graph window's item list.
void printItems(std::ostream& out) {
    out << "\nitems (CODE, in the order of the graph window's list; the kinds that offer it):\n";
    for (const ItemInfo& item : itemCatalogue()) {
        out << "  " << std::right << std::setw(2) << item.code << "  " << item.listText;
        if (const std::string_view kinds = offerText(item.offer); !kinds.empty())
            out << "  (" << kinds << ")";
        out << "\n";
    }
}

}  // namespace

const CommandInfo* commandTable(std::size_t& count) {
    count = std::size(kCommands);
    return kCommands;
}

const CommandInfo* findCommand(std::string_view word) {
    for (const CommandInfo& c : kCommands)
        if (word == c.word) return &c;
    return nullptr;
}

void printOverview(std::ostream& out) {
    out << "usage: harmograph [FILE|FOLDER]      the windows, on that folder\n"
           "       harmograph COMMAND [OPTIONS]  without windows\n"
           "       harmograph COMMAND --help     the options of COMMAND\n"
           "       harmograph --version\n\n"
           "commands:\n";
    for (const CommandInfo& c : kCommands)
        out << "  " << std::left << std::setw(9) << c.word << c.summary << "\n";
    out << "\nperiods (T) are written \"" << kPeriod
        << "\". exit codes: 0 success, 1 failure, 2 usage error.\n";
}

void printCommandHelp(std::ostream& out, const CommandInfo& command) {
    out << "usage: " << command.usage << "\n" << command.summary << "\n\noptions:\n";
    printOptions(out, command.options);
    if (std::string_view(command.options).find("--item") != std::string_view::npos) printItems(out);
}

void printVersion(std::ostream& out) {
    out << "harmograph " << HARMO_VERSION << "\n";
}

int usageOf(std::string_view word) {
    const CommandInfo* c = findCommand(word);
    return usageError(std::string("usage: ") + (c ? c->usage : "harmograph --help") +
                      " (harmograph " + std::string(word) + " --help lists the options)");
}

}  // namespace hg::cli
