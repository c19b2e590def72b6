#include "platform/qt/printer_chooser.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

namespace hg {

namespace {

// The printer chosen in this run, kept while the program runs.
QString& chosenPrinter() {
    static QString name;
    return name;
}

}  // namespace

PrinterChooser::PrinterChooser(QWidget* parent)
    : QWidget(parent), service_(systemPrintService()), limit_(kPrinterListLimit) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    Label = new QLabel(QStringLiteral("プリンタ:"), this);
    Combo = new QComboBox(this);
    Combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    row->addWidget(Label);
    row->addWidget(Combo, 1);
    connect(Combo, &QComboBox::activated, this, &PrinterChooser::choose);
}

void PrinterChooser::setService(std::shared_ptr<PrintService> service,
                                std::chrono::milliseconds limit) {
    service_ = std::move(service);
    limit_ = limit;
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
    fetch_ = new PrinterListFetch(service_, limit_, this);
    connect(fetch_, &PrinterListFetch::finished, this, [this](const PrinterList& list) {
        fetch_->deleteLater();
        fetch_ = nullptr;
        fill(list);
    });
}

void PrinterChooser::waitForList() {
    if (fetch_) fetch_->waitForFinished();
}

void PrinterChooser::fill(const PrinterList& list) {
    list_ = list;
    Combo->clear();
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

}  // namespace hg
