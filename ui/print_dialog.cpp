#include "ui/print_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <vector>

#include "analysis/harmdim.h"
#include "platform/qt/page_setup_dialog.h"
#include "platform/qt/print_document.h"
#include "platform/qt/print_preview.h"
#include "platform/qt/printer_chooser.h"
#include "platform/qt/qpainter_canvas.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/save_file_dialog.h"
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

    CommandPreview = button("印刷プレビュー", QRect(170, px(5820) - 18, 120, 25));
    buildOutputChoice();

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
    connect(CommandPreview, &QPushButton::clicked, this, [this] { CommandPreview_Click(); });

    askPdfFileName = [this] {
        return askSaveFileName(this, QStringLiteral("PDFファイルに出力"),
                               QStringLiteral("PDF (*.pdf)"));
    };
    runPageSetup = [this](PageSetup& setup) { return askPageSetup(this, setup); };
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

// Under the frames: the PDF file choice and the printer row, whose questions and failures are
// the dialog's.
void PrintDialog::buildOutputChoice() {
    CheckPdf = new QCheckBox(QStringLiteral("PDFファイルに出力"), this);
    CheckPdf->setGeometry(8, px(5820) - 16, 150, 22);
    Printer = new PrinterChooser(this);
    Printer->setGeometry(8, px(5820) + 10, px(4545) + kExtraWidth - 16, 26);
    Printer->reportError = [this](const QString& message) { fail(message); };
    Printer->confirmSend = [this](const QString& question) {
        return !confirmSend || confirmSend(question);
    };
    connect(Printer, &PrinterChooser::busyChanged, this, [this] { updatePrintButtons(); });
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
                                  PrintSubmission::Limits jobLimits) {
    Printer->setService(std::move(service), listLimit, jobLimits);
}

bool PrintDialog::isSending() const {
    return Printer->isBusy();
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
    setPrintOffered_ = setPrintOffered;
    updatePrintButtons();
    // The whole period unless the user asks for what the zoomed window shows.
    shownRange_ = source.range;
    source_.range.reset();
    Option2[0]->setEnabled(shownRange_.has_value());
    Option2[1]->setChecked(true);
    // The file may have changed since the dialog was made: its kind decides again.
    applyAvailability();
}

void PrintDialog::ejectOpenSheet() {
    if (!thirdSheet_ || thirdSheet_->finished()) {
        if (thirdUnsent_) fail(QStringLiteral("1/3印刷の用紙は印刷されていません。"));
        return;
    }
    finishThirdSheet();
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
    Command6->setVisible(ThirdCount >= 1 || thirdUnsent_);
    Command5->setText(QStringLiteral(" %1/3印刷").arg(ThirdCount + 1));
    updatePrintButtons();
}

void PrintDialog::updatePrintButtons() {
    const bool idle = !Printer->isBusy();
    for (QPushButton* b : {Command2, Command4, Command6, CommandPreview}) b->setEnabled(idle);
    Command3->setEnabled(idle && setPrintOffered_);
    Command5->setEnabled(idle && !thirdUnsent_);
}

void PrintDialog::applyOrientation() {
    pageSetup_.landscape = orientation_ == 2;
}

void PrintDialog::fail(const QString& message) {
    if (reportError) reportError(message);
}

bool PrintDialog::deferUntilListed(void (PrintDialog::*click)()) {
    if (CheckPdf->isChecked() || !Printer->isFetching()) return false;
    Printer->whenListed([this, click] { (this->*click)(); });
    return true;
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
    const std::optional<QString> printer = Printer->printerForJob();
    if (!printer) return {};
    return SheetTarget{{}, *printer};
}

std::unique_ptr<PrintDocument> PrintDialog::startSheet(const std::vector<int16_t>& items) {
    const QString title = toQString(printJobTitle(source_.filePath, items));
    // Drawn into memory for a printer and a PDF file alike: the file is written whole once the
    // sheet is finished, through the outputs that check every write.
    auto sheet = std::make_unique<PrintDocument>(pageSetup_, title);
    if (sheet->isActive()) return sheet;
    fail(QStringLiteral("印刷する用紙を作れませんでした。"));
    return nullptr;
}

PrintSource PrintDialog::sourceOn(const PrintDocument& sheet) const {
    PrintSource source = source_;
    source.paper = sheet.page().paper;
    return source;
}

