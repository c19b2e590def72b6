// What the graph-mode sub-commands (tables, plot, print) and convert share: the period texts of
// the scan with --start/--end applied, and the graph-mode preparation and load of that period.
#pragma once

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

// Stores the scan, runs Execute's preparation in `mode` and, in graph mode, the load (reporting to
// `progress`); warnings go to stderr. A start after the end is refused ("the period starts after
// it ends").
Status prepareAndLoad(HARMDIM& state, const ScanResult& scan, const PeriodTexts& texts,
                      ExecuteMode mode, const ProgressFn& progress = {});

// The three transformer parameters "C,X,U" (MVA, percent, kV) of `option` ("--predict",
// "--transformer").
Result<TransformerParameters> transformerOption(const std::string& option, const std::string& text);

// Whether two paths name the same file (an output must never replace the recording it reads).
bool sameFile(const std::string& a, const std::string& b);

}  // namespace hg::cli
