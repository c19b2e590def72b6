#include <gtest/gtest.h>

#include "datafile/record_format.h"

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
    EXPECT_EQ(kindFromName("a.hh1", std::nullopt)->orderOf(12), 13);
    EXPECT_EQ(powerFactorK("x.Rhm2"), 1.0f);
    EXPECT_EQ(powerFactorK("x.Thm2"), 1.0f);
    EXPECT_FLOAT_EQ(powerFactorK("x.rhm2"), 1.7320508f);  // the marker is case-sensitive
    EXPECT_FLOAT_EQ(powerFactorK("x.hm2"), 1.7320508f);
    EXPECT_EQ(kindText("x.Rhh2"), "hh");
}

}  // namespace
}  // namespace hg
