#include "graph/view_file.h"

#include <algorithm>
#include <cctype>
#include <nlohmann/json.hpp>

#include "platform/dates.h"

namespace hg {

namespace {

using nlohmann::json;

json periodJson(const PeriodTexts& p) {
    return {{"start_date", p.startDate},
            {"start_time", p.startTime},
            {"end_date", p.endDate},
            {"end_time", p.endTime}};
}

std::string textAt(const json& j, const char* key) {
    const auto it = j.find(key);
    return it != j.end() && it->is_string() ? it->get<std::string>() : std::string();
}

template <class T>
std::optional<T> numberAt(const json& j, const char* key) {
    const auto it = j.find(key);
    if (it == j.end() || !it->is_number()) return std::nullopt;
    return it->get<T>();
}

PeriodTexts periodOf(const json& j) {
    if (!j.is_object()) return {};
    return {textAt(j, "start_date"), textAt(j, "start_time"), textAt(j, "end_date"),
            textAt(j, "end_time")};
}

json windowJson(const SavedWindow& w) {
    json j = {{"item", w.item},
              {"group", w.group},
              {"channel", w.channel},
              {"orders", w.orders},
              {"limit_set", w.limitSet},
              {"transformer",
               {{"capacity_mva", w.transformer.capacity},
                {"reactance_percent", w.transformer.reactance},
                {"voltage_kv", w.transformer.voltage}}}};
    if (w.range) j["range_minutes"] = {w.range->first, w.range->last};
    if (w.cursor) j["cursor"] = *w.cursor;
    if (w.secondCursor) j["second_cursor"] = *w.secondCursor;
    if (w.contractKw) j["contract_kw"] = *w.contractKw;
    if (w.axis)
        j["value_axis"] = {{"low", w.axis->low}, {"high", w.axis->high}, {"step", w.axis->step}};
    if (w.comparison)
        j["comparison"] = {{"recording", w.comparison->recording},
                           {"period", periodJson(w.comparison->period)},
                           {"align", alignmentName(w.comparison->alignment)}};
    return j;
}

void readExtras(const json& j, SavedWindow& w) {
    if (const auto r = j.find("range_minutes"); r != j.end() && r->is_array() && r->size() == 2 &&
                                                (*r)[0].is_number() && (*r)[1].is_number() &&
                                                (*r)[0].get<double>() <= (*r)[1].get<double>())
        w.range = ShownRange{(*r)[0].get<double>(), (*r)[1].get<double>()};
    w.cursor = numberAt<int32_t>(j, "cursor");
    w.secondCursor = numberAt<int32_t>(j, "second_cursor");
    w.contractKw = numberAt<double>(j, "contract_kw");
    if (const auto a = j.find("value_axis"); a != j.end() && a->is_object()) {
        const auto low = numberAt<double>(*a, "low"), high = numberAt<double>(*a, "high"),
                   step = numberAt<double>(*a, "step");
        if (low && high && step && *low<*high&& * step> 0) w.axis = AxisByHand{*low, *high, *step};
    }
    if (const auto c = j.find("comparison"); c != j.end() && c->is_object()) {
        SavedComparison s;
        s.recording = textAt(*c, "recording");
        s.period = periodOf(c->value("period", json::object()));
        s.alignment = alignmentNamed(textAt(*c, "align")).value_or(Alignment::Day);
        if (!s.recording.empty()) w.comparison = s;
    }
}

SavedWindow windowOf(const json& j) {
    SavedWindow w;
    w.item = numberAt<int16_t>(j, "item").value_or(0);
    w.group = textAt(j, "group");
    w.channel = numberAt<int16_t>(j, "channel").value_or(0);
    if (const auto o = j.find("orders"); o != j.end() && o->is_array())
        for (const json& k : *o)
            if (k.is_number_integer()) w.orders.push_back(k.get<int>());
    w.limitSet = textAt(j, "limit_set");
    if (const auto t = j.find("transformer"); t != j.end() && t->is_object()) {
        w.transformer.capacity =
            numberAt<double>(*t, "capacity_mva").value_or(w.transformer.capacity);
        w.transformer.reactance =
            numberAt<double>(*t, "reactance_percent").value_or(w.transformer.reactance);
        w.transformer.voltage = numberAt<double>(*t, "voltage_kv").value_or(w.transformer.voltage);
    }
    readExtras(j, w);
    return w;
}

}  // namespace

std::string viewFileText(const SavedView& view) {
    json windows = json::array();
    for (const SavedWindow& w : view.windows) windows.push_back(windowJson(w));
    const json j = {{"harmograph_view", view.version},
                    {"recording", view.recording},
                    {"period", periodJson(view.period)},
                    {"windows", windows}};
    return j.dump(2) + "\n";
}

Result<ReadView> parseViewFile(std::string_view text) {
    const json j = json::parse(text, nullptr, false);
    const auto version = j.is_object() ? numberAt<int>(j, "harmograph_view") : std::nullopt;
    if (!version || *version < 1) return Error{"ビューのファイルではありません。"};
    ReadView out;
    out.newerVersion = *version > kViewFileVersion;
    out.view.version = *version;
    out.view.recording = textAt(j, "recording");
    if (out.view.recording.empty())
        return Error{"ビューのファイルに記録ファイルの名前がありません。"};
    out.view.period = periodOf(j.value("period", json::object()));
    if (const auto w = j.find("windows"); w != j.end() && w->is_array())
        for (const json& window : *w)
            if (window.is_object()) out.view.windows.push_back(windowOf(window));
    return out;
}

PeriodTexts periodTextsOf(double start, double end) {
    const auto split = [](double when) {
        const std::string text = formatYyMmDdHhMm(when);
        const std::size_t space = text.find(' ');
        return std::pair{text.substr(0, space),
                         space == std::string::npos ? std::string() : text.substr(space + 1)};
    };
    const auto [startDate, startTime] = split(start);
    const auto [endDate, endTime] = split(end);
    return {startDate, startTime, endDate, endTime};
}

bool isViewFilePath(std::string_view path) {
    if (path.size() < kViewFileExtension.size()) return false;
    const std::string_view tail = path.substr(path.size() - kViewFileExtension.size());
    return std::equal(tail.begin(), tail.end(), kViewFileExtension.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

}  // namespace hg
