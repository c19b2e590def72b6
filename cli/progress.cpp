#include "cli/progress.h"

#include <cstdio>

#include "platform/system_process.h"

namespace hg::cli {

namespace {

constexpr int kBarWidth = 30;

}  // namespace

TerminalProgress::TerminalProgress(std::string label)
    : TerminalProgress(std::move(label), sys::standardErrorIsTerminal()) {}

TerminalProgress::TerminalProgress(std::string label, bool terminal)
    : label_(std::move(label)), terminal_(terminal) {}

TerminalProgress::~TerminalProgress() {
    finish();
}

ProgressFn TerminalProgress::report() {
    if (!terminal_) return {};
    return [this](int64_t done, int64_t total) { draw(done, total); };
}

void TerminalProgress::draw(int64_t done, int64_t total) {
    if (total < kLongPeriod || done < 0 || done > total) return;
    const int percent = static_cast<int>(done * 100 / total);
    const std::lock_guard<std::mutex> hold(lock_);
    if (percent == shown_) return;
    shown_ = percent;
    const int filled = percent * kBarWidth / 100;
    std::fprintf(stderr, "\rharmograph %s: [%s%s] %3d%%", label_.c_str(),
                 std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kBarWidth - filled), '.').c_str(), percent);
    std::fflush(stderr);
}

void TerminalProgress::finish() {
    const std::lock_guard<std::mutex> hold(lock_);
    if (shown_ < 0) return;
    std::fputc('\n', stderr);
    std::fflush(stderr);
    shown_ = -1;
}

}  // namespace hg::cli
