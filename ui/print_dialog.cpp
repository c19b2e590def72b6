#include "ui/print_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <vector>

#include "analysis/harmdim.h"
#include "platform/qt/printer_chooser.h"
#include "platform/qt/qpainter_canvas.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/save_file_dialog.h"
#include "platform/qt/sheet_document.h"
#include "platform/qt/wait_cursor.h"
#include "print/job_title.h"

namespace hg {

namespace {

// Twips of the dialog's design to pixels (15 twips a pixel at 96 dpi).
constexpr int px(int twips) {
    return twips / 15;
}
QRect twipRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

constexpr int kCaptionColumnChars = 12;  // the longest caption one line of a box holds
constexpr int kFrame1Left = 1920;
constexpr int kFrame1Top = 120;
constexpr int kBoxLeft = 2040;
constexpr int kExtraWidth = 36;        // pixels
constexpr int kPrinterRowHeight = 30;  // pixels

QFont designFont(std::string_view name, double points) {
    QFont f(toQString(name));
    f.setPointSizeF(points);
    return f;
}

void fillBackground(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::Button, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

}  // namespace

PrintDialog::PrintDialog(QWidget* parent) : QDialog(parent) {
    installJapaneseFontSubstitutions();
    setWindowTitle(QStringLiteral("印刷設定"));
    setModal(true);
    // The design's 4545 x 5820 twips, a little wider so the item names fit in IPA Gothic and a
    // little taller for the PDF choice under the frames.
    setFixedSize(px(4545) + kExtraWidth, px(5820) + 14 + kPrinterRowHeight);
    fillBackground(this, QColor(0, 255, 0));

    const auto button = [this](const char* caption, QRect geometry) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setGeometry(geometry);
        b->setAutoDefault(false);
        return b;
    };
    Command1 = button("ｷｬﾝｾﾙ", twipRect(360, 240, 1035, 375));
    Command2 = button("1枚印刷", twipRect(360, 720, 1035, 375));
    Command3 = button("ｾｯﾄ印刷", twipRect(360, 1200, 1035, 375));
    Command5 = button("1/3印刷", twipRect(360, 1680, 1035, 375));
    Command6 = button("排出", twipRect(360, 2160, 1035, 375));
    Command6->hide();

    Check2 = new QCheckBox(QStringLiteral("白黒印刷"), this);
    Check2->setGeometry(twipRect(240, 2880, 1335, 315));

    Command4 = button("ﾌﾟﾘﾝﾀ設定", twipRect(240, 3540, 1215, 375));
    Command4->setFont(designFont(kProportionalGothicFont, 12));

    Frame2 = new QGroupBox(QStringLiteral("用紙方向"), this);
    Frame2->setGeometry(twipRect(120, 4080, 1455, 555));
    Option1[0] = new QRadioButton(QStringLiteral("縦"), Frame2);
    Option1[0]->setGeometry(twipRect(120, 180, 615, 315));
    Option1[1] = new QRadioButton(QStringLiteral("横"), Frame2);
    Option1[1]->setGeometry(twipRect(840, 180, 495, 315));
    auto* orientationGroup = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        orientationGroup->addButton(Option1[static_cast<std::size_t>(i)], i);
        connect(Option1[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { Option1_Click(i); });
    }

    buildRangeChoice();

    CheckPdf = new QCheckBox(QStringLiteral("PDFファイルに出力"), this);
    CheckPdf->setGeometry(8, px(5820) - 16, px(4545), 22);
    Printer = new PrinterChooser(this);
    Printer->setGeometry(8, px(5820) + 10, px(4545) + kExtraWidth - 16, 26);
    printer_.setPageSize(QPageSize(QPageSize::A4));

    buildItemBoxes();
    for (int code : {kVoltageDistortion, kCurrent, kPhaseDifference})
        Check1[static_cast<std::size_t>(code - 1)]->setChecked(true);

