// Tables: zero-filled on every dimensioning, small ones from the heap and large ones mapped.
#include <gtest/gtest.h>

#include "analysis/table.h"

namespace hg {
namespace {

TEST(Table, ZeroFilledOnEveryDimensioning) {
    struct Case {
        long u0, u1, u2;
        std::size_t size;
    };
    // A small table, one of several megabytes (mapped), and an empty one.
    for (const Case& c :
         {Case{3, 4, 2, 60}, Case{9, 1023, 255, 10u * 1024 * 256}, Case{4, -1, 7, 0}}) {
        Table<float> t;
        for (int round = 0; round < 2; ++round) {
            t.dim(c.u0, c.u1, c.u2);
            ASSERT_EQ(t.size(), c.size);
            for (std::size_t i = 0; i < t.size(); ++i) ASSERT_EQ(t.data()[i], 0.0f) << c.size;
            for (std::size_t i = 0; i < t.size(); ++i) t.data()[i] = 1.5f;
        }
        if (c.size) {
            EXPECT_EQ(&t(1, 2, 1), t.row(1, 2) + 1);
            EXPECT_TRUE(t.contains(c.u0, c.u1, c.u2));
            EXPECT_FALSE(t.contains(c.u0 + 1, 0, 0));
        }
    }
    Table<int16_t> angles;
    angles.dim(1, 2, 3);
    angles(1, 2, 3) = -240;
    EXPECT_EQ(angles.data()[angles.size() - 1], -240);
    angles.clear();
    EXPECT_FALSE(angles.contains(0));
}

}  // namespace
}  // namespace hg
