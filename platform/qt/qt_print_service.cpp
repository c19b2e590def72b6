#include "platform/qt/qt_print_service.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfDocument>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/qt/print_document.h"

namespace hg {

namespace {

// Pages reach the printer as pictures of this resolution at most (or the printer's own, if lower).
constexpr int kRenderDpi = 300;

PrinterState stateOf(const QPrinterInfo& info) {
    switch (info.state()) {
        case QPrinter::Idle:
            return PrinterState::Idle;
        case QPrinter::Active:
            return PrinterState::Printing;
        case QPrinter::Aborted:
            return PrinterState::Stopped;
        case QPrinter::Error:
            return PrinterState::Offline;
    }
    return PrinterState::Idle;
}

// The printer's page for the job: its paper in its orientation, the whole sheet, no margins of
// its own (the sheet has its margins drawn in).
QPageLayout pageFor(const PageSetup& page) {
    return QPageLayout(pageSizeOf(page.paper),
                       page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF());
}

// Page `page` as an opaque picture at `dpi` (what the PDF leaves blank is the paper's white).
QImage pagePicture(QPdfDocument& document, int page, int dpi) {
    const QSize size = (document.pagePointSize(page) * dpi / 72.0).toSize();
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter(&picture).drawImage(0, 0, document.render(page, size));
    return picture;
}

// Draws every page of `document` on the printer; false with the reason when Qt reports a failure.
bool drawPages(QPdfDocument& document, const PageSetup& page, QPrinter& printer, QString& reason) {
    printer.setFullPage(true);
    printer.setPageLayout(pageFor(page));
    QPainter painter;
    if (!painter.begin(&printer)) {
        reason = QStringLiteral("Qt が印刷を始められませんでした");
        return false;
    }
    for (int n = 0; n < document.pageCount(); ++n) {
        if (n > 0) printer.newPage();
        const QImage picture = pagePicture(document, n, std::min(kRenderDpi, printer.resolution()));
        painter.drawImage(
            QRectF(QPointF(0, 0), printer.pageLayout().fullRectPixels(printer.resolution()).size()),
            picture);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error ||
        printer.printerState() == QPrinter::Aborted) {
        reason = QStringLiteral("Qt が印刷ジョブを終えられませんでした");
        return false;
    }
    return true;
}

}  // namespace

PrinterList QtPrintService::printers() {
    PrinterList list;
    const QString defaultName = QPrinterInfo::defaultPrinterName();
    for (const QPrinterInfo& p : QPrinterInfo::availablePrinters()) {
        PrinterInfo info{p.printerName(), stateOf(p), p.printerName() == defaultName};
        if (info.isDefault)
            list.printers.insert(list.printers.begin(), info);
        else
            list.printers.push_back(info);
    }
    return list;
}

void QtPrintService::direct(QPrinter& printer, const QString& name) {
    printer.setPrinterName(name);
}

SubmitResult QtPrintService::submit(const PrintJob& job) {
    SubmitResult r;
    QByteArray bytes = job.pdf;
    QBuffer source(&bytes);
    source.open(QIODevice::ReadOnly);
    QPdfDocument document;
    document.load(&source);
    if (document.status() != QPdfDocument::Status::Ready || document.pageCount() < 1) {
        r.reason = QStringLiteral("印刷する用紙を読めません（QPdfDocument: %1）")
                       .arg(static_cast<int>(document.error()));
        return r;
    }
    QPrinter printer(QPrinter::HighResolution);
    direct(printer, job.printer);
    if (!printer.isValid()) {
        r.reason = QStringLiteral("Qt がこのプリンタを使えません");
        return r;
    }
    printer.setDocName(job.title);
    printer.setCreator(QStringLiteral("harmograph"));
    r.accepted = drawPages(document, job.page, printer, r.reason);
    return r;
}

JobStatus QtPrintService::jobStatus(const QString&, int) {
    return {JobState::Completed, {}};
}

bool QtPrintService::cancel(const QString&, int) {
    return false;
}

std::shared_ptr<PrintService> systemPrintService() {
    static const std::shared_ptr<PrintService> service = std::make_shared<QtPrintService>();
    return service;
}

}  // namespace hg
