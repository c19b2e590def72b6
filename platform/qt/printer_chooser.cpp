#include "platform/qt/printer_chooser.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "platform/qt/message_box.h"
#include "platform/qt/print_document.h"
#include "platform/qt/print_preview.h"

namespace hg {

namespace {

// The printer chosen in this run, kept while the program runs.
QString& chosenPrinter() {
    static QString name;
    return name;
}

}  // namespace

QString sendFailureText(const QString& printer, const SendOutcome& outcome) {
    switch (outcome.result) {
        case SendResult::Printed:
        case SendResult::Queued:
        case SendResult::Cancelled:
            return {};
        case SendResult::Refused:
            return QStringLiteral("プリンタ「%1」に印刷できません: %2")
                .arg(printer, outcome.reason);
        case SendResult::TimedOut:
            return QStringLiteral(
                       "プリンタ「%1」に印刷できません: %2。ジョブは印刷サーバーが応答したときに"
                       "取り消します（取り消せなかったときは印刷されることがあります）。")
                .arg(printer, outcome.reason);
        case SendResult::Held:
            return QStringLiteral("プリンタ「%1」のジョブ %2 は保留されています: %3")
                .arg(printer)
                .arg(outcome.jobId)
                .arg(outcome.reason);
        case SendResult::Failed:
            return QStringLiteral("プリンタ「%1」のジョブ %2 は印刷されませんでした: %3")
                .arg(printer)
                .arg(outcome.jobId)
                .arg(outcome.reason);
    }
    return {};
}

PrinterChooser::PrinterChooser(QWidget* parent)
    : QWidget(parent), service_(systemPrintService()), listLimit_(kPrinterListLimit) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    Label = new QLabel(QStringLiteral("プリンタ:"), this);
    Combo = new QComboBox(this);
    Combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Refresh = new QPushButton(QStringLiteral("更新"), this);
    Status = new QLabel(this);
    Abort = new QPushButton(QStringLiteral("中止"), this);
    for (QPushButton* b : {Refresh, Abort}) {
        b->setAutoDefault(false);
        b->setMaximumWidth(48);
    }
    Status->hide();
    Abort->hide();
    row->addWidget(Label);
    row->addWidget(Combo, 1);
    row->addWidget(Status, 1);
    row->addWidget(Refresh);
    row->addWidget(Abort);
    connect(Combo, &QComboBox::activated, this, &PrinterChooser::choose);
    connect(Refresh, &QPushButton::clicked, this, &PrinterChooser::refresh);
    connect(Abort, &QPushButton::clicked, this, &PrinterChooser::abort);
    connect(LateCancels::instance(), &LateCancels::cancelled, this, &PrinterChooser::lateCancel);
    confirmSend = [this](const QString& question) {
        return QMessageBox::question(this, window()->windowTitle(), question) == QMessageBox::Yes;
    };
    reportError = [this](const QString& message) { showMessage(this, message); };
}

void PrinterChooser::setService(std::shared_ptr<PrintService> service,
                                std::chrono::milliseconds listLimit,
                                PrintSubmission::Limits jobLimits) {
    service_ = std::move(service);
    listLimit_ = listLimit;
    jobLimits_ = jobLimits;
    // A list still coming from the former service is of no use.
    if (fetch_) {
        fetch_->disconnect(this);
        fetch_->deleteLater();
        fetch_ = nullptr;
    }
}

void PrinterChooser::refresh() {
    if (fetch_) return;
    Combo->clear();
    Combo->addItem(QStringLiteral("確認中…"));
    Combo->setEnabled(false);
    Refresh->setEnabled(false);
    fetch_ = new PrinterListFetch(service_, listLimit_, this);
    connect(fetch_, &PrinterListFetch::finished, this, [this](const PrinterList& list) {
        fetch_->deleteLater();
        fetch_ = nullptr;
        fill(list);
    });
}

void PrinterChooser::fill(const PrinterList& list) {
    list_ = list;
    Combo->clear();
    Refresh->setEnabled(true);
    if (list_.printers.empty()) {
        Combo->addItem(list_.error.isEmpty() ? QStringLiteral("プリンタがありません")
                                             : list_.error);
        Combo->setEnabled(false);
    } else {
        const std::optional<PrinterInfo> current = chosen();
        for (const PrinterInfo& p : list_.printers) {
            Combo->addItem(QStringLiteral("%1（%2）").arg(p.name, printerStateText(p.state)),
                           p.name);
            if (current && p.name == current->name) Combo->setCurrentIndex(Combo->count() - 1);
        }
        Combo->setEnabled(true);
    }
    emit listChanged();
    if (pending_) {
        const auto action = std::move(pending_);
        showBusy({});
        (*action)();
    }
}

