// Names of print jobs and titles of printed PDFs.
#include <gtest/gtest.h>

#include "print/job_title.h"

namespace hg {
namespace {

TEST(PrintJobTitle, FileNameAndItemNamesWithoutUnitsOrBlanks) {
    struct Case {
        const char* path;
        std::vector<int16_t> items;
        const char* title;
    };
    const Case cases[] = {
        {"/data/x.hv3", {1}, "harmograph – x.hv3 電圧歪率"},
        {"C:\\data\\y.hm2", {5}, "harmograph – y.hm2 電流"},  // "電    流(A)"
        {"/d/z.ha4", {1, 2, 6}, "harmograph – z.ha4 電圧歪率・電流歪率・位相差"},
        {"/d/z.ha4", {16, 23}, "harmograph – z.ha4 上位電圧重畳角予測・電流不平衡率"},
        {"/d/z.ha4", {1, 1, 1}, "harmograph – z.ha4 電圧歪率"},  // three thirds of one item
        {"/d/z.ha4", {5, 1, 5}, "harmograph – z.ha4 電流・電圧歪率"},
        {"/d/z.ha4", {}, "harmograph – z.ha4"},
        {"/d/z.ha4", {0, 99}, "harmograph – z.ha4"},  // no such item
    };
    for (const Case& c : cases) EXPECT_EQ(printJobTitle(c.path, c.items), c.title) << c.path;
}

}  // namespace
}  // namespace hg
