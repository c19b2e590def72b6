// What the sub-commands that read a period (tables, plot, print, report, spectrum, convert) share:
// the scan checked against the output, the period texts of the scan with --start/--end applied,
// and Execute of that period.
#pragma once

#include <memory>
#include <string>

#include "analysis/execute.h"
#include "analysis/upstream_prediction.h"
#include "cli/args.h"
#include "datafile/scan.h"
#include "platform/result.h"

namespace hg {
struct HARMDIM;
}

namespace hg::cli {

// The whole file as the scan proposes it, with "--start"/"--end" ("yy/mm/dd hh:mm") replacing
// either end.
Result<PeriodTexts> periodTextsOf(const Args& args, const ScanResult& scan);

// Scans the recording for a sub-command that writes `output`: scan warnings go to stderr; an
// output that is the recording itself, a folder or a device is refused
// ("<command>: the output would overwrite the recording ...").
Result<ScanResult> scanForOutput(const std::string& command, const std::string& input,
                                 const std::string& output);

// Execute over `texts` of the scanned recording: in graph mode the loaded analysis (loadAnalysis,
// reporting to `progress`, its warnings on stderr), in conversion mode the prepared one. A start
// after the end is refused ("the period starts after it ends").
Result<std::shared_ptr<const HARMDIM>> executeFor(const ScanResult& scan, const PeriodTexts& texts,
                                                  ExecuteMode mode,
                                                  const ProgressFn& progress = {});

// The three transformer parameters "C,X,U" (MVA, percent, kV) of `option` ("--predict",
// "--transformer").
Result<TransformerParameters> transformerOption(const std::string& option, const std::string& text);

}  // namespace hg::cli
