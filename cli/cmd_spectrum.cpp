// harmograph spectrum FILE (--at "yy/mm/dd hh:mm" | --stat p95|max [--start T] [--end T])
//   [--limits NAME [--contract-kw P]] [--channel N] [--size WxH] [--encoding cp932|utf-8]
//   -o OUT.png|OUT.svg|OUT.pdf|OUT.csv
// The spectrum of the record at or after the time given, or each order's 95th percentile or
// maximum over a period: the voltage distortion and the chosen channel's current of every order,
// drawn as the spectrum window draws it (with a limit set's marks and verdict colours), or as CSV
// (one line per order: order, voltage distortion (%), current (A)) in code page 932 or UTF-8.
#include <QGuiApplication>
#include <QString>
#include <algorithm>
#include <iostream>
#include <memory>

#include "analysis/harmdim.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/graph_load.h"
#include "cli/help.h"
#include "cli/limit_sets.h"
#include "cli/painting_app.h"
#include "graph/period_spectrum.h"
#include "graph/shown_range.h"
#include "graph/spectrum.h"
#include "platform/csv_text.h"
#include "platform/dates.h"
#include "platform/qt/picture_file.h"
#include "platform/qt/qpainter_canvas.h"

namespace hg::cli {

namespace {

std::optional<double> dateTimeOf(const std::string& date, const std::string& time) {
    const auto day = parseDateText(date);
    const auto minute = parseTimeText(time);
    if (!day || !minute) return std::nullopt;
    return *day + *minute;
}

std::string hhmm(double when) {
    const int32_t m = minuteOfDay(when);
    const std::string h = std::to_string(m / 60), mm = std::to_string(m % 60);
    return (h.size() < 2 ? "0" + h : h) + ":" + (mm.size() < 2 ? "0" + mm : mm);
}

// The period loaded: from the time asked to a day later or the end of the file.
Result<PeriodTexts> spectrumPeriod(const std::string& at, const ScanResult& scan) {
    auto parts = splitPeriodText("--at", at);
    if (!parts) return Error{"--at: " + parts.error()};
    const auto start = dateTimeOf(parts->first, parts->second);
    const auto fileEnd = dateTimeOf(scan.endDate, scan.endTime);
    if (!start || !fileEnd) return Error{"--at takes \"yy/mm/dd hh:mm\", not \"" + at + "\""};
    if (*start > *fileEnd) return Error{"no record at or after " + at};
    const double end = std::min(*start + 1.0, *fileEnd);
    return PeriodTexts{parts->first, parts->second, formatYyMmDd(end), hhmm(end)};
}

Result<std::pair<int, int>> spectrumSize(const Args& args) {
    if (!args.has("--size")) return std::make_pair(900, 700);
    return pictureSize("--size", *args.get("--size"), 200, 10000);
}

int writeSpectrum(const Spectrum& spectrum, const std::string& output, int width, int height,
                  TextEncoding encoding) {
    if (pictureFormOf(output)) {
        const auto app = paintingApplication();
        const PictureOutcome r =
            writePicture(QString::fromStdString(output), *pictureFormOf(output), width, height,
                         QStringLiteral("スペクトル"), [&](Canvas& canvas) {
                             composeSpectrum(canvas, spectrum, {});
                             return true;
                         });
        if (r.result != PictureResult::Written)
            return fail("cannot write " + output + ": " + r.cause);
    } else {
        if (auto ok = writeCsvFile(output, spectrumCsv(spectrum), encoding); !ok)
            return fail("spectrum: " + ok.error());
    }
    return 0;
}

// The spectrum asked for: of the record at --at, or the statistic of the period (--start/--end,
// default the whole recording) with --stat; with --limits, the set's marks on the bars.
struct SpectrumAsked {
    std::optional<SpectrumStatistic> statistic;
    const LimitSet* limits = nullptr;
    std::optional<double> contractKw;
};

Result<SpectrumAsked> spectrumAsked(const Args& args, const LimitCatalogue& catalogue) {
    SpectrumAsked asked;
    if (args.has("--at") == args.has("--stat")) return Error{"give --at or --stat, one of them"};
    if (args.has("--at") && (args.has("--start") || args.has("--end")))
        return Error{"--start and --end go with --stat"};
    if (auto stat = args.get("--stat")) {
        if (*stat != "p95" && *stat != "max") return Error{"--stat takes p95 or max"};
        asked.statistic = *stat == "max" ? SpectrumStatistic::Max : SpectrumStatistic::P95;
    }
    if (auto name = args.get("--limits")) {
        auto chosen = catalogue.choose(*name);
        if (!chosen) return Error{chosen.error()};
        asked.limits = *chosen;
    }
    if (auto kw = args.get("--contract-kw")) {
        auto value = positiveNumber("--contract-kw", *kw);
        if (!value) return Error{value.error()};
        asked.contractKw = *value;
    }
    return asked;
}

Result<PeriodTexts> periodOfSpectrum(const Args& args, const ScanResult& scan) {
    if (args.has("--stat")) return periodTextsOf(args, scan);
    return spectrumPeriod(*args.get("--at"), scan);
}

Result<Spectrum> spectrumOf(const Args& args, const HARMDIM& state, const SpectrumAsked& asked,
                            int channel) {
    if (!state.currentsFailure().empty()) return Error{state.currentsFailure()};
    Spectrum spectrum;
    if (asked.statistic) {
        const int32_t placed = placedRecords(state);
        if (placed < 1) return Error{"no record in the period"};
        spectrum = spectrumOver(state, {0, placed - 1}, channel, *asked.statistic);
    } else {
        const auto rec = recordAtOrAfter(state, 0);
        if (!rec) return Error{"no record at or after " + *args.get("--at")};
        spectrum = spectrumAt(state, *rec, channel);
    }
    if (asked.limits) applySpectrumLimits(spectrum, state, *asked.limits, asked.contractKw);
    return spectrum;
}

}  // namespace

int spectrum(int argc, char** argv) {
    auto args = parseArgs(argc, argv, 2,
                          {"--at", "--stat", "--start", "--end", "--limits", "--contract-kw",
                           "--channel", "--size", "--encoding", "-o"},
                          {});
    if (!args) return usageError(args.error());
    if (args->positional.size() != 1 || !args->has("-o")) return usageOf("spectrum");
    const std::string output = *args->get("-o");
    if (!isCsvName(output) && !pictureFormOf(output))
        return usageError("-o must name a .png, .svg, .pdf or .csv file");
    auto size = spectrumSize(*args);
    if (!size) return usageError(size.error());
    auto encoding = csvEncoding(*args);
    if (!encoding) return usageError(encoding.error());
    if (auto at = args->get("--at"))
        if (auto parts = splitPeriodText("--at", *at); !parts) return usageError(parts.error());
    const LimitCatalogue catalogue = loadCatalogue(argv[0]);
    auto asked = spectrumAsked(*args, catalogue);
    if (!asked) return usageError(asked.error());

    auto scan = scanForOutput("spectrum", args->positional[0], output);
    if (!scan) return fail(scan.error());
    auto texts = periodOfSpectrum(*args, *scan);
    if (!texts) return fail("spectrum: " + texts.error());
    auto loaded = executeFor(*scan, *texts, ExecuteMode::Graph);
    if (!loaded) return fail("spectrum: " + loaded.error());
    int channel = 0;
    if (auto c = args->get("--channel")) {
        auto n = channelNumber("--channel", *c, (*loaded)->ChannelCount);
        if (!n) return usageError(n.error());
        channel = *n;
    }
    auto spectrum = spectrumOf(*args, **loaded, *asked, channel);
    if (!spectrum) return fail("spectrum: " + spectrum.error());
    if (int failed = writeSpectrum(*spectrum, output, size->first, size->second, *encoding))
        return failed;
    std::cout << shownText(output) << ": " << spectrum->when << ", " << spectrum->channelText
              << ", " << spectrum->orders.size() << " orders\n";
    return 0;
}

}  // namespace hg::cli
