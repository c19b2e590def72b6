// Limit sets: published harmonic limits kept as JSON data files, one set a file. The program's
// own sets are installed with it; files in the user's folder (~/.config/harmograph/limits/) add
// sets or replace a set of the same name. A file that cannot be read gets a message naming the
// file and the field, and the other files still load.
//
// A set file:
//   {"name": "iec61000-2-2", "title": "...", "source": "...", "edition": "...", "check": "...",
//    "quantity": "voltage_distortion" | "current_per_kw", "statistic": "p95",
//    "total": 8,                        (voltage distortion: the total distortion limit, %)
//    "receiving_kv": 6.6,               (current per kW: the voltage the limits are stated at)
//    "orders": {"5": 6, "17-49": ..., "24-": 0.7}}   (an order, a range, or an order and above)
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace hg {

enum class LimitQuantity {
    VoltageDistortion,  // % of the fundamental voltage, per order and total
    CurrentPerKw,       // mA per kW of contract power at the receiving voltage, per order
};

// The statistic of the period a set is judged on.
enum class LimitStatistic { P95, P99, Max, Mean };

struct OrderLimit {
    int from = 0;
    int to = 0;  // inclusive; 0 for "and above"
    double value = 0;
};

struct LimitSet {
    std::string name;
    std::string title;
    std::string source;
    std::string edition;
    std::string check;  // the reminder to check the values against the current edition
    LimitQuantity quantity = LimitQuantity::VoltageDistortion;
    LimitStatistic statistic = LimitStatistic::P95;
    std::optional<double> total;
    std::vector<OrderLimit> orders;
    double receivingKv = 0;
    std::string file;  // where the set was read

    // The limit of an order (the first entry that holds it); none when the set has no value.
    std::optional<double> limitFor(int order) const;
};

std::string_view quantityName(LimitQuantity q);    // "voltage_distortion", "current_per_kw"
std::string_view statisticName(LimitStatistic s);  // "p95", "p99", "max", "mean"

// A set from the text of a file; `file` names it in messages.
Result<LimitSet> parseLimitSet(std::string_view text, const std::string& file);
Result<LimitSet> readLimitSet(const std::string& path);

struct LimitCatalogue {
    std::vector<LimitSet> sets;         // by name
    std::vector<std::string> problems;  // one line per file that could not be read
    const LimitSet* find(std::string_view name) const;
};

// Reads every "*.json" of the folders in order (a folder that does not exist is skipped); a set
// of a later folder replaces the set of the same name from an earlier one.
LimitCatalogue loadLimitSets(const std::vector<std::string>& folders);

// The folders a program at `programPath` reads: the installed sets (share/harmograph/limits
// beside the program's bin folder), the sets of a build tree (limits/ beside the program), then
// the user's folder ($XDG_CONFIG_HOME or ~/.config, then harmograph/limits).
std::vector<std::string> limitFolders(const std::string& programPath);

}  // namespace hg