void PrintDialog::finishSheet(PrintDocument& sheet, const SheetTarget& target,
                              std::function<void(bool)> done) {
    if (!sheet.finish()) {
        fail(QStringLiteral("印刷する用紙を作れませんでした。"));
        return done(false);
    }
    sendSheet(sheet, target, std::move(done));
}

void PrintDialog::sendSheet(const PrintDocument& sheet, const SheetTarget& target,
                            std::function<void(bool)> done) {
    if (!target.pdfPath.isEmpty()) {
        const auto written =
            sheet.save(QFile::encodeName(target.pdfPath).toStdString(), *outputLayer);
        if (!written)
            fail(QStringLiteral("PDFファイルを保存できません: %1").arg(toQString(written.error())));
        return done(written.ok());
    }
    // Sent off the window thread: the dialog stays usable, says what the job is doing and
    // offers 中止, but sends no second job meanwhile.
    Printer->submit(PrintJob{target.printer, sheet.title(), sheet.pdf(), sheet.page()},
                    [done = std::move(done)](const SendOutcome& outcome) { done(outcome.sent()); });
}

void PrintDialog::Command1_Click() {
    hide();
}

void PrintDialog::Command2_Click() {
    const std::shared_ptr<const HARMDIM> analysis = analysis_.lock();
    if (!analysis || deferUntilListed(&PrintDialog::Command2_Click)) return;
    WaitCursor wait;
    applyOrientation();
    const std::optional<SheetTarget> target = chooseTarget();
    if (!target) return;
    std::shared_ptr<PrintDocument> sheet = startSheet({source_.item});
    if (!sheet) return;
    printOneSheet(sheet->canvas(), *analysis, sourceOn(*sheet), Check2->isChecked());
    finishSheet(*sheet, *target, [this, sheet](bool sent) {
        if (sent) hide();
    });
}

void PrintDialog::Command3_Click() {
    const std::shared_ptr<const HARMDIM> analysis = analysis_.lock();
    if (!analysis || deferUntilListed(&PrintDialog::Command3_Click)) return;
    WaitCursor wait;
    std::vector<int16_t> items;
    for (int i = 0; i < kItemSlots; ++i)
        if (Check1[static_cast<std::size_t>(i)]->isChecked())
            items.push_back(static_cast<int16_t>(i + 1));
    if (auto ok = preparePrintPrediction(*analysis, source_, items); !ok)
        return fail(QStringLiteral("上位電圧予測を計算できません: %1").arg(toQString(ok.error())));
    applyOrientation();
    const std::optional<SheetTarget> target = chooseTarget();
    if (!target) return;
    std::shared_ptr<PrintDocument> sheet = startSheet(items);
    if (!sheet) return;
    printSetSheet(sheet->canvas(), *analysis, sourceOn(*sheet), items, Check2->isChecked());
    finishSheet(*sheet, *target, [this, sheet](bool sent) {
        if (sent) hide();
    });
}

void PrintDialog::Command4_Click() {
    // The set-up of the one-sheet and set prints; an open thirds sheet keeps the set-up it was
    // started with.
    applyOrientation();
    PageSetup setup = pageSetup_;
    if (runPageSetup && runPageSetup(setup)) {
        pageSetup_ = setup;
        orientation_ = setup.landscape ? 2 : 1;
    }
    applyOrientation();
    Option1[static_cast<std::size_t>(orientation_ - 1)]->setChecked(true);
}

void PrintDialog::Command5_Click() {
    const std::shared_ptr<const HARMDIM> analysis = analysis_.lock();
    if (!analysis) return;
    if (!thirdSheet_ && deferUntilListed(&PrintDialog::Command5_Click)) return;
    WaitCursor wait;
    if (!thirdSheet_) {
        // A new thirds sheet: its own document, with the page set-up as it stands (the
        // orientation option is not applied here).
        const std::optional<SheetTarget> target = chooseTarget();
        if (!target) return;
        thirdSheet_ = startSheet({source_.item});
        if (!thirdSheet_) return;
        thirdTarget_ = *target;
        thirdItems_.clear();
        ThirdCount = 0;
    }
    const int n = ThirdCount;
    printThird(thirdSheet_->canvas(), *analysis, sourceOn(*thirdSheet_), n, Check2->isChecked());
    thirdItems_.push_back(source_.item);
    if (n + 1 < 3) {
        ThirdCount = static_cast<int16_t>(n + 1);
        updateThirdControls();
        hide();
    } else {
        finishThirdSheet();
    }
}

