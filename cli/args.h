// Argument reading for the sub-commands: positional words and "--name value" / "--flag" options.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/result.h"

namespace hg::cli {

struct Args {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;  // "--start" -> "19/05/29 10:00"; "-o" -> path
    std::set<std::string> flags;                // "--split"

    bool has(const std::string& name) const { return values.count(name) || flags.count(name); }
    std::optional<std::string> get(const std::string& name) const {
        auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
};

// Reads argv[first..]: names in `valued` take the next argument as their value, names in `flags`
// stand alone; anything else starting with "-" is refused.
Result<Args> parseArgs(int argc, char** argv, int first, const std::set<std::string>& valued,
                       const std::set<std::string>& flags);

// A period text "yy/mm/dd hh:mm" split into its date and time parts.
Result<std::pair<std::string, std::string>> splitPeriodText(const std::string& text);

// Prints "harmograph: <message>" on stderr and returns the failure exit code.
int fail(const std::string& message);

}  // namespace hg::cli
