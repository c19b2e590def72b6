#include "ui/spectrum_window.h"

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "analysis/harmdim.h"
#include "datafile/record_format.h"
#include "graph/graph_view.h"
#include "platform/csv_text.h"
#include "platform/output.h"
#include "platform/qt/csv_save_dialog.h"
#include "platform/qt/message_box.h"
#include "platform/qt/picture_file.h"
#include "platform/qt/printer_chooser.h"
#include "platform/qt/qpainter_canvas.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/save_file_dialog.h"

namespace hg {

SpectrumPicture::SpectrumPicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumSize(200, 200);
}

void SpectrumPicture::setImage(QImage image) {
    image_ = std::move(image);
    update();
}

void SpectrumPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!image_.isNull()) painter.drawImage(0, 0, image_);
}

void SpectrumPicture::mouseMoveEvent(QMouseEvent* event) {
    emit hovered(event->position().toPoint());
}

void SpectrumPicture::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) emit wheelTurned(event->position().toPoint(), steps);
    event->accept();
}

void SpectrumPicture::resizeEvent(QResizeEvent*) {
    emit resized();
}

SpectrumWindow::SpectrumWindow(std::shared_ptr<const HARMDIM> analysis, QMdiArea* area)
    : analysis_(std::move(analysis)) {
    setWindowTitle(u"スペクトル"_qs);
    Picture1 = new SpectrumPicture(this);
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    Label1 = new QLabel(this);
    Command1 = new QPushButton(u"ｺﾋﾟｰ"_qs, this);
    Command2 = new QPushButton(u"印刷"_qs, this);
    Command3 = new QPushButton(u"PDF保存"_qs, this);
    Command4 = new QPushButton(u"印刷プレビュー"_qs, this);
    Command5 = new QPushButton(u"CSV保存"_qs, this);
    Combo1 = new QComboBox(this);
    for (SpectrumStatistic s :
         {SpectrumStatistic::Instant, SpectrumStatistic::P95, SpectrumStatistic::Max})
        Combo1->addItem(QString::fromUtf8(spectrumStatisticText(s)), static_cast<int>(s));
    Printer = new PrinterChooser(this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(Picture1, 0, 0, 1, 7);
    grid->addWidget(HScroll1, 1, 0, 1, 7);
    grid->addWidget(Label1, 2, 0);
    grid->addWidget(Combo1, 2, 1);
    grid->addWidget(Command1, 2, 2);
    grid->addWidget(Command2, 2, 3);
    grid->addWidget(Command4, 2, 4);
    grid->addWidget(Command3, 2, 5);
    grid->addWidget(Command5, 2, 6);
    grid->addWidget(Printer, 3, 0, 1, 7);
    grid->setColumnStretch(0, 1);
    connect(Combo1, &QComboBox::activated, this, [this](int i) {
        chooseStatistic(static_cast<SpectrumStatistic>(Combo1->itemData(i).toInt()));
    });
    connect(Command5, &QPushButton::clicked, this, &SpectrumWindow::saveCsv);
    connect(Picture1, &SpectrumPicture::hovered, this, &SpectrumWindow::hovered);
    connect(Picture1, &SpectrumPicture::resized, this, &SpectrumWindow::redraw);
    connect(Picture1, &SpectrumPicture::wheelTurned, this, [this](QPoint at, int steps) {
        // Around the column under the pointer, else around the middle of the orders shown.
        int around = (shown_.first + shown_.last) / 2;
        for (const SpectrumBar& b : drawing_.bars)
            if (at.x() >= b.left && at.x() < b.right) around = positionOf(b.order);
        zoomOrders(around, steps);
    });
    connect(HScroll1, &QScrollBar::valueChanged, this, &SpectrumWindow::scrolled);
    connect(Command1, &QPushButton::clicked, this, &SpectrumWindow::copyPicture);
    connect(Command2, &QPushButton::clicked, this, &SpectrumWindow::printPicture);
    connect(Command3, &QPushButton::clicked, this, &SpectrumWindow::savePdf);
    connect(Command4, &QPushButton::clicked, this, &SpectrumWindow::preview);
    connect(Printer, &PrinterChooser::busyChanged, this, [this](bool busy) {
        Command2->setEnabled(!busy);
        Command4->setEnabled(!busy);
    });
    QMdiSubWindow* frame = area->addSubWindow(this);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowTitle(windowTitle());
    frame->resize(720, 560);
    frame->show();
    area->setActiveSubWindow(frame);
    Printer->refresh();  // the printers and their states, asked off the window thread
}

QMdiSubWindow* SpectrumWindow::subWindow() const {
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

void SpectrumWindow::showView(const GraphView& view) {
    const RecordSpan records = recordsIn(*analysis_, view.shownRange());
    const int32_t rec = view.cursor().value_or(std::max(records.first, 0));
    const LimitSet* set = view.limitSet();
    const bool sameLimits = set ? limits_ && limits_->name == set->name : !limits_;
    if (records.first != records_.first || records.last != records_.last || !sameLimits ||
        view.contractKw() != contractKw_)
        statisticHeld_ = false;
    records_ = records;
    limits_ = set ? std::optional<LimitSet>(*set) : std::nullopt;
    contractKw_ = view.contractKw();
    showRecord(rec, view.selection().channel());
}

void SpectrumWindow::showRecord(int32_t record, int channel) {
    if (placedRecords(*analysis_) <= 0) return;
    record_ = std::clamp(record, 0, placedRecords(*analysis_) - 1);
    if (channel != channel_) statisticHeld_ = false;
    channel_ = channel;
    compute();
}

void SpectrumWindow::chooseStatistic(SpectrumStatistic statistic) {
    if (statistic == statistic_) return;
    statistic_ = statistic;
    statisticHeld_ = false;
    Combo1->setCurrentIndex(Combo1->findData(static_cast<int>(statistic)));
    compute();
}

// The record's spectrum follows the cursor; a statistic is computed again only when the range,
// channel or limit set changed (the cursor does not change it).
void SpectrumWindow::compute() {
    // Currents that could not be read back are told once, not shown as zeros.
    if (const std::string& failed = analysis_->currentsFailure(); !failed.empty()) {
        spectrum_ = {};
        if (!failureTold_) showMessage(this, QString::fromStdString(failed));
        failureTold_ = true;
        redraw();
        return;
    }
    const bool first = spectrum_.orders.empty();
    if (statistic_ == SpectrumStatistic::Instant) {
        spectrum_ = spectrumAt(*analysis_, record_, channel_);
    } else if (!statisticHeld_) {
        const RecordSpan records =
            records_.empty() ? RecordSpan{0, placedRecords(*analysis_) - 1} : records_;
        spectrum_ = spectrumOver(*analysis_, records, channel_, statistic_);
        statisticHeld_ = true;
    } else {
        return;
    }
    if (limits_) applySpectrumLimits(spectrum_, *analysis_, *limits_, contractKw_);
    if (first) shown_ = {1, lastPosition()};
    syncScroll();
    redraw();
}

int SpectrumWindow::positionOf(int order) const {
    const auto& orders = spectrum_.orders;
    for (std::size_t i = 1; i < orders.size(); ++i)
        if (orders[i].order == order) return static_cast<int>(i);
    return shown_.first;
}

int SpectrumWindow::lastPosition() const {
    return std::max(1, static_cast<int>(spectrum_.orders.size()) - 1);
}

void SpectrumWindow::zoomOrders(int around, int steps) {
    const SpectrumShown zoomed = zoomedOrders(shown_, lastPosition(), around, steps);
    if (zoomed.first == shown_.first && zoomed.last == shown_.last) return;
    shown_ = zoomed;
    syncScroll();
    redraw();
}

void SpectrumWindow::scrolled(int value) {
    const int count = shown_.last - shown_.first + 1;
    shown_ = {value, value + count - 1};
    redraw();
}

void SpectrumWindow::syncScroll() {
    const QSignalBlocker block(HScroll1);
    const int count = shown_.last - shown_.first + 1;
    HScroll1->setRange(1, std::max(1, lastPosition() - count + 1));
    HScroll1->setPageStep(count);
    HScroll1->setValue(shown_.first);
    HScroll1->setEnabled(count < lastPosition());
}

void SpectrumWindow::redraw() {
    if (spectrum_.orders.empty()) return;
    QImage image = whitePicture(Picture1->size(), Picture1->devicePixelRatioF());
    if (image.isNull()) return;
    {
        QPainterCanvas canvas(image, RoundLines::Filled);
        drawing_ = composeSpectrum(canvas, spectrum_, shown_);
        canvas.finish();
    }
    Picture1->setImage(std::move(image));
}

void SpectrumWindow::hovered(QPoint at) {
    const auto bar = barAt(drawing_, at.x(), at.y());
    Label1->setText(bar ? toQString(barText(*bar)) : QString());
}

void SpectrumWindow::copyPicture() {
    if (!Picture1->image().isNull()) QGuiApplication::clipboard()->setImage(Picture1->image());
}

std::unique_ptr<PrintDocument> SpectrumWindow::printedSheet() const {
    if (spectrum_.orders.empty()) return nullptr;
    const QString title =
        u"harmograph – "_qs + toQString(baseName(analysis_->FilePath)) + u" スペクトル"_qs;
    // The charts laid out as on the screen, the picture's size spread over the printable page.
    const QSize shown = Picture1->size();
    return drawSheetDocument(PageSetup{Paper::A4, true}, title, 1, [&](Canvas& canvas, int) {
        canvas.setScale(shown.width(), shown.height());
        composeSpectrum(canvas, spectrum_, shown_);
    });
}

void SpectrumWindow::printPicture() {
    const std::unique_ptr<PrintDocument> sheet = printedSheet();
    if (!sheet) return;
    Printer->sendDocument(*sheet);
}

void SpectrumWindow::preview() {
    const std::shared_ptr<PrintDocument> sheet = printedSheet();
    if (!sheet) return;
    Printer->preview(sheet);
}

// The spectrum shown as CSV, one line per order, in the code page chosen with the file type.
void SpectrumWindow::saveCsv() {
    if (spectrum_.orders.empty()) return;
    const std::optional<CsvTarget> chosen =
        askCsvFileName ? askCsvFileName() : askCsvTarget(this, u"CSV保存"_qs);
    if (!chosen) return;
    const std::string target = QFile::encodeName(chosen->path).toStdString();
    Status saved = checkOutputTarget(target, analysis_->FilePath);
    if (saved) saved = writeCsvFile(target, spectrumCsv(spectrum_), chosen->encoding);
    if (!saved) showMessage(this, u"CSVを保存できませんでした: "_qs + toQString(saved.error()));
}

void SpectrumWindow::savePdf() {
    if (spectrum_.orders.empty()) return;
    const QString path =
        askPdfFileName ? askPdfFileName() : askSaveFileName(this, u"PDF保存"_qs, u"PDF (*.pdf)"_qs);
    if (path.isEmpty()) return;
    const PictureOutcome result =
        writePicture(path, PictureForm::Pdf, Picture1->width(), Picture1->height(), windowTitle(),
                     [this](Canvas& canvas) {
                         composeSpectrum(canvas, spectrum_, shown_);
                         return true;
                     });
    if (result.result != PictureResult::Written)
        showMessage(this, u"PDFを保存できませんでした: "_qs + path + u"\n"_qs +
                              QString::fromStdString(result.cause));
}

}  // namespace hg
