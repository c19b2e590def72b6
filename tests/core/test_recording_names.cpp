// The names the file list shows as recordings, which the batch conversion of a folder takes too.
#include <gtest/gtest.h>

#include "datafile/recording_names.h"

namespace hg {
namespace {

TEST(RecordingNames, TheFileListsPatterns) {
    const struct {
        const char* name;
        bool listed;
    } cases[] = {
        {"a.ha3", true},   {"A.HA4", true},  {"site.v2.ha5", true}, {"a.ha6", true},
        {"a.hm3", true},   {"a.hm", true},   {"x.Rhn2", true},      {"x.rHH9", true},
        {"a.hv12", true},  {"a.hmx", true},  {"a.ha7", false},      {"a.ha30", false},
        {"hm3", false},    {"a.csv", false}, {"a.txt", false},      {".hm3", true},
        {"a.Rcsv", false}, {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(isRecordingName(c.name), c.listed) << c.name;
}

}  // namespace
}  // namespace hg