    updateThirdControls();
    applyAvailability();
    Option1[static_cast<std::size_t>(orientation_ - 1)]->setChecked(true);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });

    askPdfFileName = [this] {
        return askSaveFileName(this, QStringLiteral("PDFファイルに出力"),
                               QStringLiteral("PDF (*.pdf)"));
    };
    runPageSetup = [this](QPrinter& printer) {
        QPageSetupDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    reportError = [this](const QString& message) {
        QMessageBox::warning(this, QStringLiteral("印刷設定"), message);
    };
    confirmSend = [this](const QString& question) {
        return QMessageBox::question(this, QStringLiteral("印刷設定"), question) ==
               QMessageBox::Yes;
    };
}

// Frame1: the item boxes of the set print.
void PrintDialog::buildItemBoxes() {
    Frame1 = new QGroupBox(QStringLiteral("ｾｯﾄ印刷設定"), this);
    Frame1->setGeometry(px(kFrame1Left), px(kFrame1Top), px(2535) + kExtraWidth, px(5355));
    Frame1->setFont(designFont(kGothicFont, 12));
    fillBackground(Frame1, QColor(0, 255, 255));

    // Creation, in order: the block geometry lives in the page code (2000 x 500); captions;
    // the eject button and the third print's caption; availability; the orientation option.
    for (int i = 0; i < kItemSlots; ++i) {
        auto* box = new QCheckBox(Frame1);
        const ItemInfo* item = itemInfo(i + 1);
        const int top = item ? item->printBoxTop : 0;
        const QString caption = toQString(setPrintCaption(i));
        if (caption.size() > kCaptionColumnChars) {
            // Two lines: the caption is too long for the column; the unit goes below.
            box->setText(
                QString(caption).insert(caption.lastIndexOf(QLatin1Char('(')), QLatin1Char('\n')));
            box->setGeometry(px(kBoxLeft - kFrame1Left), px(top - kFrame1Top),
                             px(2235) + kExtraWidth, px(450));
        } else {
            box->setText(caption);
            box->setGeometry(px(kBoxLeft - kFrame1Left), px(top - kFrame1Top),
                             px(2055) + kExtraWidth, px(270));
        }
        if (top == 0 || caption.isEmpty()) {  // an item without a box on the set print
            box->hide();
            box->setEnabled(false);
        }
        connect(box, &QCheckBox::clicked, this, [this, i] { Check1_Click(i); });
        Check1[static_cast<std::size_t>(i)] = box;
    }
}

// Frame3: the whole period, or what a zoomed graph window shows.
void PrintDialog::buildRangeChoice() {
    Frame3 = new QGroupBox(QStringLiteral("印刷範囲"), this);
    Frame3->setGeometry(twipRect(120, 4680, 1455, 810));
    Option2[0] = new QRadioButton(QStringLiteral("表示範囲"), Frame3);
    Option2[0]->setGeometry(twipRect(120, 210, 1215, 270));
    Option2[1] = new QRadioButton(QStringLiteral("全期間"), Frame3);
    Option2[1]->setGeometry(twipRect(120, 480, 1215, 270));
    auto* rangeGroup = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        rangeGroup->addButton(Option2[static_cast<std::size_t>(i)], i);
        connect(Option2[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { Option2_Click(i); });
    }
}

void PrintDialog::setPrintService(std::shared_ptr<PrintService> service,
                                  std::chrono::milliseconds listLimit,
                                  std::chrono::milliseconds submitLimit) {
    Printer->setService(std::move(service), listLimit);
    submitLimit_ = submitLimit;
}

void PrintDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The printers and their states as they are now, asked without holding up the window.
    Printer->refresh();
}

PrintDialog::~PrintDialog() {
    // The program is ending: a thirds sheet in progress is printed as it is, and a failure can
    // no longer be shown in a box.
    reportError = [](const QString& message) { qWarning("%s", qPrintable(message)); };
    ejectOpenSheet();
}

int PrintDialog::openFor(const std::shared_ptr<const HARMDIM>& analysis, const GraphView& view) {
    setSource(analysis, printSourceOf(*analysis, view), view.selection().setPrintEnabled());
    return exec();
}

