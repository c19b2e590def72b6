#include "platform/qt/print_service.h"

#include <QEventLoop>
#include <thread>

namespace hg {

const char* const kServerNotAnswering = "印刷サーバーが応答しません";

namespace {

constexpr std::chrono::milliseconds kPollInterval{20};

// Runs `work` on a detached thread: a print server that never answers keeps only that thread.
template <class T, class Work>
std::future<T> startDetached(Work work) {
    std::packaged_task<T()> task(std::move(work));
    std::future<T> result = task.get_future();
    std::thread(std::move(task)).detach();
    return result;
}

bool ready(const std::future<PrinterList>& f) {
    return f.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready;
}

}  // namespace

QString printerStateText(PrinterState state) {
    switch (state) {
        case PrinterState::Idle:
            return QStringLiteral("待機中");
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
    : QObject(parent), deadline_(std::chrono::steady_clock::now() + limit) {
    result_ = startDetached<PrinterList>([service] { return service->printers(); });
    poll_.setInterval(kPollInterval);
    connect(&poll_, &QTimer::timeout, this, &PrinterListFetch::check);
    poll_.start();
}

void PrinterListFetch::check() {
    if (ready(result_)) {
        poll_.stop();
        emit finished(result_.get());
    } else if (std::chrono::steady_clock::now() >= deadline_) {
        poll_.stop();
        PrinterList late;
        late.error = QString::fromUtf8(kServerNotAnswering);
        emit finished(late);
    }
}

void PrinterListFetch::waitForFinished() {
    QEventLoop loop;
    connect(this, &PrinterListFetch::finished, &loop, &QEventLoop::quit);
    if (isRunning()) loop.exec();
}

std::optional<SubmitResult> submitOffThread(std::shared_ptr<PrintService> service, PrintJob job,
                                            std::chrono::milliseconds limit) {
    std::future<SubmitResult> result = startDetached<SubmitResult>(
        [service, job = std::move(job)] { return service->submit(job); });
    const auto deadline = std::chrono::steady_clock::now() + limit;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(kPollInterval);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (result.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready ||
            std::chrono::steady_clock::now() >= deadline)
            loop.quit();
    });
    poll.start();
    loop.exec();
    if (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) return {};
    return result.get();
}

}  // namespace hg
