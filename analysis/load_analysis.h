// Execute in graph mode, the one use case the file-selection window and every sub-command that
// draws, prints or reports run: from the recording a scan described and the period texts, the
// preparation, the file opened, the period loaded and its orders ranked, the load's warnings
// collected. The scan itself is the file selection's step (a click in the list, a sub-command's
// first check), since both act on what it learned before Execute.
#pragma once

#include <memory>

#include "analysis/execute.h"
#include "analysis/load.h"
#include "platform/result.h"

namespace hg {

struct HARMDIM;
struct Recording;

struct LoadedAnalysis {
    // The loaded period, the caller's to share read-only with whatever shows it; null when the
    // start lies after the end (nothing was done: the caller restores itself).
    std::shared_ptr<HARMDIM> analysis;
    LoadReport report;  // the load's counts, and its warnings one line each
};

struct LoadHooks {
    ProgressFn progress;  // records loaded of the period's, now and then, on the calling thread
    int threads = 0;      // threads the load runs on (0: the load's own choice)
};

// Graph-mode Execute of `period` over the recording `scanned` describes. Refusals carry the
// preparation's and the load's own messages.
Result<LoadedAnalysis> loadAnalysis(const Recording& scanned, const PeriodTexts& period,
                                    const LoadHooks& hooks = {});

}  // namespace hg
