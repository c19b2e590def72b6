#include <charconv>
#include <iostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "datafile/scan.h"

namespace hg::cli {

namespace {

// The shortest text that reads back as the single value ("10", "10.10101", "1.7320508").
std::string plainFloat(float value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

// The "key: value" lines of one recording; false when it cannot be read.
bool describe(const std::string& path) {
    auto scan = scanFile(path);
    if (!scan) {
        fail(scan.error());
        return false;
    }
    for (const std::string& warning : scan->warnings) warn(path + ": " + warning);

    const FileKind& kind = scan->kind;
    std::cout << "kind: " << kind.text << "\n"
              << "record_length: " << scan->recordLength << "\n"
              << "channels: " << kind.channels << "\n"
              << "max_order_index: " << kind.maxOrderIndex << "\n"
              << "short_form: " << (scan->shortHn ? "yes" : "no") << "\n"
              << "power_factor: " << plainFloat(powerFactorK(path)) << "\n"
              << "records: " << scan->records << "\n"
              << "first: " << scan->startDate << " " << scan->startTime << "\n"
              << "last: " << scan->endDate << " " << scan->endTime << "\n"
              << "interval: " << plainFloat(scan->recordInterval) << "\n";
    return true;
}

}  // namespace

// One recording: its lines. Several: each block starts with "file: PATH" and a blank line
// separates them; a recording that cannot be read is reported and the others still described.
int info(int argc, char** argv) {
    auto args = parseArgs(argc, argv, 2, {}, {});
    if (!args) return usageError(args.error());
    if (args->positional.empty()) return usageOf("info");
    const bool several = args->positional.size() > 1;
    int failed = 0;
    for (std::size_t i = 0; i < args->positional.size(); ++i) {
        const std::string& path = args->positional[i];
        if (several) std::cout << (i ? "\n" : "") << "file: " << shownText(path) << "\n";
        if (!describe(path)) ++failed;
    }
    std::cout.flush();
    if (!std::cout) return fail("info: cannot write the output");
    if (failed && several)
        return fail(std::to_string(failed) + " of " + std::to_string(args->positional.size()) +
                    " recordings could not be read");
    return failed ? kExitFailure : kExitSuccess;
}

}  // namespace hg::cli
