#include "cli/args.h"

#include <iostream>

namespace hg::cli {

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

Result<std::pair<std::string, std::string>> splitPeriodText(const std::string& text) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string::npos)
        return Error{"period \"" + text + "\" is not \"yy/mm/dd hh:mm\""};
    std::string date = text.substr(0, blank);
    std::string time = text.substr(text.find_first_not_of(' ', blank));
    return std::make_pair(date, time);
}

int fail(const std::string& message) {
    std::cerr << "harmograph: " << message << "\n";
    return 1;
}

}  // namespace hg::cli
