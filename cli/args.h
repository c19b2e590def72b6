// Argument reading for the sub-commands: positional words and "--name value" / "--flag" options,
// the readers of every value kind the sub-commands take (whole numbers, periods, order lists,
// channels, picture sizes, code lists) and the one-line messages with their exit codes.
#pragma once

#include <charconv>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "datafile/record_format.h"
#include "platform/result.h"
#include "platform/textcode.h"

namespace hg::cli {

// Exit codes of every sub-command.
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;  // the work could not be done (a file, the disk, the recording)
constexpr int kExitUsage = 2;    // the command line itself is wrong

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

// The text without blanks and tabs at either end.
std::string trimmed(std::string_view text);

// A whole number in min..max written in decimal digits (a leading "-" where min allows it),
// blanks around it allowed: "--records needs a whole number from 1 to 100, not \"x\"".
template <class T>
Result<T> wholeNumber(const std::string& option, std::string_view text, T min, T max) {
    const std::string t = trimmed(text);
    T value{};
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || value < min || value > max)
        return Error{option + " needs a whole number from " + std::to_string(min) + " to " +
                     std::to_string(max) + ", not \"" + std::string(text) + "\""};
    return value;
}

// A decimal number greater than 0 ("2000", "6.6"), blanks around it allowed.
Result<double> positiveNumber(const std::string& option, std::string_view text);

// A period text "yy/mm/dd hh:mm" (blanks around it and between its parts allowed) split into its
// date and time parts; both must be a real date and time.
Result<std::pair<std::string, std::string>> splitPeriodText(const std::string& option,
                                                            const std::string& text);

// The orders of a list "all" or "1,3,5-9" that a recording of `kind` holds, ascending, each once.
// A range takes the orders the kind records within it (for the 25-order kinds the odd ones); a
// single order the kind does not record, or a range holding none, is refused.
Result<std::vector<int>> orderList(const std::string& option, const std::string& text,
                                   const FileKind& kind);

// A channel number 0..channels (the last being the composite of the current channels).
Result<int> channelNumber(const std::string& option, const std::string& text, int channels);

// A picture size "WxH" with each side in min..max.
Result<std::pair<int, int>> pictureSize(const std::string& option, const std::string& text, int min,
                                        int max);

// The code page of a CSV output: "--encoding cp932|utf-8", code page 932 when not given.
Result<TextEncoding> csvEncoding(const Args& args);

// Whether a file name ends in ".csv" (any case).
bool isCsvName(std::string_view name);

// A comma list of whole numbers, each in min..max, in the order given ("3,1,2").
Result<std::vector<int>> numberList(const std::string& option, const std::string& text, int min,
                                    int max);

// A text as a terminal line shows it safely: control characters (a newline, escape, bell, C1
// codes) written as "\n", "\t", "\r", "\x1b", "\u0085"; everything else as it is.
std::string shownText(std::string_view text);

// The sub-command whose messages follow ("convert"); the dispatch sets it.
void setCommand(std::string_view word);

// One line on stderr: "harmograph SUB: message" (a message that already starts with "SUB: " is not
// given the name twice). fail returns kExitFailure, usageError kExitUsage.
int fail(const std::string& message);
int usageError(const std::string& message);
void warn(const std::string& message);

}  // namespace hg::cli
