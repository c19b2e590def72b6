#include "print/job_title.h"

#include <algorithm>

#include "datafile/record_format.h"
#include "graph/graph_selection.h"

namespace hg {

namespace {

// An item's list text without its unit and without the blanks that space it out on screen:
// "電    流(A)" is "電流".
std::string itemName(int16_t code) {
    std::string_view text = itemTextOf(code);
    text = text.substr(0, text.find('('));
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ') continue;
        if (text.substr(i, 3) == "\u3000") {
            i += 2;
            continue;
        }
        name += text[i];
    }
    return name;
}

}  // namespace

std::string printJobTitle(std::string_view filePath, const std::vector<int16_t>& items) {
    std::string title = "harmograph \u2013 ";
    title += baseName(filePath);
    std::vector<std::string> names;
    for (const int16_t code : items) {
        std::string name = itemName(code);
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(std::move(name));
    }
    for (std::size_t i = 0; i < names.size(); ++i) title += (i == 0 ? " " : "\u30FB") + names[i];
    return title;
}

}  // namespace hg
