#include <charconv>
#include <limits>

#include "cli/args.h"
#include "cli/commands.h"
#include "datafile/synth.h"
#include "platform/dates.h"

namespace hg::cli {

namespace {

// A whole number in min..max, digits only (and a leading "-" where min allows it).
template <class T>
Result<T> wholeNumber(const std::string& option, const std::string& text, T min, T max) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || value < min ||
        value > max)
        return Error{option + " needs a whole number from " + std::to_string(min) + " to " +
                     std::to_string(max) + ", not \"" + text + "\""};
    return value;
}

}  // namespace

int synth(int argc, char** argv) {
    auto args =
        parseArgs(argc, argv, 2, {"-o", "--records", "--interval", "--start", "--seed", "--gaps"},
                  {"--short", "--adversarial"});
    if (!args) return fail("synth: " + args.error());
    const auto out = args->get("-o");
    if (!out || !args->positional.empty())
        return fail(
            "usage: harmograph synth -o FILE [--records N] [--interval MIN] [--start \"yy/mm/dd "
            "hh:mm\"] [--seed S] [--gaps N] [--short] [--adversarial]");

    SynthOptions options;
    constexpr int64_t kMaxCount = int64_t{1} << 40;
    if (auto v = args->get("--records")) {
        auto n = wholeNumber<int64_t>("--records", *v, 1, kMaxCount);
        if (!n) return fail("synth: " + n.error());
        options.records = *n;
    }
    if (auto v = args->get("--interval")) {
        auto n = wholeNumber<int32_t>("--interval", *v, 1, 1440 * 366);
        if (!n) return fail("synth: " + n.error());
        options.intervalMinutes = *n;
    }
    if (auto v = args->get("--gaps")) {
        auto n = wholeNumber<int64_t>("--gaps", *v, 0, 100'000'000);
        if (!n) return fail("synth: " + n.error());
        options.gaps = *n;
    }
    if (auto v = args->get("--seed")) {
        auto n = wholeNumber<uint64_t>("--seed", *v, 0, std::numeric_limits<uint64_t>::max());
        if (!n) return fail("synth: " + n.error());
        options.seed = *n;
    }
    if (auto v = args->get("--start")) {
        auto parts = splitPeriodText(*v);
        if (!parts) return fail("synth: --start: " + parts.error());
        const auto day = parseDateText(parts->first);
        const auto time = parseTimeText(parts->second);
        if (!day || !time || parts->first.size() != 8)
            return fail("synth: --start \"" + *v + "\" is not \"yy/mm/dd hh:mm\"");
        options.start = *day + *time;
    }
    options.shortHn = args->has("--short");
    options.adversarial = args->has("--adversarial");

    const Status written = writeSynth(*out, options);
    if (!written) return fail("synth: " + written.error());
    return 0;
}

}  // namespace hg::cli
