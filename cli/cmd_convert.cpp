// harmograph convert FILE... | FOLDER... [--start T] [--end T] [--orders LIST]
//   [--voltage-angle|--no-voltage-angle] [--per-phase|--no-per-phase] [--split] [--combined]
//   [--encoding cp932|utf-8] [--jobs N] [-o OUT|FOLDER]
//
// The window's CSV conversion with the dialog set from the options: the scan, Execute's
// preparation in conversion mode and the writer the dispatch chooses. Prints the files written.
// Several recordings (or a folder of them) are converted at once into the folder -o names.
#include <iostream>
#include <thread>

#include "cli/args.h"
#include "cli/batch_convert.h"
#include "cli/commands.h"
#include "cli/convert_recording.h"
#include "cli/help.h"
#include "cli/progress.h"
#include "datafile/scan.h"
#include "platform/system_files.h"
#include "platform/system_reason.h"

namespace hg::cli {

namespace {

constexpr int kMaxJobs = 256;

// What can be checked before any recording is read: the period texts, the order list's form and
// the encoding.
Status checkCommonOptions(const Args& args) {
    for (const char* option : {"--start", "--end"})
        if (auto t = args.get(option))
            if (auto parts = splitPeriodText(option, *t); !parts) return Error{parts.error()};
    if (auto list = args.get("--orders")) {
        FileKind everyOrder;
        everyOrder.text = "hh";
        everyOrder.maxOrderIndex = 255;
        if (auto orders = orderList("--orders", *list, everyOrder); !orders)
            return Error{orders.error()};
    }
    if (auto encoding = csvEncoding(args); !encoding) return Error{encoding.error()};
    return success();
}

int convertOne(const Args& args, const std::string& path) {
    auto scan = scanFile(path);
    if (!scan) return fail(scan.error());
    for (const std::string& w : scan->warnings) warn(w);
    const std::string out = args.get("-o").value_or(scan->csvName);
    TerminalProgress bar("convert");
    const Conversion c = convertRecording(args, *scan, out, bar.report());
    bar.finish();
    if (!c.ok()) return c.usage ? usageError(c.error) : fail(c.error);
    for (const std::string& file : c.files) std::cout << shownText(file) << "\n";
    if (c.skippedRecords > 0)
        warn(std::to_string(c.skippedRecords) +
             " records without a real date and time were left out");
    std::cout.flush();
    return std::cout ? kExitSuccess : fail("cannot write the output");
}

// The folder of a batch's outputs: made when it does not exist yet (`made` says so).
Result<std::string> outputFolder(const Args& args, bool& made) {
    made = false;
    const auto out = args.get("-o");
    if (!out) return std::string();
    if (sys::isFolder(*out)) return *out;
    if (const int err = sys::makeFolder(*out); err != 0)
        return Error{"cannot make the folder " + *out + " (" + systemReasonText(err) + ")"};
    made = true;
    return *out;
}

int convertMany(const Args& args, int jobs) {
    auto inputs = batchInputs(args.positional);
    if (!inputs) return fail(inputs.error());
    if (auto out = args.get("-o"); out && !sys::isFolder(*out) && sys::exists(*out))
        return usageError("-o " + *out + " is not a folder (several recordings go into a folder)");
    bool made = false;
    auto folder = outputFolder(args, made);
    if (!folder) return fail(folder.error());
    const BatchResult result =
        convertAll(args, *inputs, *folder, jobs, [](const std::string& line) { warn(line); });
    // A folder made for a batch that wrote nothing is not left behind.
    if (made && result.files.empty()) sys::removeEmptyFolder(*folder);
    for (const std::string& file : result.files) std::cout << shownText(file) << "\n";
    std::cout.flush();
    if (!result.failed.empty()) {
        std::string names;
        for (const std::string& f : result.failed) names += (names.empty() ? "" : ", ") + f;
        return fail(std::to_string(result.failed.size()) + " of " + std::to_string(inputs->size()) +
                    " recordings not converted: " + names);
    }
    return std::cout ? kExitSuccess : fail("cannot write the output");
}

}  // namespace

int convert(int argc, char** argv) {
    auto args = parseArgs(argc, argv, 2, kConvertValued, kConvertFlags);
    if (!args) return usageError(args.error());
    if (args->positional.empty()) return usageOf("convert");
    if (auto ok = checkCommonOptions(*args); !ok) return usageError(ok.error());
    int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    if (auto text = args->get("--jobs")) {
        auto n = wholeNumber<int>("--jobs", *text, 1, kMaxJobs);
        if (!n) return usageError(n.error());
        jobs = *n;
    }
    const bool batch = args->positional.size() > 1 || sys::isFolder(args->positional.front());
    return batch ? convertMany(*args, jobs) : convertOne(*args, args->positional.front());
}

}  // namespace hg::cli
