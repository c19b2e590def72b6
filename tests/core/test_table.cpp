// Tables: zero-filled on every dimensioning, small ones from the heap and large ones mapped.
#include <gtest/gtest.h>

#include <tuple>

#include "analysis/table.h"

namespace hg {
namespace {

TEST(Table, ZeroFilledOnEveryDimensioning) {
    // A small table, one of several megabytes (mapped), and an empty one.
    for (auto [u0, u1, u2, size] :
         {std::tuple{3L, 4L, 2L, 60u}, {9L, 1023L, 255L, 10u << 18}, {4L, -1L, 7L, 0u}}) {
        Table<float> t;
        for (int round = 0; round < 2; ++round) {
            t.dim(u0, u1, u2);
            ASSERT_EQ(t.size(), size);
            for (std::size_t i = 0; i < t.size(); ++i) ASSERT_EQ(t.data()[i], 0.0f) << size;
            for (std::size_t i = 0; i < t.size(); ++i) t.data()[i] = 1.5f;
        }
        EXPECT_EQ(t.contains(u0, u1, u2), size > 0);
        EXPECT_FALSE(t.contains(u0 + 1, 0, 0));
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
