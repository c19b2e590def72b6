// The record format: the kind, record length and channels read from a name (and the file length
// for the short "hn" form), and every block of every kind at its byte offset: recordings written
// by the sample generator are read back through the reader, and the raw bytes at the offsets of the
// format table are compared with the values the generator put there.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "datafile/record_file.h"
#include "datafile/record_format.h"
#include "datafile/synth.h"
#include "support_scratch.h"

namespace hg {
namespace {

TEST(RecordFormat, RecordLengthsOfEveryKind) {
    struct Case {
        const char* name;
        uint64_t length;
        int64_t recordLength;
        int channels;
        int maxOrder;
        bool shortHn;
    };
    const Case cases[] = {
        {"a.ha3", 0, 256, 1, 24, false},          {"a.HA4", 0, 356, 1, 24, false},
        {"a.ha5", 0, 280, 1, 24, false},          {"a.ha6", 0, 286, 1, 24, false},
        {"a.hm3", 0, 556, 3, 24, false},          {"a.hv3", 0, 654, 3, 24, false},
        {"a.hh2", 0, 4102, 2, 255, false},        {"a.hn2", 4614 * 9, 4614, 2, 255, false},
        {"a.hn2", 4152 * 10, 4152, 2, 255, true}, {"x.Rhn2", 4152 * 10, 4614, 2, 255, false},
        {"x.Rhm2", 0, 406, 2, 24, false},
    };
    for (const Case& c : cases) {
        auto k = kindFromName(c.name, c.length);
        ASSERT_TRUE(k.ok()) << c.name << ": " << k.error();
        EXPECT_EQ(k->layout.recordLength, c.recordLength) << c.name;
        EXPECT_EQ(k->channels, c.channels) << c.name;
        EXPECT_EQ(k->maxOrderIndex, c.maxOrder) << c.name;
        EXPECT_EQ(k->shortHn, c.shortHn) << c.name;
    }
    for (const char* name : {"a.html", "x.hm2.bak", "x.hm10", "x.hm0", "x.hh", "ab", "x.csv"})
        EXPECT_FALSE(kindFromName(name, 1000).ok()) << name;
}

TEST(RecordFormat, OrdersOfAnIndexAndThePhaseMarker) {
    EXPECT_EQ(kindFromName("a.hm1", std::nullopt)->orderOf(12), 25);
    EXPECT_EQ(powerFactorK("x.Rhm2"), 1.0f);
    EXPECT_EQ(powerFactorK("x.Thm2"), 1.0f);
    EXPECT_FLOAT_EQ(powerFactorK("x.rhm2"), 1.7320508f);  // the marker is case-sensitive
    EXPECT_FLOAT_EQ(powerFactorK("x.hm2"), 1.7320508f);
    EXPECT_EQ(kindText("x.Rhh2"), "hh");
}

// Every field of a record's values, for comparing whole records.
auto fields(const RecordValues& v) {
    return std::tuple(v.date, v.time, v.V, v.I, v.A, v.VR, v.IR, std::vector(v.Vp, v.Vp + 3), v.Ip,
                      std::vector(v.Ia, v.Ia + 3));
}

// Offsets of the last channel's blocks and of the optional blocks; -1 where a kind has none.
struct LayoutCase {
    const char* name;
    bool shortHn;
    int64_t recordLength;
    int64_t lastCurrent, lastAngle, vr, ir, vp, lastIp, ia;
};

// The raw bytes of a record at the offsets of its case, and the blocks filling it exactly.
void expectBlocksAtOffsets(const LayoutCase& c, const RecordLayout& layout, const uint8_t* raw,
                           const RecordValues& want) {
    const int n = layout.orders - 1;
    const int last = layout.channels - 1;
    EXPECT_EQ(decodeFloat(raw + 0), want.date);
    EXPECT_EQ(decodeInt16(raw + 4), want.time);
    EXPECT_EQ(decodeFloat(raw + 6), want.V[0]);
    EXPECT_EQ(decodeFloat(raw + 6 + 4 * n), want.V[static_cast<std::size_t>(n)]);
    EXPECT_GT(want.current(last, 0), 1.0f);
    EXPECT_EQ(decodeFloat(raw + c.lastCurrent), want.current(last, 0));
    EXPECT_EQ(decodeFloat(raw + c.lastCurrent + 4 * n), want.current(last, n));
    EXPECT_EQ(decodeInt16(raw + c.lastAngle), want.angle(last, 0));
    EXPECT_EQ(decodeInt16(raw + c.lastAngle + 2 * n), want.angle(last, n));
    int64_t end = c.lastAngle + 2 * (n + 1);
    if (c.vr >= 0) {
        const int count = c.shortHn ? 25 : n + 1;
        const int step = c.shortHn ? 2 : 1;
        EXPECT_EQ(decodeInt16(raw + c.vr + 2), want.VR[static_cast<std::size_t>(step)]);
        EXPECT_EQ(decodeInt16(raw + c.vr + 2 * (count - 1)),
                  want.VR[static_cast<std::size_t>(step * (count - 1))]);
        end = std::max(end, c.vr + 2 * count);
    }
    if (c.ir >= 0) {
        EXPECT_EQ(decodeInt16(raw + c.ir + 2 * n), want.IR[static_cast<std::size_t>(n)]);
        end = std::max(end, c.ir + 2 * (n + 1));
    }
    if (c.vp >= 0) {
        EXPECT_GT(want.Vp[2], 5000.0f);
        EXPECT_EQ(decodeFloat(raw + c.vp + 8), want.Vp[2]);
        EXPECT_EQ(decodeFloat(raw + c.lastIp + 8), want.Ip[static_cast<std::size_t>(last * 3 + 2)]);
        end = std::max({end, c.vp + 12, c.lastIp + 12});
    }
    if (c.ia >= 0) {
        EXPECT_EQ(decodeInt16(raw + c.ia + 4), want.Ia[2]);
        end = std::max(end, c.ia + 6);
    }
    EXPECT_EQ(end, c.recordLength);  // the blocks fill the record exactly
}

TEST(RecordLayout, EveryBlockOfEveryKindAtItsOffset) {
    const LayoutCase cases[] = {
        {"k.ha3", false, 256, 106, 206, -1, -1, -1, -1, -1},
        {"k.ha4", false, 356, 106, 206, 256, 306, -1, -1, -1},
        {"k.ha5", false, 280, 106, 206, -1, -1, 256, 268, -1},
        {"k.ha6", false, 286, 106, 206, -1, -1, 256, 268, 280},
        {"k.hm3", false, 556, 406, 506, -1, -1, -1, -1, -1},
        {"k.Rhm2", false, 406, 256, 356, -1, -1, -1, -1, -1},
        {"k.hv1", false, 330, 106, 206, 256, -1, 306, 318, -1},
        {"k.hv2", false, 492, 256, 356, 406, -1, 456, 480, -1},
        {"k.hh2", false, 4102, 2566, 3590, -1, -1, -1, -1, -1},
        {"k.hn1", false, 3078, 1030, 2054, 2566, -1, -1, -1, -1},
        {"k.hn2", false, 4614, 2566, 3590, 4102, -1, -1, -1, -1},
        {"s.hn2", true, 4152, 2566, 3590, 4102, -1, -1, -1, -1},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = test::scratchPath(c.name);
        SynthOptions options;
        options.records = 6;
        options.shortHn = c.shortHn;
        options.adversarial = true;
        ASSERT_TRUE(writeSynth(path, options).ok());
        auto plan = SynthRecording::plan(path, options);
        auto file = RecordFile::open(path);
        ASSERT_TRUE(file.ok());
        const RecordLayout layout = kindFromName(path, file->size())->layout;
        EXPECT_EQ(layout.recordLength, c.recordLength);
        EXPECT_EQ(file->recordCount(layout.recordLength), 6);
        // Whole records through the reader equal the generator's values, hard records included.
        std::vector<uint8_t> buffer;
        RecordValues got, want;
        got.size(layout);
        for (int64_t r = 5; r >= 0; --r) {
            ASSERT_TRUE(readRecord(*file, layout, r, buffer, got));
            plan->record(r, want);
            EXPECT_EQ(fields(got), fields(want)) << r;
        }
        EXPECT_FALSE(readRecord(*file, layout, 6, buffer, got));
        expectBlocksAtOffsets(c, layout, buffer.data(), want);
    }
}

TEST(RecordLayout, TrailingPartialRecordIsIgnored) {
    const std::string path = test::scratchPath("ten.ha6");
    SynthOptions options;
    options.records = 10;
    ASSERT_TRUE(writeSynth(path, options).ok());
    auto bytes = test::readBytes(path);
    bytes.resize(2870, 0x7f);  // 2860 bytes of ten records and ten more
    test::writeBytes(path, bytes);
    auto file = RecordFile::open(path);
    ASSERT_TRUE(file.ok());
    const RecordLayout layout = layoutOf(KindFamily::ha6, 1, false);
    EXPECT_EQ(file->recordCount(layout.recordLength), 10);
    std::vector<uint8_t> buffer;
    RecordValues got;
    got.size(layout);
    EXPECT_TRUE(readRecord(*file, layout, 9, buffer, got));
    EXPECT_FALSE(readRecord(*file, layout, 10, buffer, got));
    float date = 0;
    int16_t time = 0;
    EXPECT_FALSE(readStamp(*file, layout, 10, date, time));
    EXPECT_FALSE(readStamp(*file, layout, -1, date, time));
}

}  // namespace
}  // namespace hg
