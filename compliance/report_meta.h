// What a compliance sheet says about where and how a recording was made: the site, the
// customer, the receiving point, the instrument and its serial number, the CT and VT ratios, the
// nominal voltage and which voltage the recording holds. Read from a small JSON file
// ({"site": "...", "vt_ratio": "6600/110", ...}) and from options, which take precedence.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace hg {

struct ReportMeta {
    std::string site;
    std::string customer;
    std::string receivingPoint;
    std::string instrument;
    std::string serial;
    std::string ctRatio;
    std::string vtRatio;
    std::string nominalKv;
    std::string voltageHeld;
};

// One field: its key in the file, its command-line option and its label on the sheet.
struct MetaField {
    std::string_view key;
    std::string_view option;
    std::string_view label;
    std::string ReportMeta::*member;
};

extern const std::array<MetaField, 9> kMetaFields;

// The fields of a JSON object; other keys and values that are not strings are refused.
Result<ReportMeta> parseReportMeta(std::string_view text, const std::string& file);
Result<ReportMeta> readReportMeta(const std::string& path);

// A ratio written "6600/110" or "60"; empty for a text that is neither (or not positive).
std::optional<double> ratioOf(std::string_view text);

}  // namespace hg
