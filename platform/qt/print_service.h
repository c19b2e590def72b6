// The system's print service as the print dialog sees it: the printers with their states, and
// the submission of a finished sheet (its PDF) as a named job whose acceptance is checked.
//
// Both questions may take long when a print server does not answer, so the windows ask them off
// their own thread with a time limit (PrinterListFetch, submitOffThread) and stay usable.
// Tests replace the service with a fake that can refuse, hang or report a stopped queue.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <vector>

namespace hg {

enum class PrinterState { Idle, Stopped, Rejecting, Offline };

// "待機中", "停止中", "ジョブ拒否中", "オフライン".
QString printerStateText(PrinterState state);

struct PrinterInfo {
    QString name;
    PrinterState state = PrinterState::Idle;
    bool isDefault = false;
};

// The printers of the system, its default first; `error` tells why the server could not be asked.
struct PrinterList {
    std::vector<PrinterInfo> printers;
    QString error;
};

struct PrintJob {
    QString printer;
    QString title;  // the job's name in the queue
    QByteArray pdf;
};

struct SubmitResult {
    bool accepted = false;
    int jobId = 0;
    QString reason;  // why the job was not accepted
};

class PrintService {
  public:
    virtual ~PrintService() = default;
    // Both may block while the print server answers; callers run them off the window thread.
    virtual PrinterList printers() = 0;
    virtual SubmitResult submit(const PrintJob& job) = 0;
};

// The system's print service: CUPS where the build found it, else Qt's own printing.
std::shared_ptr<PrintService> systemPrintService();

// Time limits of the questions to the print server.
inline constexpr std::chrono::milliseconds kPrinterListLimit{8000};
inline constexpr std::chrono::milliseconds kSubmitLimit{60000};

// Fetches the printer list on a thread of its own; `finished` comes on the window thread with
// the list, or with the error "印刷サーバーが応答しません" when the limit passed first.
class PrinterListFetch : public QObject {
    Q_OBJECT

  public:
    PrinterListFetch(std::shared_ptr<PrintService> service, std::chrono::milliseconds limit,
                     QObject* parent = nullptr);
    bool isRunning() const { return poll_.isActive(); }
    // Waits, letting the window's events run, until the list has come (or the limit passed).
    void waitForFinished();

  signals:
    void finished(const PrinterList& list);

  private:
    void check();

    std::future<PrinterList> result_;
    QTimer poll_;
    std::chrono::steady_clock::time_point deadline_;
};

// Submits the job on a thread of its own, letting the window's events run meanwhile; nothing
// when the service has not answered within the limit.
std::optional<SubmitResult> submitOffThread(std::shared_ptr<PrintService> service, PrintJob job,
                                            std::chrono::milliseconds limit);

extern const char* const kServerNotAnswering;

}  // namespace hg
