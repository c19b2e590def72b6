#include "cli/args.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iostream>
#include <mutex>

#include "platform/dates.h"

namespace hg::cli {

namespace {

std::string& commandWord() {
    static std::string word;
    return word;
}

// Messages come from several conversions at once; a line is written whole.
std::mutex& messageLock() {
    static std::mutex lock;
    return lock;
}

void emit(const std::string& message) {
    const std::string& word = commandWord();
    std::string_view text = message;
    if (!word.empty() && text.size() > word.size() + 1 && text.substr(0, word.size()) == word &&
        text.substr(word.size(), 2) == ": ")
        text.remove_prefix(word.size() + 2);
    std::string line = "harmograph" + (word.empty() ? std::string() : " " + word) + ": ";
    line += shownText(text);
    line += '\n';
    const std::lock_guard<std::mutex> hold(messageLock());
    std::cerr << line << std::flush;
}

// The comma-separated parts of a list, blanks around each removed; an empty list has one empty
// part.
std::vector<std::string> listParts(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(trimmed(std::string_view(text).substr(start, comma - start)));
        if (comma == std::string::npos) return parts;
        start = comma + 1;
    }
}

}  // namespace

std::string shownText(std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        // U+0080..U+009F (C2 80..C2 9F in UTF-8) are control characters to a terminal as well.
        const bool c1 = c == 0xc2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9f;
        if (c1) {
            const auto d = static_cast<unsigned char>(text[++i]);
            out.append("\\u00").push_back(hex[d >> 4]);
            out.push_back(hex[d & 15]);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7f) {
            out.append("\\x").push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

Result<Args> parseArgs(int argc, char** argv, int first, const std::set<std::string>& valued,
                       const std::set<std::string>& flags) {
    Args a;
    for (int i = first; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.size() > 1 && word[0] == '-') {
            if (valued.count(word)) {
                if (i + 1 >= argc) return Error{word + " needs a value"};
                a.values[word] = argv[++i];
            } else if (flags.count(word)) {
                a.flags.insert(word);
            } else {
                return Error{"unknown option " + word};
            }
        } else {
            a.positional.push_back(word);
        }
    }
    return a;
}

std::string trimmed(std::string_view text) {
    const std::size_t a = text.find_first_not_of(" \t");
    if (a == std::string_view::npos) return {};
    return std::string(text.substr(a, text.find_last_not_of(" \t") - a + 1));
}

Result<double> positiveNumber(const std::string& option, std::string_view text) {
    const std::string t = trimmed(text);
    double v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v) || v <= 0)
        return Error{option + " needs a number greater than 0, not \"" + std::string(text) + "\""};
    return v;
}

Result<std::pair<std::string, std::string>> splitPeriodText(const std::string& option,
                                                            const std::string& text) {
    const std::string t = trimmed(text);
    const std::size_t blank = t.find_first_of(" \t");
    const Error refused{option + " \"" + text + "\" is not \"yy/mm/dd hh:mm\""};
    if (blank == std::string::npos) return refused;
    std::string date = t.substr(0, blank);
    std::string time = trimmed(std::string_view(t).substr(blank));
    if (date.size() != 8 || !parseDateText(date) || !parseTimeText(time)) return refused;
    return std::make_pair(std::move(date), std::move(time));
}

Result<std::vector<int>> orderList(const std::string& option, const std::string& text,
                                   const FileKind& kind) {
    const int highest = kind.orderOf(kind.maxOrderIndex);
    const std::string offered = kind.allOrders() ? "orders 1..256" : "odd orders 1..49 only";
    const auto recorded = [&](int order) {
        return order >= 1 && order <= highest && (order - 1) % kind.orderStep() == 0;
    };
    std::vector<int> orders;
    if (trimmed(text) == "all") {
        for (int order = 1; order <= highest; order += kind.orderStep()) orders.push_back(order);
        return orders;
    }
    for (const std::string& part : listParts(text)) {
        const std::size_t dash = part.find('-', 1);
        auto from = wholeNumber<int>(option, part.substr(0, dash), 1, 256);
        if (!from) return Error{from.error()};
        if (dash == std::string::npos) {
            if (!recorded(*from))
                return Error{option + ": a " + kind.text + " recording has no order " +
                             std::to_string(*from) + " (" + offered + ")"};
            orders.push_back(*from);
            continue;
        }
        auto to = wholeNumber<int>(option, part.substr(dash + 1), 1, 256);
        if (!to) return Error{to.error()};
        const std::size_t before = orders.size();
        for (int order = *from; order <= *to; ++order)
            if (recorded(order)) orders.push_back(order);
        if (*from > *to || orders.size() == before)
            return Error{option + ": range \"" + part + "\" holds no order a " + kind.text +
                         " recording has (" + offered + ")"};
    }
    std::sort(orders.begin(), orders.end());
    orders.erase(std::unique(orders.begin(), orders.end()), orders.end());
    return orders;
}

Result<int> channelNumber(const std::string& option, const std::string& text, int channels) {
    auto n = wholeNumber<int>(option, text, 0, channels);
    if (!n) return Error{n.error() + " (0 = 1ch .. " + std::to_string(channels) + " = composite)"};
    return n;
}

bool isCsvName(std::string_view name) {
    if (name.size() < 4) return false;
    std::string suffix(name.substr(name.size() - 4));
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return suffix == ".csv";
}

Result<TextEncoding> csvEncoding(const Args& args) {
    const auto name = args.get("--encoding");
    if (!name) return TextEncoding::Cp932;
    auto encoding = parseEncodingName(*name);
    if (!encoding) return Error{"--encoding: " + encoding.error()};
    return *encoding;
}

Result<std::pair<int, int>> pictureSize(const std::string& option, const std::string& text, int min,
                                        int max) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return Error{option + " takes WxH, e.g. 1920x1080"};
    auto w = wholeNumber<int>(option, std::string_view(text).substr(0, x), min, max);
    if (!w) return Error{w.error()};
    auto h = wholeNumber<int>(option, std::string_view(text).substr(x + 1), min, max);
    if (!h) return Error{h.error()};
    return std::make_pair(*w, *h);
}

Result<std::vector<int>> numberList(const std::string& option, const std::string& text, int min,
                                    int max) {
    std::vector<int> numbers;
    for (const std::string& part : listParts(text)) {
        auto n = wholeNumber<int>(option, part, min, max);
        if (!n) return Error{n.error()};
        numbers.push_back(*n);
    }
    return numbers;
}

void setCommand(std::string_view word) {
    commandWord() = std::string(word);
}

int fail(const std::string& message) {
    emit(message);
    return kExitFailure;
}

int usageError(const std::string& message) {
    emit(message);
    return kExitUsage;
}

void warn(const std::string& message) {
    emit(message);
}

}  // namespace hg::cli
