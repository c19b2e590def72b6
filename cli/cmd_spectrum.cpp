// harmograph spectrum FILE --at "yy/mm/dd hh:mm" [--channel N] [--size WxH]
//   [--encoding cp932|utf-8] -o OUT.png|OUT.svg|OUT.pdf|OUT.csv
// The spectrum of the record at or after the time given: the voltage distortion and the chosen
// channel's current of every order, drawn as the spectrum window draws it, or as CSV (one line per
// order: order, voltage distortion (%), current (A)) in code page 932 or UTF-8.
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
#include "cli/painting_app.h"
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

}  // namespace

int spectrum(int argc, char** argv) {
    auto args = parseArgs(argc, argv, 2, {"--at", "--channel", "--size", "--encoding", "-o"}, {});
    if (!args) return usageError(args.error());
    if (args->positional.size() != 1 || !args->has("-o") || !args->has("--at"))
        return usageOf("spectrum");
    const std::string output = *args->get("-o");
    if (!isCsvName(output) && !pictureFormOf(output))
        return usageError("-o must name a .png, .svg, .pdf or .csv file");
    auto size = spectrumSize(*args);
    if (!size) return usageError(size.error());
    auto encoding = csvEncoding(*args);
    if (!encoding) return usageError(encoding.error());
    if (auto at = splitPeriodText("--at", *args->get("--at")); !at) return usageError(at.error());

    auto scan = scanForOutput("spectrum", args->positional[0], output);
    if (!scan) return fail(scan.error());
    auto texts = spectrumPeriod(*args->get("--at"), *scan);
    if (!texts) return fail("spectrum: " + texts.error());
    auto loaded = executeFor(*scan, *texts, ExecuteMode::Graph);
    if (!loaded) return fail("spectrum: " + loaded.error());
    const HARMDIM& state = **loaded;

    int channel = 0;
    if (auto c = args->get("--channel")) {
        auto n = channelNumber("--channel", *c, state.ChannelCount);
        if (!n) return usageError(n.error());
        channel = *n;
    }
    const auto rec = recordAtOrAfter(state, 0);
    if (!rec) return fail("spectrum: no record at or after " + *args->get("--at"));
    const Spectrum spectrum = spectrumAt(state, *rec, channel);
    if (int failed = writeSpectrum(spectrum, output, size->first, size->second, *encoding))
        return failed;
    std::cout << shownText(output) << ": " << spectrum.when << ", " << spectrum.channelText << ", "
              << spectrum.orders.size() << " orders\n";
    return 0;
}

}  // namespace hg::cli
