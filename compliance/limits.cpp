#include "compliance/limits.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "platform/small_file.h"

namespace hg {

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// A set file is a few hundred bytes; anything near these caps is not a set file.
constexpr std::size_t kMaxSetFileBytes = std::size_t{1} << 20;
constexpr int kMaxNesting = 16;

// The largest limit a set may state, by what it limits: a distortion is a share of the
// fundamental (at most 100 %); an outflow current per kW of contract power far beyond any
// published value; a receiving voltage beyond any transmission system.
constexpr double kMaxDistortionPercent = 100;
constexpr double kMaxCurrentPerKw = 100000;  // mA/kW
constexpr double kMaxReceivingKv = 1000;

// A message naming the file and, when there is one, the field.
Error fieldError(const std::string& file, std::string_view field, std::string_view what) {
    std::string m = "限度値ファイル " + file + ": ";
    if (!field.empty()) m += "項目 \"" + std::string(field) + "\" ";
    return Error{m + std::string(what)};
}

std::optional<int> wholeNumber(std::string_view text) {
    int n = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size())
        return std::nullopt;
    return n;
}

// "5", "17-49" or "24-" (24 and above).
std::optional<OrderLimit> orderKey(std::string_view key) {
    const std::size_t dash = key.find('-');
    const auto from = wholeNumber(key.substr(0, dash));
    if (!from || *from < 1) return std::nullopt;
    if (dash == std::string_view::npos) return OrderLimit{*from, *from, 0};
    if (dash + 1 == key.size()) return OrderLimit{*from, 0, 0};
    const auto to = wholeNumber(key.substr(dash + 1));
    if (!to || *to < *from) return std::nullopt;
    return OrderLimit{*from, *to, 0};
}

Result<std::string> textField(const json& j, const char* field, const std::string& file) {
    if (!j.contains(field)) return fieldError(file, field, "がありません");
    const json& v = j.at(field);
    if (!v.is_string() || v.get<std::string>().empty())
        return fieldError(file, field, "は空でない文字列にしてください");
    return v.get<std::string>();
}

// The deepest nesting of arrays and objects in a JSON text (strings skipped), stopping once it
// passes `cap`: a file of ten thousand "[" is refused before the parser builds anything.
int nestingOf(std::string_view text, int cap) {
    int depth = 0, deepest = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size() && deepest <= cap; ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

// A positive number no larger than `most` (what the field can physically be).
Result<double> limitValue(const json& v, const std::string& field, const std::string& file,
                          double most) {
    if (!v.is_number()) return fieldError(file, field, "は数値にしてください");
    const double x = v.get<double>();
    if (!std::isfinite(x) || x <= 0 || x > most) {
        char range[160];
        std::snprintf(range, sizeof range, "は 0 より大きく %g 以下の数値にしてください", most);
        return fieldError(file, field, range);
    }
    return x;
}

double mostOf(const LimitSet& set) {
    return set.quantity == LimitQuantity::CurrentPerKw ? kMaxCurrentPerKw : kMaxDistortionPercent;
}

Status readOrders(const json& j, LimitSet& set, const std::string& file) {
    if (!j.contains("orders")) return success();
    const json& orders = j.at("orders");
    if (!orders.is_object()) return fieldError(file, "orders", "は次数と値の組にしてください");
    for (const auto& [key, value] : orders.items()) {
        const std::string field = "orders." + key;
        auto entry = orderKey(key);
        if (!entry)
            return fieldError(file, field,
                              "は次数 (5)、範囲 (17-49) または以上 (24-) にしてください");
        auto limit = limitValue(value, field, file, mostOf(set));
        if (!limit) return Error{limit.error()};
        entry->value = *limit;
        set.orders.push_back(*entry);
    }
    return success();
}

Status readKinds(const json& j, LimitSet& set, const std::string& file) {
    auto quantity = textField(j, "quantity", file);
    if (!quantity) return Error{quantity.error()};
    if (*quantity == quantityName(LimitQuantity::VoltageDistortion)) {
        set.quantity = LimitQuantity::VoltageDistortion;
    } else if (*quantity == quantityName(LimitQuantity::CurrentPerKw)) {
        set.quantity = LimitQuantity::CurrentPerKw;
    } else {
        return fieldError(file, "quantity",
                          "は voltage_distortion か current_per_kw にしてください");
    }
    if (j.contains("statistic")) {
        auto statistic = textField(j, "statistic", file);
        if (!statistic) return Error{statistic.error()};
        const LimitStatistic all[] = {LimitStatistic::P95, LimitStatistic::P99, LimitStatistic::Max,
                                      LimitStatistic::Mean};
        const auto found = std::find_if(std::begin(all), std::end(all), [&](LimitStatistic s) {
            return statisticName(s) == *statistic;
        });
        if (found == std::end(all))
            return fieldError(file, "statistic", "は p95, p99, max, mean のどれかにしてください");
        set.statistic = *found;
    }
    return success();
}

Status readValues(const json& j, LimitSet& set, const std::string& file) {
    if (auto orders = readOrders(j, set, file); !orders) return orders;
    if (set.quantity == LimitQuantity::CurrentPerKw) {
        if (j.contains("total")) return fieldError(file, "total", "は電流の限度値には使えません");
        if (!j.contains("receiving_kv")) return fieldError(file, "receiving_kv", "がありません");
        auto kv = limitValue(j.at("receiving_kv"), "receiving_kv", file, kMaxReceivingKv);
        if (!kv) return Error{kv.error()};
        set.receivingKv = *kv;
    } else if (j.contains("total")) {
        auto total = limitValue(j.at("total"), "total", file, kMaxDistortionPercent);
        if (!total) return Error{total.error()};
        set.total = *total;
    }
    if (set.orders.empty() && !set.total)
        return fieldError(file, "orders", "も total もありません (限度値がひとつもありません)");
    return success();
}

}  // namespace

