#include "datafile/record_format.h"

#include <cctype>
#include <cmath>

namespace hg {

std::string_view baseName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string kindText(std::string_view fileName) {
    if (fileName.size() < 3) return {};
    std::string t(fileName.substr(fileName.size() - 3));
    for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (t == "ha3" || t == "ha4" || t == "ha5" || t == "ha6") return t;
    return t.substr(0, 2);
}

int64_t recordLengthOf(KindFamily family, int c) {
    switch (family) {
        case KindFamily::ha3:
            return 256;
        case KindFamily::ha4:
            return 356;
        case KindFamily::ha5:
            return 280;
        case KindFamily::ha6:
            return 286;
        case KindFamily::hm:
            return 150LL * c + 106;
        case KindFamily::hv:
            return 162LL * c + 168;
        case KindFamily::hh:
            return 1536LL * c + 1030;
        case KindFamily::hn:
            return 1536LL * c + 1542;
    }
    return 0;
}

RecordLayout layoutOf(KindFamily family, int c, bool shortHn) {
    RecordLayout l;
    l.channels = c;
    const bool all = family == KindFamily::hh || family == KindFamily::hn;
    l.orders = all ? 256 : 25;
    l.recordLength = recordLengthOf(family, c);
    if (all) {
        l.firstCurrent = 1030;
        l.firstAngle = 2054;
        l.channelStride = 1536;
    } else {
        l.firstCurrent = 106;
        l.firstAngle = 206;
        l.channelStride = 150;
    }
    switch (family) {
        case KindFamily::ha3:
        case KindFamily::hm:
        case KindFamily::hh:
            break;
        case KindFamily::ha4:
            l.voltageAngles = 256;
            l.vrCount = 25;
            l.currentAngles = 306;
            break;
        case KindFamily::ha6:
            l.phaseAngles = 280;
            [[fallthrough]];
        case KindFamily::ha5:
            l.phaseVoltages = 256;
            l.phaseCurrents = 268;
            break;
        case KindFamily::hv:
            l.voltageAngles = 106 + 150LL * c;
            l.vrCount = 25;
            l.phaseVoltages = 156 + 150LL * c;
            l.phaseCurrents = 168 + 150LL * c;
            break;
        case KindFamily::hn:
            l.voltageAngles = 1030 + 1536LL * c;
            l.vrCount = shortHn ? 25 : 256;
            if (shortHn) l.recordLength = 1536LL * c + 1080;
            break;
    }
    return l;
}

Result<FileKind> kindFromName(std::string_view fileName, std::optional<uint64_t> fileLength) {
    const std::string_view name = baseName(fileName);
    const std::string t = kindText(name);
    FileKind k;
    k.text = t;
    if (t == "ha3" || t == "ha4" || t == "ha5" || t == "ha6") {
        k.family = t == "ha3"   ? KindFamily::ha3
                   : t == "ha4" ? KindFamily::ha4
                   : t == "ha5" ? KindFamily::ha5
                                : KindFamily::ha6;
        k.layout = layoutOf(k.family, 1, false);
        return k;
    }
    if (t == "hm")
        k.family = KindFamily::hm;
    else if (t == "hv")
        k.family = KindFamily::hv;
    else if (t == "hh")
        k.family = KindFamily::hh;
    else if (t == "hn")
        k.family = KindFamily::hn;
    else
        return Error{"測定データの種類が分かりません（拡張子 ha3〜ha6, hm, hv, hh, hn に数字）: " +
                     std::string(name)};
    const char digit = name.back();
    if (digit < '1' || digit > '9')
        return Error{"電流チャンネル数が読めません（channel count 0）: " + std::string(name)};
    k.channels = digit - '0';
    k.maxOrderIndex = (k.family == KindFamily::hh || k.family == KindFamily::hn) ? 255 : 24;
    if (k.family == KindFamily::hn && fileLength) {
        const std::size_t dot = name.rfind('.');
        const bool threeCharExtension = dot != std::string_view::npos && name.size() - dot - 1 == 3;
        const uint64_t longLength =
            static_cast<uint64_t>(recordLengthOf(KindFamily::hn, k.channels));
        const uint64_t shortLength = 1536ULL * static_cast<uint64_t>(k.channels) + 1080;
        k.shortHn =
            threeCharExtension && *fileLength % longLength != 0 && *fileLength % shortLength == 0;
    }
    k.layout = layoutOf(k.family, k.channels, k.shortHn);
    return k;
}

std::optional<char> phaseMarker(std::string_view fileName) {
    if (fileName.size() < 4) return std::nullopt;
    const char c = fileName[fileName.size() - 4];
    if (c == 'R' || c == 'S' || c == 'T') return c;
    return std::nullopt;
}

float powerFactorK(std::string_view fileName) {
    return phaseMarker(fileName) ? 1.0f : static_cast<float>(std::sqrt(3.0));
}

}  // namespace hg
