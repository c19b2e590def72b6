// The catalogue of limit sets: the folders a program reads, in order, a later file replacing a
// set of the same name, and a broken file refusing the name it claims.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "compliance/limits.h"
#include "platform/small_file.h"

namespace hg {

namespace {

namespace fs = std::filesystem;

// The name a file that could not be read as a set claims: its "name" field when the text is
// JSON with one, else its file name without ".json".
std::string claimedName(const std::string& path) {
    auto text = readSmallRegularFile(path, std::size_t{1} << 20);
    if (text) {
        const auto j = nlohmann::json::parse(*text, nullptr, false, true);
        if (j.is_object() && j.contains("name") && j.at("name").is_string())
            return j.at("name").get<std::string>();
    }
    return fs::path(path).stem().string();
}

void take(LimitCatalogue& catalogue, LimitSet set) {
    std::erase_if(catalogue.refused, [&](const RefusedSet& r) { return r.name == set.name; });
    auto same = std::find_if(catalogue.sets.begin(), catalogue.sets.end(),
                             [&](const LimitSet& s) { return s.name == set.name; });
    if (same == catalogue.sets.end()) {
        catalogue.sets.push_back(std::move(set));
    } else {
        *same = std::move(set);
    }
}

void refuse(LimitCatalogue& catalogue, const std::string& file, const std::string& problem) {
    catalogue.problems.push_back(problem);
    const std::string name = claimedName(file);
    std::erase_if(catalogue.sets, [&](const LimitSet& s) { return s.name == name; });
    std::erase_if(catalogue.refused, [&](const RefusedSet& r) { return r.name == name; });
    catalogue.refused.push_back({name, problem});
}

}  // namespace

const LimitSet* LimitCatalogue::find(std::string_view name) const {
    for (const LimitSet& s : sets)
        if (s.name == name) return &s;
    return nullptr;
}

Result<const LimitSet*> LimitCatalogue::choose(std::string_view name) const {
    for (const RefusedSet& r : refused)
        if (r.name == name)
            return Error{"限度値 " + r.name + " のファイルを読めないため判定しません: " + r.reason};
    if (const LimitSet* set = find(name)) return set;
    return Error{"限度値 \"" + std::string(name) +
                 "\" はありません（harmograph limits で一覧できます）"};
}

LimitCatalogue loadLimitSets(const std::vector<std::string>& folders) {
    LimitCatalogue catalogue;
    for (const std::string& folder : folders) {
        std::error_code ec;
        if (!fs::is_directory(folder, ec)) continue;
        std::vector<std::string> files;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            if (it->path().extension() == ".json") files.push_back(it->path().string());
        std::sort(files.begin(), files.end());
        for (const std::string& file : files) {
            auto set = readLimitSet(file);
            if (set) {
                take(catalogue, std::move(*set));
            } else {
                refuse(catalogue, file, set.error());
            }
        }
    }
    std::sort(catalogue.sets.begin(), catalogue.sets.end(),
              [](const LimitSet& a, const LimitSet& b) { return a.name < b.name; });
    return catalogue;
}

std::vector<std::string> limitFolders(const std::string& programPath) {
    std::error_code ec;
    fs::path program = fs::weakly_canonical(programPath, ec);
    if (ec) program = programPath;
    const fs::path dir = program.parent_path();
    std::vector<std::string> folders = {(dir.parent_path() / "share/harmograph/limits").string(),
                                        (dir / "limits").string()};
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        folders.push_back((fs::path(xdg) / "harmograph/limits").string());
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        folders.push_back((fs::path(home) / ".config/harmograph/limits").string());
    }
    return folders;
}

}  // namespace hg