void PrinterChooser::choose(int index) {
    if (index >= 0 && index < static_cast<int>(list_.printers.size()))
        chosenPrinter() = list_.printers[static_cast<std::size_t>(index)].name;
}

QString PrinterChooser::chosenName() {
    return chosenPrinter();
}

void PrinterChooser::chooseByName(const QString& name) {
    chosenPrinter() = name;
}

std::optional<PrinterInfo> PrinterChooser::chosen() const {
    if (list_.printers.empty()) return {};
    for (const PrinterInfo& p : list_.printers)
        if (p.name == chosenPrinter()) return p;
    return list_.printers.front();  // the system's default comes first
}

void PrinterChooser::showBusy(const QString& status) {
    const bool busy = !status.isEmpty();
    Status->setText(status);
    Status->setVisible(busy);
    Abort->setVisible(busy);
    Combo->setVisible(!busy);
    Refresh->setVisible(!busy);
    emit busyChanged(busy);
}

void PrinterChooser::whenListed(std::function<void()> action) {
    if (!fetch_) return action();
    pending_ = std::make_unique<std::function<void()>>(std::move(action));
    showBusy(QStringLiteral("プリンタを確認中…"));
}

std::optional<QString> PrinterChooser::printerForJob() {
    const std::optional<PrinterInfo> printer = chosen();
    if (!printer) {
        if (!listError().isEmpty())
            reportError(QStringLiteral("印刷できません: %1").arg(listError()));
        else
            reportError(
                QStringLiteral("プリンタが見つかりません。プリンタを設定するか、"
                               "「PDFファイルに出力」を選んでください。"));
        return {};
    }
    if (!readyForJobs(printer->state)) {
        const QString question = QStringLiteral("プリンタ「%1」は%2です。印刷ジョブを送りますか？")
                                     .arg(printer->name, printerStateText(printer->state));
        if (confirmSend && !confirmSend(question)) return {};
    }
    return printer->name;
}

void PrinterChooser::submit(PrintJob job, std::function<void(const SendOutcome&)> done) {
    const QString printer = job.printer;
    submission_ = new PrintSubmission(service_, std::move(job), jobLimits_, this);
    showBusy(QStringLiteral("送信中…"));
    connect(submission_, &PrintSubmission::accepted, this, [this](int jobId) {
        Status->setText(QStringLiteral("印刷中…（ジョブ %1）").arg(jobId));
    });
    connect(
        submission_, &PrintSubmission::finished, this,
        [this, printer, done](const SendOutcome& outcome) {
            if (outcome.result == SendResult::TimedOut || outcome.result == SendResult::Cancelled)
                givenUp_.insert(submission_->tag());
            submission_->deleteLater();
            submission_ = nullptr;
            showBusy({});
            if (const QString why = sendFailureText(printer, outcome); !why.isEmpty())
                reportError(why);
            if (done) done(outcome);
        });
}

void PrinterChooser::send(PrintJob job, std::function<void(const SendOutcome&)> done) {
    whenListed([this, job = std::move(job), done = std::move(done)]() mutable {
        const std::optional<QString> printer = printerForJob();
        if (!printer) return;
        job.printer = *printer;
        submit(std::move(job), std::move(done));
    });
}

void PrinterChooser::sendDocument(const PrintDocument& sheet) {
    if (!isBusy()) send(PrintJob{{}, sheet.title(), sheet.pdf(), sheet.page()}, {});
}

void PrinterChooser::preview(std::shared_ptr<const PrintDocument> sheet) {
    auto* dialog = new PrintPreview(sheet->pdf(), sheet->title(), window());
    connect(dialog, &PrintPreview::printRequested, this, [this, sheet] { sendDocument(*sheet); });
    dialog->show();
}

void PrinterChooser::abort() {
    if (pending_) {
        pending_.reset();
        showBusy({});
    } else if (submission_) {
        submission_->abort();
    }
}

void PrinterChooser::lateCancel(quintptr tag, const QString& printer, int jobId, bool confirmed) {
    if (givenUp_.erase(tag) == 0 || confirmed) return;
    cancelFailed_ = true;
    reportError(QStringLiteral("プリンタ「%1」のジョブ %2 を取り消せませんでした。"
                               "印刷されることがあります。")
                    .arg(printer)
                    .arg(jobId));
}

}  // namespace hg
