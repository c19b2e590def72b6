#include "analysis/load_analysis.h"

#include "analysis/harmdim.h"
#include "datafile/record_file.h"

namespace hg {

Result<LoadedAnalysis> loadAnalysis(const Recording& scanned, const PeriodTexts& period,
                                    const LoadHooks& hooks) {
    auto prepared = prepareAnalysis(scanned, period, ExecuteMode::Graph);
    if (!prepared) return Error{prepared.error()};
    if (!*prepared) return LoadedAnalysis{};
    HARMDIM& analysis = **prepared;
    auto file = RecordFile::open(analysis.FilePath);
    if (!file) return Error{file.error()};
    auto report = executeGraph(analysis, *file, hooks.progress, hooks.threads);
    if (!report) return Error{report.error()};
    return LoadedAnalysis{std::move(*prepared), std::move(*report)};
}

}  // namespace hg
