#include "compliance/report_meta.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "platform/small_file.h"

namespace hg {

const std::array<MetaField, 9> kMetaFields = {{
    {"site", "--site", "場所", &ReportMeta::site},
    {"customer", "--customer", "需要家", &ReportMeta::customer},
    {"receiving_point", "--receiving-point", "受電点", &ReportMeta::receivingPoint},
    {"instrument", "--instrument", "測定器", &ReportMeta::instrument},
    {"serial", "--serial", "製造番号", &ReportMeta::serial},
    {"ct_ratio", "--ct-ratio", "CT 比", &ReportMeta::ctRatio},
    {"vt_ratio", "--vt-ratio", "VT 比", &ReportMeta::vtRatio},
    {"nominal_kv", "--nominal-kv", "公称電圧 (kV)", &ReportMeta::nominalKv},
    {"voltage_held", "--voltage-held", "記録の電圧", &ReportMeta::voltageHeld},
}};

namespace {

constexpr std::size_t kMaxMetaBytes = 64 * 1024;

std::optional<double> positive(std::string_view text) {
    const std::string s(text);
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (s.empty() || end != s.c_str() + s.size() || !std::isfinite(v) || v <= 0)
        return std::nullopt;
    return v;
}

}  // namespace

std::optional<double> ratioOf(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) return positive(text);
    const auto a = positive(text.substr(0, slash)), b = positive(text.substr(slash + 1));
    if (!a || !b) return std::nullopt;
    return *a / *b;
}

Result<ReportMeta> parseReportMeta(std::string_view text, const std::string& file) {
    const auto j = nlohmann::json::parse(text, nullptr, false);
    if (j.is_discarded() || !j.is_object())
        return Error{"記録の情報ファイル " + file + " は JSON のオブジェクトにしてください"};
    ReportMeta meta;
    for (const auto& [key, value] : j.items()) {
        const MetaField* field = nullptr;
        for (const MetaField& f : kMetaFields)
            if (f.key == key) field = &f;
        if (!field)
            return Error{"記録の情報ファイル " + file + ": 項目 \"" + key + "\" は使えません"};
        if (!value.is_string())
            return Error{"記録の情報ファイル " + file + ": 項目 \"" + key +
                         "\" は文字列にしてください"};
        meta.*(field->member) = value.get<std::string>();
    }
    for (const std::string_view key : {"ct_ratio", "vt_ratio"}) {
        const MetaField& f = *std::find_if(kMetaFields.begin(), kMetaFields.end(),
                                           [&](const MetaField& m) { return m.key == key; });
        const std::string& v = meta.*(f.member);
        if (!v.empty() && !ratioOf(v))
            return Error{"記録の情報ファイル " + file + ": 項目 \"" + std::string(key) +
                         "\" は 6600/110 のような比にしてください"};
    }
    return meta;
}

Result<ReportMeta> readReportMeta(const std::string& path) {
    auto text = readSmallRegularFile(path, kMaxMetaBytes);
    if (!text) return Error{"記録の情報ファイル " + path + " は" + text.error()};
    return parseReportMeta(*text, path);
}

}  // namespace hg
