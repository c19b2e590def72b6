#include "cli/graph_load.h"

#include <tuple>

#include "analysis/load_analysis.h"
#include "platform/file_identity.h"
#include "platform/output.h"

namespace hg::cli {

Result<PeriodTexts> periodTextsOf(const Args& args, const ScanResult& scan) {
    PeriodTexts texts{scan.startDate, scan.startTime, scan.endDate, scan.endTime};
    for (const auto& [option, date, time] :
         {std::tuple{"--start", &texts.startDate, &texts.startTime},
          std::tuple{"--end", &texts.endDate, &texts.endTime}}) {
        if (auto t = args.get(option)) {
            auto parts = splitPeriodText(option, *t);
            if (!parts) return Error{parts.error()};
            *date = parts->first;
            *time = parts->second;
        }
    }
    return texts;
}

Result<ScanResult> scanForOutput(const std::string& command, const std::string& input,
                                 const std::string& output) {
    auto scan = scanFile(input);
    if (!scan) return Error{scan.error()};
    for (const std::string& w : scan->warnings) warn(w);
    if (sameExistingFile(scan->fullPath, output))
        return Error{command + ": the output would overwrite the recording " + output};
    // A folder or a device (/dev/null) cannot be replaced by the finished file.
    if (auto target = checkOutputTarget(output, scan->fullPath); !target)
        return Error{command + ": " + target.error()};
    return scan;
}

Result<std::shared_ptr<const HARMDIM>> executeFor(const ScanResult& scan, const PeriodTexts& texts,
                                                  ExecuteMode mode, const ProgressFn& progress) {
    Recording scanned;
    applyScan(scanned, scan);
    std::shared_ptr<const HARMDIM> analysis;
    if (mode == ExecuteMode::Convert) {
        auto prepared = prepareAnalysis(scanned, texts, mode);
        if (!prepared) return Error{prepared.error()};
        analysis = std::move(*prepared);
    } else {
        auto loaded = loadAnalysis(scanned, texts, {progress});
        if (!loaded) return Error{loaded.error()};
        for (const std::string& w : loaded->report.warnings) warn(w);
        analysis = std::move(loaded->analysis);
    }
    if (!analysis) return Error{"the period starts after it ends"};
    return analysis;
}

Result<TransformerParameters> transformerOption(const std::string& option,
                                                const std::string& text) {
    const std::size_t a = text.find(',');
    const std::size_t b = a == std::string::npos ? a : text.find(',', a + 1);
    if (b == std::string::npos || text.find(',', b + 1) != std::string::npos)
        return Error{option + " takes C,X,U (MVA, percent, kV), e.g. 10,8.0,6.6"};
    const std::string_view t = text;
    return transformerParameters(t.substr(0, a), t.substr(a + 1, b - a - 1), t.substr(b + 1));
}

}  // namespace hg::cli
