// The sample generator: stamps, gaps, the hard records of the adversarial mode, plausible values,
// determinism and refusals.
#include <gtest/gtest.h>

#include <tuple>

#include "datafile/synth.h"
#include "platform/dates.h"
#include "support_scratch.h"

namespace hg {
namespace {

TEST(Synth, StampsAndGaps) {
    SynthOptions options;
    options.records = 50;
    options.intervalMinutes = 15;
    options.gaps = 7;
    auto plan = SynthRecording::plan("g.hm2", options);
    ASSERT_TRUE(plan.ok()) << plan.error();
    EXPECT_EQ(plan->slotOf(49), 56);  // the last slot is kept: 50 + 7 - 1
    for (int64_t r = 1; r < 50; ++r) {
        EXPECT_GT(plan->slotOf(r), plan->slotOf(r - 1));
        EXPECT_EQ(wholeMinutes(plan->stampOf(0), plan->stampOf(r)), plan->slotOf(r) * 15);
        const auto stamp = stampDateTime(plan->dateNumberOf(r), plan->timeNumberOf(r));
        EXPECT_EQ(wholeMinutes(stamp.value(), plan->stampOf(r)), 0);
    }
}

TEST(Synth, AdversarialRecords) {
    SynthOptions options;
    options.adversarial = true;
    auto plan = SynthRecording::plan("a.hv2", options);
    ASSERT_TRUE(plan.ok());
    EXPECT_EQ(plan->dateNumberOf(0), 50311.0f);  // five-digit dates, 23:00 on
    EXPECT_EQ(plan->dateNumberOf(6), 50312.0f);  // midnight
    EXPECT_EQ(plan->timeNumberOf(6), 0);
    RecordValues v;
    plan->record(1, v);  // zero harmonics
    for (int k = 1; k < v.orders; ++k)
        EXPECT_EQ(v.V[static_cast<std::size_t>(k)] + v.current(1, k), 0.0f) << k;
    plan->record(2, v);  // zero fundamental voltage
    EXPECT_EQ(v.V[0], 0.0f);
    plan->record(3, v);  // currents at or below 0.01 A
    EXPECT_EQ(v.current(0, 0), 0.01f);
    plan->record(4, v);  // angles at the wrap
    EXPECT_EQ(v.angle(0, 0), -180);
    EXPECT_EQ(v.angle(0, 1), 180);
}

TEST(Synth, PlausibleValues) {
    auto plan = SynthRecording::plan("p.Rhm3", SynthOptions{});  // a 200 V system
    RecordValues night, afternoon;
    plan->record(18, night);      // 03:00
    plan->record(90, afternoon);  // 15:00
    EXPECT_NEAR(night.V[0], 200, 10);
    EXPECT_TRUE(night.V[2] > 0.01f * night.V[0] && night.V[2] < 0.05f * night.V[0]);  // 5th
    const float i5 = night.current(0, 2) / night.current(0, 0);
    EXPECT_TRUE(i5 > 0.04f && i5 < 0.2f) << i5;
    EXPECT_LT(night.angle(0, 0), 0);                              // lagging
    EXPECT_GT(afternoon.current(0, 0), 2 * night.current(0, 0));  // the daily load profile
}

TEST(Synth, DeterministicFromTheSeedAndRefusals) {
    SynthOptions options;
    options.records = 20;
    options.gaps = 3;
    const auto written = [&](const char* name) {
        EXPECT_TRUE(writeSynth(test::scratchPath(name), options).ok());
        return test::readBytes(test::scratchPath(name));
    };
    const auto one = written("d1.hv3");
    EXPECT_EQ(one.size(), 20u * 654);
    EXPECT_EQ(one, written("d2.hv3"));
    options.seed = 2;
    EXPECT_NE(one, written("d3.hv3"));

    // No channel, negative gaps, a marked short "hn". 513 short hn1 records (436 long ones in
    // length) are written: their stamps tell the form when the file is read.
    for (auto [name, records, shortHn, gaps] :
         {std::tuple{"x.hm0", 10, false, 0}, {"x.hm2", 10, false, -1}, {"x.Rhn2", 10, true, 0}}) {
        SynthOptions o;
        o.records = records, o.shortHn = shortHn, o.gaps = gaps;
        EXPECT_FALSE(SynthRecording::plan(name, o).ok()) << name;
    }
    SynthOptions longest;
    longest.records = 513, longest.shortHn = true;
    EXPECT_TRUE(SynthRecording::plan("x.hn1", longest).ok());
    SynthOptions late;  // stamps past 2029 would read back as 1930
    late.start = static_cast<double>(*dayNumber(2029, 12, 31)) + 23.5 / 24;
    EXPECT_FALSE(SynthRecording::plan("x.hm2", late).ok());
}

}  // namespace
}  // namespace hg
