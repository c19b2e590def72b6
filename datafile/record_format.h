// The instrument's record format: the kind of a recording read from its file name, the record
// length, and the byte offset of every block of a record. Every reader of recordings goes through
// this one description.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace hg {

enum class KindFamily { ha3, ha4, ha5, ha6, hm, hv, hh, hn };

// Where each block of a record starts (bytes from the record's start) and how many values it
// holds. A block a kind does not carry has offset -1 and count 0.
struct RecordLayout {
    int64_t recordLength = 0;
    int orders = 0;    // N + 1 values per order block
    int channels = 0;  // C

    static constexpr int64_t dateOffset = 0;  // single, yymmdd
    static constexpr int64_t timeOffset = 4;  // int16, hhmm
    static constexpr int64_t voltageOffset = 6;

    int64_t currentOffset(int channel) const { return firstCurrent + channel * channelStride; }
    int64_t angleOffset(int channel) const { return firstAngle + channel * channelStride; }
    int64_t phaseCurrentOffset(int channel) const { return phaseCurrents + channel * 12; }

    int64_t firstCurrent = 0;
    int64_t firstAngle = 0;
    int64_t channelStride = 0;
    int64_t voltageAngles = -1;  // VR, int16 x vrCount
    int vrCount = 0;             // N + 1, or 25 in the short "hn" form
    int64_t currentAngles = -1;  // IR, int16 x (N + 1)
    int64_t phaseVoltages = -1;  // Vp, single x 3 (Vuv, Vvw, Vuw)
    int64_t phaseCurrents = -1;  // Ip, single x 3 per channel (Iu, Iv, Iw)
    int64_t phaseAngles = -1;    // Ia, int16 x 3

    bool hasVoltageAngles() const { return voltageAngles >= 0; }
    bool hasCurrentAngles() const { return currentAngles >= 0; }
    bool hasPhaseValues() const { return phaseVoltages >= 0; }
    bool hasPhaseAngles() const { return phaseAngles >= 0; }
};

// Order indexes per order number step: 2 for a file of 25 odd orders (N = 24), 1 for 256 orders.
constexpr int orderStepOf(int maxOrderIndex) {
    return maxOrderIndex <= 24 ? 2 : 1;
}

struct FileKind {
    KindFamily family = KindFamily::ha3;
    std::string text;        // "ha3".."ha6", or the two letters "hm", "hv", "hh", "hn"
    int channels = 1;        // C
    int maxOrderIndex = 24;  // N: 24 (odd orders 1..49) or 255 (orders 1..256)
    bool shortHn = false;    // "hn" in the short form (25 voltage angles)
    RecordLayout layout;

    bool allOrders() const { return maxOrderIndex == 255; }  // "hh" and "hn"
    int orderStep() const { return orderStepOf(maxOrderIndex); }
    // Order number of order index k: 2k+1 for 25 odd orders, k+1 for 256 orders.
    int orderOf(int k) const { return k * orderStep() + 1; }
};

// The kind text of a name: the last three characters lower-cased for "ha3".."ha6", else the first
// two of them ("hh" for "x.Rhh2"). Empty when the name is shorter than three characters.
std::string kindText(std::string_view fileName);

// The record length of a kind (before the short-form test).
int64_t recordLengthOf(KindFamily family, int channels);

// The kind, sizes and layout of a recording from its name; the file length decides the short
// "hn" form (the extension has exactly three characters, the length is not a multiple of the long
// record and is a multiple of the short one). Refuses unknown kinds and a missing or 0 channel
// digit.
Result<FileKind> kindFromName(std::string_view fileName, std::optional<uint64_t> fileLength);

// The layout of a kind; `shortHn` only matters for "hn".
RecordLayout layoutOf(KindFamily family, int channels, bool shortHn);

// The phase marker: the character just before the three kind characters is a capital R, S or T.
// Power is then single-phase (factor 1), otherwise three-phase from line voltages (factor sqrt 3).
std::optional<char> phaseMarker(std::string_view fileName);
float powerFactorK(std::string_view fileName);

// The file name part of a path ("/" or "\" separated).
std::string_view baseName(std::string_view path);

}  // namespace hg
