// One recording's CSV conversion from the command line's options: what `convert` does for a single
// recording, and for each recording of a batch.
#pragma once

#include <string>
#include <vector>

#include "analysis/execute.h"
#include "cli/args.h"
#include "datafile/scan.h"

namespace hg::cli {

// The options `convert` reads.
extern const std::set<std::string> kConvertValued;
extern const std::set<std::string> kConvertFlags;

struct Conversion {
    std::vector<std::string> files;  // written, in order
    int64_t lines = 0;               // data lines per file
    int64_t skippedRecords = 0;      // records without a real date and time, left out
    std::string error;               // empty when the conversion succeeded
    bool usage = false;              // the error lies in the options given for this kind

    bool ok() const { return error.empty(); }
};

// The files a conversion of the scanned recording to `out` would write with the options of `args`
// (one file, or the split files); `out` alone when the options do not apply to its kind.
std::vector<std::string> conversionOutputs(const Args& args, const ScanResult& scan,
                                           const std::string& out);

// Converts the scanned recording to `out` with the options of `args` applied to its kind; never
// throws. The files are replaced only when every one was written whole.
Conversion convertRecording(const Args& args, const ScanResult& scan, const std::string& out,
                            const ProgressFn& progress = {});

}  // namespace hg::cli
