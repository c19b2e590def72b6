#include "compliance/limits.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "compliance/sha256.h"
#include "platform/small_file.h"

namespace hg {

namespace {

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
constexpr double kMaxFactor = 100;
constexpr double kMaxRatio = 1e9;

// The fields a set file may hold, and those of its parts.
const std::vector<std::string_view> kSetFields = {
    "name",     "title",        "source",      "edition",    "check",      "note",
    "quantity", "window",       "statistic",   "conditions", "thd_orders", "voltage_kv",
    "total",    "receiving_kv", "even_factor", "orders",     "ratio_bands"};
const std::vector<std::string_view> kConditionFields = {"statistic", "factor", "seconds", "per"};
const std::vector<std::string_view> kBandFields = {"isc_il_from", "isc_il_below", "total",
                                                   "orders"};
const std::vector<std::string_view> kClassFields = {"above", "up_to"};

// A message naming the file and, when there is one, the field.
Error fieldError(const std::string& file, std::string_view field, std::string_view what) {
    std::string m = "限度値ファイル " + file + ": ";
    if (!field.empty()) m += "項目 \"" + std::string(field) + "\" ";
    return Error{m + std::string(what)};
}

Status knownFields(const json& j, const std::vector<std::string_view>& known,
                   const std::string& prefix, const std::string& file) {
    std::string unknown;
    for (const auto& [key, value] : j.items())
        if (std::find(known.begin(), known.end(), key) == known.end())
            unknown += (unknown.empty() ? "\"" : ", \"") + prefix + key + "\"";
    if (unknown.empty()) return success();
    return fieldError(file, "", "の項目 " + unknown + " は限度値ファイルの項目ではありません");
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

// A number above `least` (or at it when `orEqual`) and no larger than `most`.
Result<double> numberIn(const json& v, const std::string& field, const std::string& file,
                        double least, double most, bool orEqual = false) {
    if (!v.is_number()) return fieldError(file, field, "は数値にしてください");
    const double x = v.get<double>();
    if (!std::isfinite(x) || x < least || (!orEqual && x == least) || x > most) {
        char range[160];
        std::snprintf(range, sizeof range, "は %g %s %g 以下の数値にしてください", least,
                      orEqual ? "以上" : "より大きく", most);
        return fieldError(file, field, range);
    }
    return x;
}

// A positive number no larger than `most` (what the field can physically be).
Result<double> limitValue(const json& v, const std::string& field, const std::string& file,
                          double most) {
    return numberIn(v, field, file, 0, most);
}

double mostOf(LimitQuantity q) {
    return q == LimitQuantity::CurrentPerKw ? kMaxCurrentPerKw : kMaxDistortionPercent;
}

std::string keyOf(const OrderLimit& o) {
    if (o.from == o.to) return std::to_string(o.from);
    return std::to_string(o.from) + "-" + (o.to ? std::to_string(o.to) : "");
}

// Two entries holding the same order would make the limit depend on which is read first.
Status noOverlap(const std::vector<OrderLimit>& orders, const std::string& field,
                 const std::string& file) {
    for (std::size_t a = 0; a < orders.size(); ++a)
        for (std::size_t b = a + 1; b < orders.size(); ++b) {
            const int aTo = orders[a].to ? orders[a].to : INT_MAX;
            const int bTo = orders[b].to ? orders[b].to : INT_MAX;
            if (orders[a].from <= bTo && orders[b].from <= aTo)
                return fieldError(
                    file, field,
                    "の \"" + keyOf(orders[a]) + "\" と \"" + keyOf(orders[b]) +
                        "\" は同じ次数を含みます（次数はひとつの項目にだけ書いてください）");
        }
    return success();
}

Result<std::vector<OrderLimit>> readOrders(const json& orders, const std::string& field,
                                           const std::string& file, double most) {
    if (!orders.is_object()) return fieldError(file, field, "は次数と値の組にしてください");
    std::vector<OrderLimit> out;
    for (const auto& [key, value] : orders.items()) {
        const std::string name = field + "." + key;
        auto entry = orderKey(key);
        if (!entry)
            return fieldError(file, name,
                              "は次数 (5)、範囲 (17-49) または以上 (24-) にしてください");
        auto limit = limitValue(value, name, file, most);
        if (!limit) return Error{limit.error()};
        entry->value = *limit;
        out.push_back(*entry);
    }
    if (auto ok = noOverlap(out, field, file); !ok) return Error{ok.error()};
    return out;
}

template <class T>
Result<T> namedValue(const json& j, const char* field, const std::string& file,
                     std::initializer_list<T> all, std::string_view (*nameOf)(T),
                     const char* choices) {
    auto text = textField(j, field, file);
    if (!text) return Error{text.error()};
    for (const T v : all)
        if (nameOf(v) == *text) return v;
    return fieldError(file, field, std::string("は ") + choices + " のどれかにしてください");
}

Result<LimitStatistic> statisticOf(const json& j, const std::string& file) {
    return namedValue(
        j, "statistic", file,
        {LimitStatistic::P95, LimitStatistic::P99, LimitStatistic::Max, LimitStatistic::Mean},
        statisticName, "p95, p99, max, mean");
}

Result<WindowSpan> spanOf(const json& j, const char* field, const std::string& file) {
    return namedValue(j, field, file, {WindowSpan::Day, WindowSpan::Week, WindowSpan::Period},
                      windowName, "day, week, period");
}

Result<LimitCondition> conditionOf(const json& c, const std::string& file, WindowSpan window) {
    if (!c.is_object())
        return fieldError(file, "conditions", "の各要素はオブジェクトにしてください");
    if (auto ok = knownFields(c, kConditionFields, "conditions.", file); !ok)
        return Error{ok.error()};
    LimitCondition condition;
    condition.per = window;
    auto statistic = statisticOf(c, file);
    if (!statistic) return Error{statistic.error()};
    condition.statistic = *statistic;
    if (c.contains("factor")) {
        auto f = limitValue(c.at("factor"), "conditions.factor", file, kMaxFactor);
        if (!f) return Error{f.error()};
        condition.factor = *f;
    }
    if (c.contains("seconds")) {
        auto s = numberIn(c.at("seconds"), "conditions.seconds", file, 0, 86400);
        if (!s) return Error{s.error()};
        condition.seconds = static_cast<int>(*s);
    }
    if (c.contains("per")) {
        auto per = spanOf(c, "per", file);
        if (!per) return Error{per.error()};
        condition.per = *per;
    }
    return condition;
}

Status readMethod(const json& j, LimitSet& set, const std::string& file) {
    if (j.contains("window")) {
        auto w = spanOf(j, "window", file);
        if (!w) return Error{w.error()};
        if (*w == WindowSpan::Day)
            return fieldError(file, "window", "は week か period にしてください");
        set.window = *w;
    }
    if (j.contains("statistic") && j.contains("conditions"))
        return fieldError(file, "statistic", "と \"conditions\" はどちらか一方にしてください");
    if (j.contains("conditions")) {
        const json& all = j.at("conditions");
        if (!all.is_array() || all.empty())
            return fieldError(file, "conditions", "は条件の配列にしてください");
        for (const json& c : all) {
            auto condition = conditionOf(c, file, set.window);
            if (!condition) return Error{condition.error()};
            set.conditions.push_back(*condition);
        }
    } else {
        LimitCondition only;
        only.per = set.window;
        if (j.contains("statistic")) {
            auto statistic = statisticOf(j, file);
            if (!statistic) return Error{statistic.error()};
            only.statistic = *statistic;
        }
        set.conditions.push_back(only);
    }
    set.statistic = set.conditions.front().statistic;
    return success();
}

Status readQuantity(const json& j, LimitSet& set, const std::string& file) {
    auto q = namedValue(j, "quantity", file,
                        {LimitQuantity::VoltageDistortion, LimitQuantity::CurrentPerKw,
                         LimitQuantity::CurrentOfDemand},
                        quantityName, "voltage_distortion, current_per_kw, current_of_demand");
    if (!q) return Error{q.error()};
    set.quantity = *q;
    return success();
}

Status readScope(const json& j, LimitSet& set, const std::string& file) {
    if (j.contains("thd_orders")) {
        auto text = textField(j, "thd_orders", file);
        if (!text) return Error{text.error()};
        const auto range = orderKey(*text);
        if (!range || range->to == 0 || range->from < 2 || range->to > 256)
            return fieldError(file, "thd_orders", "は 2 以上 256 以下の範囲 (2-40) にしてください");
        set.thdFrom = range->from;
        set.thdTo = range->to;
    }
    if (j.contains("voltage_kv")) {
        const json& c = j.at("voltage_kv");
        if (!c.is_object())
            return fieldError(file, "voltage_kv", "は above と up_to の組にしてください");
        if (auto ok = knownFields(c, kClassFields, "voltage_kv.", file); !ok) return ok;
        for (const auto& [key, target] :
             {std::pair{"above", &set.voltageAboveKv}, std::pair{"up_to", &set.voltageUpToKv}}) {
            if (!c.contains(key)) continue;
            auto kv = numberIn(c.at(key), std::string("voltage_kv.") + key, file, 0,
                               kMaxReceivingKv, true);
            if (!kv) return Error{kv.error()};
            *target = *kv;
        }
    }
    return success();
}

Result<RatioBand> bandOf(const json& b, const std::string& file) {
    if (!b.is_object())
        return fieldError(file, "ratio_bands", "の各要素はオブジェクトにしてください");
    if (auto ok = knownFields(b, kBandFields, "ratio_bands.", file); !ok) return Error{ok.error()};
    RatioBand band;
    if (!b.contains("isc_il_from") || !b.contains("orders") || !b.contains("total"))
        return fieldError(file, "ratio_bands",
                          "の各要素には isc_il_from, total, orders が必要です");
    auto from = numberIn(b.at("isc_il_from"), "ratio_bands.isc_il_from", file, 0, kMaxRatio, true);
    if (!from) return Error{from.error()};
    band.from = *from;
    if (b.contains("isc_il_below")) {
        auto below =
            numberIn(b.at("isc_il_below"), "ratio_bands.isc_il_below", file, band.from, kMaxRatio);
        if (!below) return Error{below.error()};
        band.below = *below;
    }
    auto total = limitValue(b.at("total"), "ratio_bands.total", file, kMaxDistortionPercent);
    if (!total) return Error{total.error()};
    band.total = *total;
    auto orders = readOrders(b.at("orders"), "ratio_bands.orders", file, kMaxDistortionPercent);
    if (!orders) return Error{orders.error()};
    band.orders = std::move(*orders);
    return band;
}

Status readBands(const json& j, LimitSet& set, const std::string& file) {
    if (j.contains("orders") || j.contains("total"))
        return fieldError(file, "orders", "と \"total\" は ratio_bands の中に書いてください");
    if (!j.contains("ratio_bands")) return fieldError(file, "ratio_bands", "がありません");
    const json& all = j.at("ratio_bands");
    if (!all.is_array() || all.empty())
        return fieldError(file, "ratio_bands", "は I_SC/I_L の範囲ごとの配列にしてください");
    for (const json& b : all) {
        auto band = bandOf(b, file);
        if (!band) return Error{band.error()};
        if (!set.bands.empty() && set.bands.back().below != band->from)
            return fieldError(file, "ratio_bands",
                              "は isc_il_from の小さい順に、前の isc_il_below から続けてください");
        set.bands.push_back(std::move(*band));
    }
    if (set.bands.back().below)
        return fieldError(file, "ratio_bands",
                          "の最後の範囲には isc_il_below を書かないでください");
    return success();
}

Status readValues(const json& j, LimitSet& set, const std::string& file) {
    if (j.contains("even_factor")) {
        auto f = limitValue(j.at("even_factor"), "even_factor", file, 1);
        if (!f) return Error{f.error()};
        set.evenFactor = *f;
    }
    if (set.quantity == LimitQuantity::CurrentOfDemand) return readBands(j, set, file);
    if (j.contains("ratio_bands"))
        return fieldError(file, "ratio_bands", "は current_of_demand の限度値にだけ使えます");
    if (j.contains("orders")) {
        auto orders = readOrders(j.at("orders"), "orders", file, mostOf(set.quantity));
        if (!orders) return Error{orders.error()};
        set.orders = std::move(*orders);
    }
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
        if (order >= o.from && (o.to == 0 || order <= o.to))
            return evenFactor && order % 2 == 0 ? o.value * *evenFactor : o.value;
    return std::nullopt;
}

int LimitSet::highestLimitedOrder(int recorded) const {
    int highest = 0;
    for (const OrderLimit& o : orders) highest = std::max(highest, o.to ? o.to : recorded);
    return highest;
}

std::string_view quantityName(LimitQuantity q) {
    switch (q) {
        case LimitQuantity::VoltageDistortion:
            return "voltage_distortion";
        case LimitQuantity::CurrentPerKw:
            return "current_per_kw";
        case LimitQuantity::CurrentOfDemand:
            return "current_of_demand";
    }
    return "voltage_distortion";
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

std::string_view windowName(WindowSpan w) {
    switch (w) {
        case WindowSpan::Day:
            return "day";
        case WindowSpan::Week:
            return "week";
        case WindowSpan::Period:
            return "period";
    }
    return "period";
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
    if (auto ok = knownFields(j, kSetFields, "", file); !ok) return Error{ok.error()};
    LimitSet set;
    set.file = file;
    set.sha256 = sha256Hex(text);
    for (auto [field, target] :
         {std::pair{"name", &set.name}, std::pair{"title", &set.title},
          std::pair{"source", &set.source}, std::pair{"edition", &set.edition},
          std::pair{"check", &set.check}}) {
        auto value = textField(j, field, file);
        if (!value) return Error{value.error()};
        *target = *value;
    }
    if (j.contains("note")) {
        auto note = textField(j, "note", file);
        if (!note) return Error{note.error()};
        set.note = *note;
    }
    for (const auto step : {readQuantity, readMethod, readScope, readValues})
        if (auto ok = step(j, set, file); !ok) return Error{ok.error()};
    return set;
}

Result<LimitSet> readLimitSet(const std::string& path) {
    auto text = readSmallRegularFile(path, kMaxSetFileBytes);
    if (!text) return fieldError(path, "", "は" + text.error());
    return parseLimitSet(*text, path);
}

Result<LimitSet> limitsForRatio(const LimitSet& set, double iscOverIl) {
    if (set.quantity != LimitQuantity::CurrentOfDemand) return set;
    if (!std::isfinite(iscOverIl) || iscOverIl <= 0)
        return Error{"I_SC/I_L は 0 より大きい数値にしてください"};
    for (const RatioBand& band : set.bands) {
        if (iscOverIl < band.from || (band.below && iscOverIl >= *band.below)) continue;
        LimitSet chosen = set;
        chosen.orders = band.orders;
        chosen.total = band.total;
        return chosen;
    }
    return Error{"限度値 " + set.name + " には I_SC/I_L がこの値の範囲がありません"};
}

}  // namespace hg
