// HARMDIM: one analysis as Execute leaves it — the recording the scan described, the period
// Execute's preparation made, and the tables the graph-mode load filled. Each part has its own
// writer (the scan, the preparation, the load); once loaded, the whole is handed to the graph
// windows and printing as a shared, read-only value. Nothing a window chooses (item, orders,
// channel, prediction) or any window flag lives here.
#pragma once

#include "analysis/period.h"
#include "analysis/tables.h"
#include "datafile/recording.h"

namespace hg {

struct HARMDIM : Recording, Period, AnalysisTables {
    // Dimensions the ranking tables for the recording's orders: every Execute, both modes.
    void dimRanking() { AnalysisTables::dimRanking(MaxOrderIndex); }
    // Dimensions the per-record tables and the extremes for the period and the recording.
    void dimTables() { AnalysisTables::dimTables(PeriodRecords, MaxOrderIndex, ChannelCount); }
    std::size_t tableBytes() const {
        return AnalysisTables::tableBytes(PeriodRecords, MaxOrderIndex, ChannelCount);
    }
};

}  // namespace hg
