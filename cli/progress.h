// A progress bar on stderr for the long steps of convert and tables, drawn only when stderr is a
// terminal and the step covers a long period; otherwise nothing is printed.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "analysis/execute.h"

namespace hg::cli {

class TerminalProgress {
  public:
    // `label` starts the line ("convert"); `terminal` whether stderr is one (asked of the system by
    // default).
    explicit TerminalProgress(std::string label);
    TerminalProgress(std::string label, bool terminal);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // The report to hand to the step; empty when nothing is drawn.
    ProgressFn report();
    // Ends the bar's line (also done when the object goes).
    void finish();

    // Periods of fewer records are over before a bar could be read.
    static constexpr int64_t kLongPeriod = 1000;

  private:
    void draw(int64_t done, int64_t total);

    std::string label_;
    bool terminal_;
    std::mutex lock_;
    int shown_ = -1;  // the percentage on screen, -1 before the first draw
};

}  // namespace hg::cli
