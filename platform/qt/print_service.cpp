#include "platform/qt/print_service.h"

#include <QMetaObject>
#include <atomic>
#include <thread>

namespace hg {

const char* const kServerNotAnswering = "印刷サーバーが応答しません";
const char* const kServerUnreachable = "印刷サーバーに接続できません";

using Clock = std::chrono::steady_clock;

namespace {

constexpr std::chrono::milliseconds kPollInterval{20};
constexpr std::chrono::milliseconds kFollowInterval{250};
// How much longer than its own limit the window waits for the following of a job's state.
constexpr std::chrono::milliseconds kFollowGrace{2000};

// Runs `work` on a detached thread: a print server that never answers keeps only that thread.
template <class T, class Work>
std::future<T> startDetached(Work work) {
    std::packaged_task<T()> task(std::move(work));
    std::future<T> result = task.get_future();
    std::thread(std::move(task)).detach();
    return result;
}

template <class T>
bool ready(const std::future<T>& f) {
    return f.valid() && f.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready;
}

}  // namespace

struct PrintSubmission::Shared {
    std::atomic<bool> giveUp{false};  // cancel the job as soon as the server answers
    std::atomic<bool> stop{false};    // nobody waits for the state any more
    std::atomic<int> jobId{0};        // the job's number once the server took it
    LateCancels* notices = nullptr;
};

namespace {

using Shared = PrintSubmission::Shared;

// Tells the window thread what came of the cancel of a given-up job (job 0: none was made).
void tellLate(Shared& shared, const QString& printer, int jobId, bool confirmed) {
    LateCancels* notices = shared.notices;
    const auto tag = reinterpret_cast<quintptr>(&shared);
    QMetaObject::invokeMethod(
        notices,
        [notices, tag, printer, jobId, confirmed] {
            emit notices->cancelled(tag, printer, jobId, confirmed);
        },
        Qt::QueuedConnection);
}

SendOutcome cancelGivenUp(PrintService& service, const QString& printer, int jobId,
                          Shared& shared) {
    tellLate(shared, printer, jobId, service.cancel(printer, jobId));
    return {SendResult::Cancelled, jobId, {}};
}

// What a job's state says of it; nothing while it waits or prints.
std::optional<SendOutcome> outcomeOf(const JobStatus& status, int jobId) {
    switch (status.state) {
        case JobState::Completed:
            return SendOutcome{SendResult::Printed, jobId, {}};
        case JobState::Held:
            return SendOutcome{SendResult::Held, jobId, status.reason};
        case JobState::Stopped:
        case JobState::Canceled:
        case JobState::Aborted:
            return SendOutcome{SendResult::Failed, jobId, status.reason};
        case JobState::Unknown:
        case JobState::Pending:
        case JobState::Processing:
            break;
    }
    return std::nullopt;
}

// Sends the job, then follows its state until it ends or `follow` passes; a job given up is
// cancelled here, when the server has answered.
SendOutcome sendAndFollow(PrintService& service, const PrintJob& job, Shared& shared,
                          std::chrono::milliseconds follow) {
    const SubmitResult r = service.submit(job);
    if (!r.accepted) {
        if (shared.giveUp) tellLate(shared, job.printer, 0, true);
        return {SendResult::Refused, 0, r.reason};
    }
    shared.jobId = r.jobId;
    const auto deadline = Clock::now() + follow;
    for (;;) {
        if (shared.giveUp) return cancelGivenUp(service, job.printer, r.jobId, shared);
        if (shared.stop || Clock::now() >= deadline) return {SendResult::Queued, r.jobId, {}};
        const JobStatus status = service.jobStatus(job.printer, r.jobId);
        if (shared.giveUp) return cancelGivenUp(service, job.printer, r.jobId, shared);
        if (auto outcome = outcomeOf(status, r.jobId)) return *outcome;
        for (auto t = kPollInterval; t <= kFollowInterval && !shared.giveUp && !shared.stop;
             t += kPollInterval)
            std::this_thread::sleep_for(kPollInterval);
    }
}

}  // namespace

QString printerStateText(PrinterState state) {
    switch (state) {
        case PrinterState::Idle:
            return QStringLiteral("待機中");
        case PrinterState::Printing:
            return QStringLiteral("印刷中");
        case PrinterState::Stopped:
            return QStringLiteral("停止中");
        case PrinterState::Rejecting:
            return QStringLiteral("ジョブ拒否中");
        case PrinterState::Offline:
            return QStringLiteral("オフライン");
    }
    return {};
}

PrinterListFetch::PrinterListFetch(std::shared_ptr<PrintService> service,
                                   std::chrono::milliseconds limit, QObject* parent)
    : QObject(parent), deadline_(Clock::now() + limit) {
    result_ = startDetached<PrinterList>([service] { return service->printers(); });
    poll_.setInterval(kPollInterval);
    connect(&poll_, &QTimer::timeout, this, &PrinterListFetch::check);
    poll_.start();
}

void PrinterListFetch::check() {
    if (ready(result_)) {
        poll_.stop();
        emit finished(result_.get());
    } else if (Clock::now() >= deadline_) {
        poll_.stop();
        PrinterList late;
        late.error = QString::fromUtf8(kServerNotAnswering);
        emit finished(late);
    }
}

LateCancels* LateCancels::instance() {
    static LateCancels* const notices = new LateCancels;  // lives as long as the program
    return notices;
}

PrintSubmission::PrintSubmission(std::shared_ptr<PrintService> service, PrintJob job, Limits limits,
                                 QObject* parent)
    : QObject(parent),
      shared_(std::make_shared<Shared>()),
      limits_(limits),
      started_(Clock::now()) {
    shared_->notices = LateCancels::instance();
    result_ = startDetached<SendOutcome>(
        [service, job = std::move(job), shared = shared_, follow = limits.follow] {
            return sendAndFollow(*service, job, *shared, follow);
        });
    poll_.setInterval(kPollInterval);
    connect(&poll_, &QTimer::timeout, this, &PrintSubmission::check);
    poll_.start();
}

PrintSubmission::~PrintSubmission() {
    // A window closed while its job is followed: the job stays, nobody follows it.
    shared_->stop = true;
}

void PrintSubmission::check() {
    if (ready(result_)) return end(result_.get());
    const auto now = Clock::now();
    if (!acceptedSeen_ && shared_->jobId != 0) {
        acceptedSeen_ = true;
        started_ = now;
        emit accepted(shared_->jobId);
    }
    if (!acceptedSeen_ && now >= started_ + limits_.submit) {
        shared_->giveUp = true;
        end({SendResult::TimedOut, 0, QString::fromUtf8(kServerNotAnswering)});
    } else if (acceptedSeen_ && now >= started_ + limits_.follow + kFollowGrace) {
        shared_->stop = true;  // the server took the job but no longer tells its state
        end({SendResult::Queued, shared_->jobId, {}});
    }
}

void PrintSubmission::abort() {
    if (!poll_.isActive()) return;
    shared_->giveUp = true;
    end({SendResult::Cancelled, shared_->jobId, {}});
}

void PrintSubmission::end(const SendOutcome& outcome) {
    if (!poll_.isActive()) return;
    poll_.stop();
    emit finished(outcome);
}

}  // namespace hg
