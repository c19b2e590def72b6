#include <charconv>
#include <iostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "datafile/scan.h"

namespace hg::cli {

namespace {

// The shortest text that reads back as the single value ("10", "10.10101", "1.7320508").
std::string plainFloat(float value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

}  // namespace

int info(int argc, char** argv) {
    auto args = parseArgs(argc, argv, 2, {}, {});
    if (!args) return fail("info: " + args.error());
    if (args->positional.size() != 1) return fail("usage: harmograph info FILE");
    const std::string& path = args->positional[0];

    auto scan = scanFile(path);
    if (!scan) return fail(scan.error());
    for (const std::string& warning : scan->warnings)
        std::cerr << "harmograph: " << warning << "\n";

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
    std::cout.flush();
    if (!std::cout) return fail("info: cannot write the output");
    return 0;
}

}  // namespace hg::cli