void PrintDialog::setSource(const std::shared_ptr<const HARMDIM>& analysis,
                            const PrintSource& source, bool setPrintOffered) {
    analysis_ = analysis;
    source_ = source;
    Command3->setEnabled(setPrintOffered);
    // The whole period unless the user asks for what the zoomed window shows.
    shownRange_ = source.range;
    source_.range.reset();
    Option2[0]->setEnabled(shownRange_.has_value());
    Option2[1]->setChecked(true);
    // The file may have changed since the dialog was made: its kind decides again.
    applyAvailability();
}

void PrintDialog::ejectOpenSheet() {
    if (!thirdSheet_) return;
    if (thirdUnsent_) {
        fail(QStringLiteral("1/3印刷の用紙は印刷されていません。"));
        return;
    }
    finishThirdSheet();
    if (!thirdSheet_) ThirdCount = 0;
    updateThirdControls();
}

void PrintDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // The brace joining the set print button to its settings.
    QPainter p(this);
    p.setPen(Qt::black);
    const QPoint top(px(1800), px(240)), bottom(px(1800), px(5280)), tip(px(1560), px(1380));
    const int x = px(1680), bend = 8;
    const QPoint pts[] = {top,   {x, top.y() + bend}, {x, tip.y() - bend},
                          tip,   {x, tip.y() + bend}, {x, bottom.y() - bend},
                          bottom};
    p.drawPolyline(pts, 7);
}

void PrintDialog::applyAvailability() {
    for (int i = 0; i < kItemSlots; ++i) {
        QCheckBox* box = Check1[static_cast<std::size_t>(i)];
        const bool available = setPrintAvailable(static_cast<int16_t>(i + 1), source_.filePath);
        box->setEnabled(available);
        if (!available) box->setChecked(false);
    }
}

void PrintDialog::updateThirdControls() {
    // A finished sheet that its printer did not take can only be sent again ("排出").
    Command5->setEnabled(!thirdUnsent_);
    Command6->setVisible(ThirdCount >= 1 || thirdUnsent_);
    Command5->setText(QStringLiteral(" %1/3印刷").arg(ThirdCount + 1));
}

