#include "datafile/record_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "platform/dates.h"
#include "platform/system_reason.h"

namespace hg {

Result<RecordFile> RecordFile::open(const std::string& path) {
    sys::ReadOnlyFile file = sys::ReadOnlyFile::open(path);
    switch (file.failure()) {
        case sys::ReadOnlyFile::Failure::Open:
            return Error{"ファイルを開けません: " + path + " (" + systemReasonText(file.error()) +
                         ")"};
        case sys::ReadOnlyFile::Failure::Inspect:
        case sys::ReadOnlyFile::Failure::NotRegular:
            return Error{"通常のファイルではありません: " + path};
        case sys::ReadOnlyFile::Failure::None:
            break;
    }
    RecordFile f;
    f.size_ = file.size();
    f.file_ = std::move(file);
    f.path_ = path;
    return f;
}

namespace {

// Whether the second record at `recordLength` carries a real stamp not before the first record's.
bool secondStampFollows(const RecordFile& file, int64_t recordLength) {
    uint8_t first[6], second[6];
    if (!file.read(0, first, sizeof first) ||
        !file.read(static_cast<uint64_t>(recordLength), second, sizeof second))
        return false;
    const auto a = stampDateTime(decodeFloat(first), decodeInt16(first + 4));
    const auto b = stampDateTime(decodeFloat(second), decodeInt16(second + 4));
    return a && b && *b >= *a;
}

}  // namespace

Result<FileKind> recordingKind(std::string_view fileName, const RecordFile& file) {
    auto kind = kindFromName(fileName, file.size());
    if (!kind || kind->family != KindFamily::hn || file.size() == 0) return kind;
    const int64_t longLength = layoutOf(KindFamily::hn, kind->channels, false).recordLength;
    const int64_t shortLength = layoutOf(KindFamily::hn, kind->channels, true).recordLength;
    const auto size = static_cast<int64_t>(file.size());
    const std::size_t dot = fileName.rfind('.');
    const bool threeCharExtension = dot != std::string_view::npos && fileName.size() - dot - 1 == 3;
    if (!threeCharExtension || size % longLength != 0 || size % shortLength != 0) return kind;
    const bool asLong = secondStampFollows(file, longLength);
    const bool asShort = secondStampFollows(file, shortLength);
    if (asLong == asShort)
        return Error{"レコード長を決められません（" + std::to_string(longLength) + " バイトと " +
                     std::to_string(shortLength) +
                     " バイトのどちらでも割り切れ、日付・時刻からも判別できません）: " +
                     std::string(baseName(fileName))};
    kind->shortHn = asShort;
    kind->layout = layoutOf(KindFamily::hn, kind->channels, asShort);
    return kind;
}

int64_t RecordFile::recordCount(int64_t recordLength) const {
    if (recordLength <= 0) return 0;
    return static_cast<int64_t>(size_ / static_cast<uint64_t>(recordLength));
}

bool RecordFile::read(uint64_t offset, void* destination, std::size_t bytes) const {
    if (!file_.isOpen() || offset > size_ || bytes > size_ - offset) return false;
    auto* out = static_cast<char*>(destination);
    std::size_t done = 0;
    while (done < bytes) {
        int err = 0;
        const long long got = file_.readAt(offset + done, out + done, bytes - done, err);
        if (got <= 0) return false;  // error, or the file shrank under us
        done += static_cast<std::size_t>(got);
    }
    return true;
}

void decodeFloats(const uint8_t* source, float* destination, std::size_t count) {
    std::memcpy(destination, source, count * sizeof(float));
    if constexpr (std::endian::native == std::endian::big) {
        for (std::size_t i = 0; i < count; ++i) {
            uint32_t u;
            std::memcpy(&u, destination + i, 4);
            u = __builtin_bswap32(u);
            std::memcpy(destination + i, &u, 4);
        }
    }
}

void decodeInt16s(const uint8_t* source, int16_t* destination, std::size_t count) {
    std::memcpy(destination, source, count * sizeof(int16_t));
    if constexpr (std::endian::native == std::endian::big) {
        for (std::size_t i = 0; i < count; ++i)
            destination[i] =
                static_cast<int16_t>(__builtin_bswap16(static_cast<uint16_t>(destination[i])));
    }
}

float decodeFloat(const uint8_t* source) {
    float v;
    decodeFloats(source, &v, 1);
    return v;
}

int16_t decodeInt16(const uint8_t* source) {
    int16_t v;
    decodeInt16s(source, &v, 1);
    return v;
}

void RecordValues::size(const RecordLayout& layout) {
    orders = layout.orders;
    channels = layout.channels;
    const auto n = static_cast<std::size_t>(orders);
    const auto rows = static_cast<std::size_t>(channels + 1);
    V.assign(n, 0.0f);
    I.assign(rows * n, 0.0f);
    A.assign(rows * n, 0);
    VR.assign(n, 0);
    IR.assign(n, 0);
    Ip.assign(rows * 3, 0.0f);
}

void decodeRecord(const uint8_t* rec, const RecordLayout& l, RecordValues& out) {
    const auto n = static_cast<std::size_t>(l.orders);
    out.date = decodeFloat(rec + RecordLayout::dateOffset);
    out.time = decodeInt16(rec + RecordLayout::timeOffset);
    decodeFloats(rec + RecordLayout::voltageOffset, out.V.data(), n);
    for (int c = 0; c < l.channels; ++c) {
        decodeFloats(rec + l.currentOffset(c), out.I.data() + static_cast<std::size_t>(c) * n, n);
        decodeInt16s(rec + l.angleOffset(c), out.A.data() + static_cast<std::size_t>(c) * n, n);
    }
    if (l.hasVoltageAngles()) {
        if (l.vrCount == l.orders) {
            decodeInt16s(rec + l.voltageAngles, out.VR.data(), n);
        } else {
            // Short form: value j is order 2j+1, i.e. index 2j of the 256 orders.
            std::fill(out.VR.begin(), out.VR.end(), int16_t{0});
            for (int j = 0; j < l.vrCount; ++j)
                out.VR[static_cast<std::size_t>(2 * j)] =
                    decodeInt16(rec + l.voltageAngles + 2 * j);
        }
    }
    if (l.hasCurrentAngles()) decodeInt16s(rec + l.currentAngles, out.IR.data(), n);
    if (l.hasPhaseValues()) {
        decodeFloats(rec + l.phaseVoltages, out.Vp, 3);
        for (int c = 0; c < l.channels; ++c)
            decodeFloats(rec + l.phaseCurrentOffset(c),
                         out.Ip.data() + static_cast<std::size_t>(c) * 3, 3);
    }
    if (l.hasPhaseAngles()) decodeInt16s(rec + l.phaseAngles, out.Ia, 3);
}

bool readRecord(const RecordFile& file, const RecordLayout& layout, int64_t n,
                std::vector<uint8_t>& buffer, RecordValues& out) {
    if (n < 0 || n >= file.recordCount(layout.recordLength)) return false;
    buffer.resize(static_cast<std::size_t>(layout.recordLength));
    if (!file.read(static_cast<uint64_t>(n) * static_cast<uint64_t>(layout.recordLength),
                   buffer.data(), buffer.size()))
        return false;
    decodeRecord(buffer.data(), layout, out);
    return true;
}

bool readStamp(const RecordFile& file, const RecordLayout& layout, int64_t n, float& date,
               int16_t& time) {
    if (n < 0 || n >= file.recordCount(layout.recordLength)) return false;
    uint8_t head[6];
    if (!file.read(static_cast<uint64_t>(n) * static_cast<uint64_t>(layout.recordLength), head, 6))
        return false;
    date = decodeFloat(head);
    time = decodeInt16(head + 4);
    return true;
}

}  // namespace hg
