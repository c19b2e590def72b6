// The printer row of the windows that print (the print dialog, the spectrum and the compliance
// windows): which printer jobs go to, with its state, the other queues of the system to choose
// from (its default first) and 更新 to ask again; while a job is being sent, what it is doing
// and 中止. The list is fetched and every job sent off the window thread, so the window stays
// usable whatever the print server does; the choice is kept for the rest of the run.
#pragma once

#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>

#include "platform/qt/print_service.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace hg {

class PrintDocument;

class PrinterChooser : public QWidget {
    Q_OBJECT

  public:
    explicit PrinterChooser(QWidget* parent = nullptr);

    void setService(std::shared_ptr<PrintService> service, std::chrono::milliseconds listLimit,
                    PrintSubmission::Limits jobLimits = {});
    const std::shared_ptr<PrintService>& service() const { return service_; }
    // Asks the print server again for its printers and their states; returns at once.
    void refresh();
    bool isFetching() const { return fetch_ != nullptr; }

    // The printer jobs go to: the one chosen in this run while the system offers it, else the
    // system's default, else the first; nothing when there is none (or no answer).
    std::optional<PrinterInfo> chosen() const;
    // The name of the printer chosen in this run (empty: none chosen), and choosing one by name
    // (a choice remembered from an earlier run), used while the system offers it.
    static QString chosenName();
    static void chooseByName(const QString& name);
    // Why there is no list: the server's error, "印刷サーバーが応答しません", or empty.
    const QString& listError() const { return list_.error; }

    // Runs `action` at once when the list is known, else when it has come (meanwhile the row
    // says so, and 中止 drops the action); returns at once.
    void whenListed(std::function<void()> action);
    // The printer a job goes to now, after asking when it is not ready; nothing after telling
    // why (no printer, no answer) or when the user keeps the job back.
    std::optional<QString> printerForJob();
    // Sends the job to its printer and follows it; `done` gets the outcome on the window thread
    // after a failure was told. Returns at once; the row shows the job's progress and 中止.
    void submit(PrintJob job, std::function<void(const SendOutcome&)> done);
    // All three in turn: the list, the printer, the job.
    void send(PrintJob job, std::function<void(const SendOutcome&)> done);
    // A finished document sent that way, unless a job is being sent already.
    void sendDocument(const PrintDocument& sheet);
    // Opens the print preview of a finished document (without blocking); its 印刷 sends it.
    void preview(std::shared_ptr<const PrintDocument> sheet);
    // Waiting for the list with an action, or sending a job.
    bool isBusy() const { return pending_ != nullptr || submission_ != nullptr; }
    // Drops the action waiting for the list, or gives up the job being sent (cancelled as soon
    // as the server answers).
    void abort();
    // Whether a job given up earlier may still print: its cancel is not confirmed yet, or failed.
    bool mayStillPrint() const { return !givenUp_.empty() || cancelFailed_; }
    void forgetEarlierJobs() { cancelFailed_ = false; }

    // Asked before a job goes to a printer that is stopped, rejects jobs or is offline
    // (default: a question box); false keeps the job back.
    std::function<bool(const QString&)> confirmSend;
    // Tells a failure (default: showMessage).
    std::function<void(const QString&)> reportError;

    QLabel* Label = nullptr;
    QComboBox* Combo = nullptr;
    QPushButton* Refresh = nullptr;  // "更新"
    QLabel* Status = nullptr;        // "確認中…", "送信中…", "印刷中…" while busy
    QPushButton* Abort = nullptr;    // "中止"

  signals:
    void listChanged();
    void busyChanged(bool busy);

  private:
    void fill(const PrinterList& list);
    void choose(int index);
    void showBusy(const QString& status);
    void lateCancel(quintptr tag, const QString& printer, int jobId, bool confirmed);

    std::shared_ptr<PrintService> service_;
    std::chrono::milliseconds listLimit_;
    PrintSubmission::Limits jobLimits_;
    PrinterList list_;
    PrinterListFetch* fetch_ = nullptr;
    std::unique_ptr<std::function<void()>> pending_;
    PrintSubmission* submission_ = nullptr;
    std::set<quintptr> givenUp_;
    bool cancelFailed_ = false;
};

// What a failed job's message says: the printer, what came of the job and why.
QString sendFailureText(const QString& printer, const SendOutcome& outcome);

}  // namespace hg
