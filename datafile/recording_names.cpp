#include "datafile/recording_names.h"

#include <algorithm>
#include <cctype>

#include "platform/system_files.h"

namespace hg {

namespace {

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// A wildcard match of the whole name: "*" any run of characters, anything else itself.
bool matches(std::string_view pattern, std::string_view name) {
    if (pattern.empty()) return name.empty();
    if (pattern.front() == '*') {
        for (std::size_t skip = 0; skip <= name.size(); ++skip)
            if (matches(pattern.substr(1), name.substr(skip))) return true;
        return false;
    }
    return !name.empty() && lower(pattern.front()) == lower(name.front()) &&
           matches(pattern.substr(1), name.substr(1));
}

}  // namespace

const std::vector<std::string>& recordingNamePatterns() {
    static const std::vector<std::string> patterns = {"*.*ha3", "*.*ha4", "*.*ha5", "*.*hm*",
                                                      "*.*hv*", "*.*ha6", "*.*hh*", "*.*hn*"};
    return patterns;
}

bool isRecordingName(std::string_view fileName) {
    for (const std::string& p : recordingNamePatterns())
        if (matches(p, fileName)) return true;
    return false;
}

std::vector<std::string> recordingsIn(const std::string& folder) {
    std::vector<std::string> names;
    int error = 0;
    for (const std::string& name : sys::regularFilesIn(folder, error)) {
        if (name.empty() || name.front() == '.' || !isRecordingName(name)) continue;
        names.push_back(folder + (sys::isFolderSeparator(folder.back()) ? "" : "/") + name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace hg