std::optional<double> LimitSet::limitFor(int order) const {
    for (const OrderLimit& o : orders)
        if (order >= o.from && (o.to == 0 || order <= o.to)) return o.value;
    return std::nullopt;
}

std::string_view quantityName(LimitQuantity q) {
    return q == LimitQuantity::CurrentPerKw ? "current_per_kw" : "voltage_distortion";
}

std::string_view statisticName(LimitStatistic s) {
    switch (s) {
        case LimitStatistic::P95:
            return "p95";
        case LimitStatistic::P99:
            return "p99";
        case LimitStatistic::Max:
            return "max";
        case LimitStatistic::Mean:
            return "mean";
    }
    return "p95";
}

Result<LimitSet> parseLimitSet(std::string_view text, const std::string& file) {
    if (text.size() > kMaxSetFileBytes)
        return fieldError(file, "", "は大きすぎます（1024 KB まで）");
    if (nestingOf(text, kMaxNesting) > kMaxNesting)
        return fieldError(file, "",
                          "は入れ子が深すぎます（" + std::to_string(kMaxNesting) + " 段まで）");
    const json j = json::parse(text, nullptr, false);
    if (j.is_discarded()) return fieldError(file, "", "は JSON として読めません");
    if (!j.is_object()) return fieldError(file, "", "は JSON のオブジェクトにしてください");
    LimitSet set;
    set.file = file;
    for (auto [field, target] :
         {std::pair{"name", &set.name}, std::pair{"title", &set.title},
          std::pair{"source", &set.source}, std::pair{"edition", &set.edition},
          std::pair{"check", &set.check}}) {
        auto value = textField(j, field, file);
        if (!value) return Error{value.error()};
        *target = *value;
    }
    if (auto kinds = readKinds(j, set, file); !kinds) return Error{kinds.error()};
    if (auto values = readValues(j, set, file); !values) return Error{values.error()};
    return set;
}

Result<LimitSet> readLimitSet(const std::string& path) {
    auto text = readSmallRegularFile(path, kMaxSetFileBytes);
    if (!text) return fieldError(path, "", "は" + text.error());
    return parseLimitSet(*text, path);
}

const LimitSet* LimitCatalogue::find(std::string_view name) const {
    for (const LimitSet& s : sets)
        if (s.name == name) return &s;
    return nullptr;
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
            if (!set) {
                catalogue.problems.push_back(set.error());
                continue;
            }
            auto same = std::find_if(catalogue.sets.begin(), catalogue.sets.end(),
                                     [&](const LimitSet& s) { return s.name == set->name; });
            if (same == catalogue.sets.end()) {
                catalogue.sets.push_back(std::move(*set));
            } else {
                *same = std::move(*set);
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