void PrintDialog::Command6_Click() {
    // With no sheet open there is nothing to eject (no blank page).
    if (thirdSheet_ && thirdUnsent_) {
        // Sent again: to the printer chosen now, or into a PDF file; asked first while an
        // earlier job of it may still print.
        if (deferUntilListed(&PrintDialog::Command6_Click)) return;
        if (!CheckPdf->isChecked() && Printer->mayStillPrint() && confirmSend &&
            !confirmSend(
                QStringLiteral("先に送ったジョブの取り消しを確認できていません。"
                               "そのジョブが印刷されることがあります。もう一度送りますか？")))
            return;
        const std::optional<SheetTarget> target = chooseTarget();
        if (!target) return;
        Printer->forgetEarlierJobs();
        sendSheet(*thirdSheet_, *target, [this](bool sent) { thirdSheetSent(sent); });
    } else if (thirdSheet_) {
        finishThirdSheet();
    } else {
        ThirdCount = 0;
        updateThirdControls();
    }
}

void PrintDialog::finishThirdSheet() {
    // The sheet and its job are named for every third's item.
    thirdSheet_->setTitle(toQString(printJobTitle(source_.filePath, thirdItems_)));
    finishSheet(*thirdSheet_, thirdTarget_, [this](bool sent) { thirdSheetSent(sent); });
}

void PrintDialog::thirdSheetSent(bool sent) {
    if (sent || !thirdSheet_->finished()) {
        // Printed, or lost after a message (a sheet that could not be drawn).
        thirdSheet_.reset();
        thirdUnsent_ = false;
        ThirdCount = 0;
    } else {
        // Kept: "排出" sends it again, to the printer or into a PDF file.
        thirdUnsent_ = true;
    }
    updateThirdControls();
    if (sent) hide();
}

void PrintDialog::CommandPreview_Click() {
    const std::shared_ptr<const HARMDIM> analysis = analysis_.lock();
    if (!analysis) return;
    WaitCursor wait;
    applyOrientation();
    std::shared_ptr<PrintDocument> sheet = startSheet({source_.item});
    if (!sheet) return;
    printOneSheet(sheet->canvas(), *analysis, sourceOn(*sheet), Check2->isChecked());
    if (!sheet->finish()) return fail(QStringLiteral("印刷する用紙を作れませんでした。"));
    auto* preview = new PrintPreview(sheet->pdf(), sheet->title(), this);
    // 印刷 there sends this very document.
    connect(preview, &PrintPreview::printRequested, this, [this, sheet] {
        if (Printer->isBusy()) return;
        const std::optional<SheetTarget> target = chooseTarget();
        if (target)
            sendSheet(*sheet, *target, [this, sheet](bool sent) {
                if (sent) hide();
            });
    });
    preview->show();
}

void PrintDialog::Check1_Click(int index) {
    int checked = 0;
    for (QCheckBox* box : Check1) checked += box->isChecked() ? 1 : 0;
    if (checked > 3) Check1[static_cast<std::size_t>(index)]->setChecked(false);
}

PrintSetup PrintDialog::printSetup() const {
    return PrintSetup{PrinterChooser::chosenName(),
                      static_cast<int>(pageSizeOf(pageSetup_.paper).id()), orientation_};
}

void PrintDialog::applyPrintSetup(const PrintSetup& setup) {
    if (!setup.printer.isEmpty()) PrinterChooser::chooseByName(setup.printer);
    if (const std::optional<Paper> paper = paperOfPageSizeId(setup.paper))
        pageSetup_.paper = *paper;
    orientation_ = setup.orientation == 2 ? 2 : 1;
    Option1[static_cast<std::size_t>(orientation_ - 1)]->setChecked(true);
    applyOrientation();
}

void PrintDialog::Option1_Click(int index) {
    orientation_ = index + 1;
}

void PrintDialog::Option2_Click(int index) {
    source_.range = index == 0 ? shownRange_ : std::nullopt;
}

}  // namespace hg
