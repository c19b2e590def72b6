// A print service whose printers and answers the window tests set: it can refuse a job, hold it,
// abort it, be slow to list its printers, or take a question and not answer it until the test
// releases it (a print server that accepts connections and never answers). It keeps the jobs it
// took and the jobs it was asked to cancel.
#pragma once

#include <QString>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/qt/print_service.h"

using namespace Qt::StringLiterals;

namespace hg::test {

class FakePrintService : public PrintService {
  public:
    enum class Answer { Accept, Refuse, Hang };
    std::atomic<Answer> answer = Answer::Accept;
    std::atomic<bool> listHangs = false;
    std::atomic<bool> cancelConfirms = true;
    std::atomic<std::chrono::milliseconds> listDelay{std::chrono::milliseconds(0)};
    PrinterList list{{{u"q0"_s, PrinterState::Idle, true}, {u"q1"_s, PrinterState::Rejecting}}, {}};
    JobStatus status{JobState::Completed, {}};  // what every job's state reads

    ~FakePrintService() override { release(); }

    PrinterList printers() override {
        if (listHangs) waitForRelease();
        std::this_thread::sleep_for(listDelay.load());
        std::lock_guard lock(mutex_);
        return list;
    }
    SubmitResult submit(const PrintJob& job) override {
        if (answer == Answer::Refuse) return {false, 0, u"client-error-not-accepting-jobs"_s};
        if (answer == Answer::Hang) waitForRelease();
        std::lock_guard lock(mutex_);
        jobs_.push_back(job);
        return {true, static_cast<int>(jobs_.size()), {}};
    }
    JobStatus jobStatus(const QString&, int) override {
        std::lock_guard lock(mutex_);
        return status;
    }
    bool cancel(const QString&, int jobId) override {
        std::lock_guard lock(mutex_);
        cancelled_.push_back(jobId);
        return cancelConfirms;
    }

    // Lets every question waiting for an answer return, and every later one at once.
    void release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        wake_.notify_all();
    }
    // Questions that wait for release() now.
    int waiting() {
        std::lock_guard lock(mutex_);
        return waiting_;
    }
    std::vector<PrintJob> jobs() {
        std::lock_guard lock(mutex_);
        return jobs_;
    }
    std::vector<int> cancelled() {
        std::lock_guard lock(mutex_);
        return cancelled_;
    }
    // The jobs taken and not cancelled: what comes out of the printer.
    std::size_t printed() {
        std::lock_guard lock(mutex_);
        std::size_t n = 0;
        for (std::size_t id = 1; id <= jobs_.size(); ++id)
            n += std::count(cancelled_.begin(), cancelled_.end(), static_cast<int>(id)) ? 0 : 1;
        return n;
    }

  private:
    void waitForRelease() {
        std::unique_lock lock(mutex_);
        ++waiting_;
        wake_.wait(lock, [this] { return released_; });
        --waiting_;
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    bool released_ = false;
    int waiting_ = 0;
    std::vector<PrintJob> jobs_;
    std::vector<int> cancelled_;
};

}  // namespace hg::test
