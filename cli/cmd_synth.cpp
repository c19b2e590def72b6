#include <limits>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "datafile/synth.h"
#include "platform/dates.h"

namespace hg::cli {

int synth(int argc, char** argv) {
    auto args =
        parseArgs(argc, argv, 2, {"-o", "--records", "--interval", "--start", "--seed", "--gaps"},
                  {"--short", "--adversarial"});
    if (!args) return usageError(args.error());
    const auto out = args->get("-o");
    if (!out || !args->positional.empty()) return usageOf("synth");

    SynthOptions options;
    constexpr int64_t kMaxCount = int64_t{1} << 40;
    if (auto v = args->get("--records")) {
        auto n = wholeNumber<int64_t>("--records", *v, 1, kMaxCount);
        if (!n) return usageError(n.error());
        options.records = *n;
    }
    if (auto v = args->get("--interval")) {
        auto n = wholeNumber<int32_t>("--interval", *v, 1, 1440 * 366);
        if (!n) return usageError(n.error());
        options.intervalMinutes = *n;
    }
    if (auto v = args->get("--gaps")) {
        auto n = wholeNumber<int64_t>("--gaps", *v, 0, 100'000'000);
        if (!n) return usageError(n.error());
        options.gaps = *n;
    }
    if (auto v = args->get("--seed")) {
        auto n = wholeNumber<uint64_t>("--seed", *v, 0, std::numeric_limits<uint64_t>::max());
        if (!n) return usageError(n.error());
        options.seed = *n;
    }
    if (auto v = args->get("--start")) {
        auto parts = splitPeriodText("--start", *v);
        if (!parts) return usageError(parts.error());
        options.start = *parseDateText(parts->first) + *parseTimeText(parts->second);
    }
    options.shortHn = args->has("--short");
    options.adversarial = args->has("--adversarial");

    const Status written = writeSynth(*out, options);
    if (!written) return fail("synth: " + written.error());
    return 0;
}

}  // namespace hg::cli
