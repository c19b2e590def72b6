// The system's print service as the windows see it: the printers with their states, and a
// finished sheet (its PDF) sent as a named job on the paper chosen, whose state is then followed
// until it is printed, held or aborted, or cancelled.
//
// Every question may take long when a print server does not answer, so the windows ask them off
// their own thread with a time limit (PrinterListFetch, PrintSubmission) and stay usable. A job
// whose submission outlives its limit is cancelled as soon as the server answers again.
// Tests replace the service with a fake that can refuse, hang, hold or report a stopped queue.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <future>
#include <memory>
#include <vector>

#include "platform/paper.h"

namespace hg {

enum class PrinterState { Idle, Printing, Stopped, Rejecting, Offline };

// "待機中", "印刷中", "停止中", "ジョブ拒否中", "オフライン".
QString printerStateText(PrinterState state);
// Whether a job sent to a printer in this state goes without asking.
inline bool readyForJobs(PrinterState state) {
    return state == PrinterState::Idle || state == PrinterState::Printing;
}

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
    PageSetup page;  // the paper and orientation the job asks for
};

struct SubmitResult {
    bool accepted = false;
    int jobId = 0;
    QString reason;  // why the job was not accepted
};

enum class JobState { Unknown, Pending, Held, Processing, Stopped, Canceled, Aborted, Completed };

struct JobStatus {
    JobState state = JobState::Unknown;
    QString reason;  // what the server says of a held, stopped or aborted job
};

class PrintService {
  public:
    virtual ~PrintService() = default;
    // Each may block while the print server answers; callers run them off the window thread.
    virtual PrinterList printers() = 0;
    virtual SubmitResult submit(const PrintJob& job) = 0;
    virtual JobStatus jobStatus(const QString& printer, int jobId) = 0;
    // True when the server confirmed the cancel.
    virtual bool cancel(const QString& printer, int jobId) = 0;
};

// The system's print service: CUPS where the build found it, else Qt's own printing.
std::shared_ptr<PrintService> systemPrintService();

// Time limits of the questions to the print server: the list, the submission of a job until
// the server took it, and the following of its state after.
inline constexpr std::chrono::milliseconds kPrinterListLimit{8000};
inline constexpr std::chrono::milliseconds kSubmitLimit{60000};
inline constexpr std::chrono::milliseconds kJobFollowLimit{20000};

extern const char* const kServerNotAnswering;  // "印刷サーバーが応答しません"
extern const char* const kServerUnreachable;   // "印刷サーバーに接続できません"

// Fetches the printer list on a thread of its own; `finished` comes on the window thread with
// the list, or with the error "印刷サーバーが応答しません" when the limit passed first.
class PrinterListFetch : public QObject {
    Q_OBJECT

  public:
    PrinterListFetch(std::shared_ptr<PrintService> service, std::chrono::milliseconds limit,
                     QObject* parent = nullptr);
    bool isRunning() const { return poll_.isActive(); }

  signals:
    void finished(const PrinterList& list);

  private:
    void check();

    std::future<PrinterList> result_;
    QTimer poll_;
    std::chrono::steady_clock::time_point deadline_;
};

// What came of a job sent to a printer.
enum class SendResult {
    Printed,    // the server reports it completed
    Queued,     // taken, and still waiting or printing when the following ended
    Refused,    // not taken, with the server's reason
    Held,       // held by the server (a failing backend, a job on hold), with its reason
    Failed,     // stopped, aborted or cancelled by the server, with its reason
    TimedOut,   // no answer within the limit: cancelled as soon as the server answers
    Cancelled,  // cancelled by the user while it was being sent
};

struct SendOutcome {
    SendResult result = SendResult::Refused;
    int jobId = 0;
    QString reason;
    bool sent() const { return result == SendResult::Printed || result == SendResult::Queued; }
};

// A job sent on a thread of its own and followed until its outcome, which `finished` brings on
// the window thread. A job given up (the limit passed before the server took it, or abort())
// is cancelled by that thread when the server answers; whether that cancel was confirmed comes
// later through LateCancels.
class PrintSubmission : public QObject {
    Q_OBJECT

  public:
    struct Limits {
        std::chrono::milliseconds submit = kSubmitLimit;
        std::chrono::milliseconds follow = kJobFollowLimit;
    };
    PrintSubmission(std::shared_ptr<PrintService> service, PrintJob job, Limits limits,
                    QObject* parent = nullptr);
    ~PrintSubmission() override;
    // Gives the job up: finished(Cancelled) comes at once.
    void abort();
    // Names this submission in LateCancels.
    quintptr tag() const { return reinterpret_cast<quintptr>(shared_.get()); }
    struct Shared;

  signals:
    void finished(const SendOutcome& outcome);
    // The server took the job; its state is followed now.
    void accepted(int jobId);

  private:
    void check();
    void end(const SendOutcome& outcome);

    std::shared_ptr<Shared> shared_;
    std::future<SendOutcome> result_;
    QTimer poll_;
    Limits limits_;
    std::chrono::steady_clock::time_point started_;
    bool acceptedSeen_ = false;
};

// Where the cancels of given-up jobs are told, on the window thread, once the server answered.
class LateCancels : public QObject {
    Q_OBJECT

  public:
    static LateCancels* instance();  // made on the window thread at the first submission

  signals:
    // `tag` is the given-up submission's tag().
    void cancelled(quintptr tag, const QString& printer, int jobId, bool confirmed);
};

}  // namespace hg