void PrintDialog::applyOrientation(QPrinter& printer) const {
    printer.setPageOrientation(orientation_ == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void PrintDialog::fail(const QString& message) {
    if (reportError) reportError(message);
}

std::optional<PrintDialog::SheetTarget> PrintDialog::chooseTarget() {
    if (CheckPdf->isChecked()) {
        const QString name = askPdfFileName ? askPdfFileName() : QString();
        if (name.isEmpty()) return {};  // the file choice was cancelled
        // A file that can never be written is refused before anything is drawn.
        const QFileInfo folder(QFileInfo(name).absolutePath());
        const auto target = checkOutputTarget(QFile::encodeName(name).toStdString(), {});
        if (!target || !folder.isDir() || !folder.isWritable()) {
            fail(QStringLiteral("PDFファイルを作成できません: %1").arg(name));
            return {};
        }
        return SheetTarget{name, {}};
    }
    Printer->waitForList();
    const std::optional<PrinterInfo> printer = Printer->chosen();
    if (!printer) {
        if (!Printer->listError().isEmpty())
            fail(QStringLiteral("印刷できません: %1").arg(Printer->listError()));
        else
            fail(
                QStringLiteral("プリンタが見つかりません。プリンタを設定するか、"
                               "「PDFファイルに出力」を選んでください。"));
        return {};
    }
    if (printer->state != PrinterState::Idle) {
        const QString question = QStringLiteral("プリンタ「%1」は%2です。印刷ジョブを送りますか？")
                                     .arg(printer->name, printerStateText(printer->state));
        if (confirmSend && !confirmSend(question)) return {};
    }
    return SheetTarget{{}, printer->name};
}

std::unique_ptr<SheetDocument> PrintDialog::startSheet(const QPrinter& printer,
                                                       const std::vector<int16_t>& items) {
    const QPageLayout page = printer.pageLayout();
    const QPageLayout layout =
        sheetPageLayout(page.orientation() == QPageLayout::Landscape, page.pageSize());
    const QString title = toQString(printJobTitle(source_.filePath, items));
    // Drawn into memory for a printer and a PDF file alike: the file is written whole once the
    // sheet is finished, through the outputs that check every write.
    auto sheet = std::make_unique<SheetDocument>(layout, title);
    if (sheet->isActive()) return sheet;
    fail(QStringLiteral("印刷する用紙を作れませんでした。"));
    return nullptr;
}

bool PrintDialog::finishSheet(SheetDocument& sheet, const SheetTarget& target) {
    if (!sheet.finish()) {
        fail(QStringLiteral("印刷する用紙を作れませんでした。"));
        return false;
    }
    return sendSheet(sheet.pdf(), sheet.title(), target);
}

bool PrintDialog::sendSheet(const QByteArray& pdf, const QString& title,
                            const SheetTarget& target) {
    if (!target.pdfPath.isEmpty()) {
        const auto written = writeWholeFile(
            QFile::encodeName(target.pdfPath).toStdString(),
            std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())), *outputLayer);
        if (written) return true;
        fail(QStringLiteral("PDFファイルを保存できません: %1").arg(toQString(written.error())));
        return false;
    }
    // The window stays usable while the print server takes the job, but takes no second job.
    setEnabled(false);
    const std::optional<SubmitResult> result =
        submitOffThread(Printer->service(), PrintJob{target.printer, title, pdf}, submitLimit_);
    setEnabled(true);
    const QString cannot = QStringLiteral("プリンタ「%1」に印刷できません: %2");
    if (!result) {
        fail(cannot.arg(target.printer, QString::fromUtf8(kServerNotAnswering)));
        return false;
    }
    if (!result->accepted) {
        fail(cannot.arg(target.printer, result->reason));
        return false;
    }
    return true;
}

void PrintDialog::Command1_Click() {
    hide();
}

void PrintDialog::Command2_Click() {
    const std::shared_ptr<const HARMDIM> analysis = analysis_.lock();
    if (!analysis) return;
    WaitCursor wait;
    applyOrientation(printer_);
    const std::optional<SheetTarget> target = chooseTarget();
    if (!target) return;
    auto sheet = startSheet(printer_, {source_.item});
    if (!sheet) return;
    printOneSheet(sheet->canvas(), *analysis, source_, Check2->isChecked());
    if (finishSheet(*sheet, *target)) hide();
}

void PrintDialog::Command3_Click() {
    const std::shared_ptr<const HARMDIM> analysis = analysis_.lock();
    if (!analysis) return;
    WaitCursor wait;
    std::vector<int16_t> items;
    for (int i = 0; i < kItemSlots; ++i)
        if (Check1[static_cast<std::size_t>(i)]->isChecked())
            items.push_back(static_cast<int16_t>(i + 1));
    if (auto ok = preparePrintPrediction(*analysis, source_, items); !ok)
        return fail(QStringLiteral("上位電圧予測を計算できません: %1").arg(toQString(ok.error())));
    applyOrientation(printer_);
    const std::optional<SheetTarget> target = chooseTarget();
    if (!target) return;
    auto sheet = startSheet(printer_, items);
    if (!sheet) return;
    printSetSheet(sheet->canvas(), *analysis, source_, items, Check2->isChecked());
    if (finishSheet(*sheet, *target)) hide();
}

void PrintDialog::Command4_Click() {
    // The set-up works on the printer of the one-sheet and set prints; an open thirds sheet
    // keeps the set-up it was started with.
    applyOrientation(printer_);
    // The set-up of the printer the jobs go to.
    if (const std::optional<PrinterInfo> chosen = Printer->chosen())
        printer_.setPrinterName(chosen->name);
    const bool accepted = runPageSetup ? runPageSetup(printer_) : false;
    if (accepted)
        orientation_ = printer_.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    applyOrientation(printer_);
    Option1[static_cast<std::size_t>(orientation_ - 1)]->setChecked(true);
}

void PrintDialog::Command5_Click() {
    const std::shared_ptr<const HARMDIM> analysis = analysis_.lock();
    if (!analysis) return;
    WaitCursor wait;
    if (!thirdSheet_) {
        // A new thirds sheet: its own document, with the printer's set-up as it stands (its
        // orientation is not set here).
        const std::optional<SheetTarget> target = chooseTarget();
        if (!target) return;
        thirdSheet_ = startSheet(printer_, {source_.item});
        if (!thirdSheet_) return;
        thirdTarget_ = *target;
        thirdItems_.clear();
        ThirdCount = 0;
    }
    const int n = ThirdCount;
    printThird(thirdSheet_->canvas(), *analysis, source_, n, Check2->isChecked());
    thirdItems_.push_back(source_.item);
    if (n + 1 < 3) {
        ThirdCount = static_cast<int16_t>(n + 1);
    } else {
        finishThirdSheet();
        if (!thirdSheet_) ThirdCount = 0;  // printed, or lost after a message
    }
    updateThirdControls();
    // A sheet the printer did not take keeps the dialog open to send it again or save it.
    if (!thirdUnsent_) hide();
}

void PrintDialog::Command6_Click() {
    // With no sheet open there is nothing to eject (no blank page).
    if (thirdSheet_ && thirdUnsent_) {
        // Sent again: to the printer chosen now, or into a PDF file.
        const std::optional<SheetTarget> target = chooseTarget();
        if (!target) return;
        const QString title = toQString(printJobTitle(source_.filePath, thirdItems_));
        if (!sendSheet(thirdSheet_->pdf(), title, *target)) return;
        thirdSheet_.reset();
        thirdUnsent_ = false;
    } else if (thirdSheet_) {
        finishThirdSheet();
        if (thirdSheet_) return updateThirdControls();  // kept to be sent again
    }
    ThirdCount = 0;
    Command5->setEnabled(true);
    Command5->setText(QStringLiteral(" %1/3印刷").arg(ThirdCount + 1));
}

bool PrintDialog::finishThirdSheet() {
    // The job's name carries every third's item.
    SheetDocument& sheet = *thirdSheet_;
    if (!sheet.finish()) {
        fail(QStringLiteral("印刷する用紙を作れませんでした。"));
        thirdSheet_.reset();
        return false;
    }
    if (!sendSheet(sheet.pdf(), toQString(printJobTitle(source_.filePath, thirdItems_)),
                   thirdTarget_)) {
        thirdUnsent_ = true;
        return false;
    }
    thirdSheet_.reset();
    return true;
}

void PrintDialog::Check1_Click(int index) {
    int checked = 0;
    for (QCheckBox* box : Check1) checked += box->isChecked() ? 1 : 0;
    if (checked > 3) Check1[static_cast<std::size_t>(index)]->setChecked(false);
}

PrintSetup PrintDialog::printSetup() const {
    const QPageSize paper = printer_.pageLayout().pageSize();
    return PrintSetup{PrinterChooser::chosenName(),
                      paper.id() == QPageSize::Custom ? -1 : static_cast<int>(paper.id()),
                      orientation_};
}

void PrintDialog::applyPrintSetup(const PrintSetup& setup) {
    if (!setup.printer.isEmpty()) PrinterChooser::chooseByName(setup.printer);
    if (setup.paper >= 0 && setup.paper <= QPageSize::LastPageSize)
        printer_.setPageSize(QPageSize(static_cast<QPageSize::PageSizeId>(setup.paper)));
    orientation_ = setup.orientation == 2 ? 2 : 1;
    Option1[static_cast<std::size_t>(orientation_ - 1)]->setChecked(true);
    applyOrientation(printer_);
}

void PrintDialog::Option1_Click(int index) {
    orientation_ = index + 1;
}

void PrintDialog::Option2_Click(int index) {
    source_.range = index == 0 ? shownRange_ : std::nullopt;
}

}  // namespace hg
