#include "print/Form3.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPointer>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <vector>

#include "analysis/harmdim.h"
#include "graph/Form2.h"
#include "platform/qt/qpainter_canvas.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/wait_cursor.h"

namespace hg {

namespace {

// Twips of the dialog's design to pixels (15 twips a pixel at 96 dpi).
constexpr int px(int twips) {
    return twips / 15;
}
QRect twipRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

// Tops of the item boxes in window twips, by box index.
constexpr std::array<int, kItemSlots> kBoxTops = {480,  1560, 1920, 2280, 840,  1200, 2640, 3000,
                                                  3720, 4080, 3360, 5340, 5520, 4380, 4680, 4920};
constexpr int kFrame1Left = 1920;
constexpr int kFrame1Top = 120;
constexpr int kBoxLeft = 2040;
constexpr int kExtraWidth = 36;  // pixels

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

Form3::Form3(HARMDIM& state, QWidget* parent) : QDialog(parent), state_(state) {
    installJapaneseFontSubstitutions();
    setWindowTitle(QStringLiteral("印刷設定"));
    setModal(true);
    // The design's 4545 x 5820 twips, a little wider so the item names fit in IPA Gothic and a
    // little taller for the PDF choice under the frames.
    setFixedSize(px(4545) + kExtraWidth, px(5820) + 14);
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

    CheckPdf = new QCheckBox(QStringLiteral("PDFファイルに出力"), this);
    CheckPdf->setGeometry(8, px(5820) - 16, px(4545), 22);

    Frame1 = new QGroupBox(QStringLiteral("ｾｯﾄ印刷設定"), this);
    Frame1->setGeometry(px(kFrame1Left), px(kFrame1Top), px(2535) + kExtraWidth, px(5355));
    Frame1->setFont(designFont(kGothicFont, 12));
    fillBackground(Frame1, QColor(0, 255, 255));

    // Creation, in order: the block geometry lives in the page code (2000 x 500); captions;
    // the eject button and the third print's caption; availability; the orientation option.
    for (int i = 0; i < kItemSlots; ++i) {
        auto* box = new QCheckBox(Frame1);
        const int top = kBoxTops[static_cast<std::size_t>(i)];
        if (i == kPredictedSuperposition - 1) {
            // Two lines: the caption is too long for the column.
            box->setText(toQString(setPrintCaption(i))
                             .replace(QStringLiteral("(deg)"), QStringLiteral("\n(deg)")));
            box->setGeometry(px(kBoxLeft - kFrame1Left), px(top - kFrame1Top),
                             px(2235) + kExtraWidth, px(450));
        } else {
            box->setText(toQString(setPrintCaption(i)));
            box->setGeometry(px(kBoxLeft - kFrame1Left), px(top - kFrame1Top),
                             px(2055) + kExtraWidth, px(270));
        }
        if (i == kPhaseVoltage - 1 || i == kPhaseCurrent - 1) {
            box->hide();
            box->setEnabled(false);
        }
        connect(box, &QCheckBox::clicked, this, [this, i] { Check1_Click(i); });
        Check1[static_cast<std::size_t>(i)] = box;
    }
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
        return QFileDialog::getSaveFileName(this, QStringLiteral("PDFファイルに出力"), QString(),
                                            QStringLiteral("PDF (*.pdf)"));
    };
    runPageSetup = [this](QPrinter& printer) {
        QPageSetupDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    reportError = [this](const QString& message) {
        QMessageBox::warning(this, QStringLiteral("印刷設定"), message);
    };
}

Form3::~Form3() {
    // The program is ending: a thirds sheet in progress is printed as it is, and a failure can
    // no longer be shown in a box.
    reportError = [](const QString& message) { qWarning("%s", qPrintable(message)); };
    ejectOpenSheet();
}

int Form3::openFor(const PrintSource& source) {
    setSource(source);
    return exec();
}

void Form3::setSource(const PrintSource& source) {
    source_ = source;
    // The file may have changed since the dialog was made: its kind decides again.
    applyAvailability();
}

void Form3::ejectOpenSheet() {
    if (!thirdCanvas_) return;
    const bool sent = finishThirdSheet();
    ThirdCount = 0;
    updateThirdControls();
    if (!sent) fail(QStringLiteral("印刷ジョブを送れませんでした。"));
}

void Form3::paintEvent(QPaintEvent* event) {
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

void Form3::applyAvailability() {
    for (int i = 0; i < kItemSlots; ++i) {
        QCheckBox* box = Check1[static_cast<std::size_t>(i)];
        const bool available = setPrintAvailable(static_cast<int16_t>(i + 1), state_.FilePath);
        box->setEnabled(available);
        if (!available) box->setChecked(false);
    }
}

void Form3::updateThirdControls() {
    Command6->setVisible(ThirdCount >= 1);
    Command5->setText(QStringLiteral(" %1/3印刷").arg(ThirdCount + 1));
}

void Form3::applyOrientation(QPrinter& printer) const {
    printer.setPageOrientation(orientation_ == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void Form3::fail(const QString& message) {
    if (reportError) reportError(message);
}

bool Form3::chooseOutput(QPrinter& printer) {
    if (CheckPdf->isChecked()) {
        const QString name = askPdfFileName ? askPdfFileName() : QString();
        if (name.isEmpty()) return false;  // the file choice was cancelled
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(name);
        return true;
    }
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (printers.isEmpty()) {
        fail(
            QStringLiteral("プリンタが見つかりません。プリンタを設定するか、"
                           "「PDFファイルに出力」を選んでください。"));
        return false;
    }
    const QString name = printer.printerName();
    printer.setOutputFileName(QString());
    printer.setOutputFormat(QPrinter::NativeFormat);
    if (!name.isEmpty() && !QPrinterInfo::printerInfo(name).isNull()) {
        printer.setPrinterName(name);
    } else {
        const QString fallback = QPrinterInfo::defaultPrinterName();
        printer.setPrinterName(fallback.isEmpty() ? printers.first().printerName() : fallback);
    }
    return true;
}

namespace {
QString beginFailure(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return QStringLiteral("PDFファイルを作成できません: %1").arg(printer.outputFileName());
    return QStringLiteral(
        "印刷を開始できません。プリンタがオフラインか、"
        "印刷ジョブが受け付けられませんでした。");
}
}  // namespace

void Form3::Command1_Click() {
    hide();
}

void Form3::Command2_Click() {
    WaitCursor wait;
    applyOrientation(printer_);
    if (!chooseOutput(printer_)) return;
    SheetOutput sheet(printer_);
    QPainterCanvas canvas(sheet.device());
    if (!canvas.isActive()) return fail(beginFailure(printer_));
    printOneSheet(canvas, state_, source_, Check2->isChecked());
    if (!canvas.finish()) return fail(QStringLiteral("印刷ジョブを送れませんでした。"));
    if (auto written = sheet.commit(*outputLayer); !written)
        return fail(toQString(written.error()));
    hide();
}

void Form3::Command3_Click() {
    WaitCursor wait;
    std::vector<int16_t> items;
    for (int i = 0; i < kItemSlots; ++i)
        if (Check1[static_cast<std::size_t>(i)]->isChecked())
            items.push_back(static_cast<int16_t>(i + 1));
    if (auto ok = preparePrintPrediction(state_, source_, items); !ok)
        return fail(QStringLiteral("上位電圧予測を計算できません: %1").arg(toQString(ok.error())));
    applyOrientation(printer_);
    if (!chooseOutput(printer_)) return;
    SheetOutput sheet(printer_);
    QPainterCanvas canvas(sheet.device());
    if (!canvas.isActive()) return fail(beginFailure(printer_));
    printSetSheet(canvas, state_, source_, items, Check2->isChecked());
    if (!canvas.finish()) return fail(QStringLiteral("印刷ジョブを送れませんでした。"));
    if (auto written = sheet.commit(*outputLayer); !written)
        return fail(toQString(written.error()));
    hide();
}

void Form3::Command4_Click() {
    // The set-up works on the printer of the one-sheet and set prints; an open thirds sheet
    // keeps the set-up it was started with.
    applyOrientation(printer_);
    const bool accepted = runPageSetup ? runPageSetup(printer_) : false;
    if (accepted)
        orientation_ = printer_.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    applyOrientation(printer_);
    Option1[static_cast<std::size_t>(orientation_ - 1)]->setChecked(true);
}

void Form3::Command5_Click() {
    WaitCursor wait;
    if (!thirdCanvas_) {
        // A new thirds sheet: its own document, with the printer's set-up as it stands (its
        // orientation is not set here).
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (!chooseOutput(*printer)) return;
        if (printer->outputFormat() == QPrinter::NativeFormat &&
            !printer_.printerName().isEmpty() &&
            !QPrinterInfo::printerInfo(printer_.printerName()).isNull())
            printer->setPrinterName(printer_.printerName());
        printer->setPageLayout(printer_.pageLayout());
        printer->setColorMode(printer_.colorMode());
        auto sheet = std::make_unique<SheetOutput>(*printer);
        auto canvas = std::make_unique<QPainterCanvas>(sheet->device());
        if (!canvas->isActive()) return fail(beginFailure(*printer));
        thirdPrinter_ = std::move(printer);
        thirdSheet_ = std::move(sheet);
        thirdCanvas_ = std::move(canvas);
        ThirdCount = 0;
    }
    const int n = ThirdCount;
    printThird(*thirdCanvas_, state_, source_, n, Check2->isChecked());
    ThirdCount = static_cast<int16_t>(n + 1);
    if (ThirdCount >= 3) {
        const bool sent = finishThirdSheet();
        ThirdCount = 0;
        if (!sent) {
            updateThirdControls();
            return fail(QStringLiteral("印刷ジョブを送れませんでした。"));
        }
    }
    updateThirdControls();
    hide();
}

void Form3::Command6_Click() {
    // With no sheet open there is nothing to eject (no blank page).
    if (thirdCanvas_) {
        const bool sent = finishThirdSheet();
        if (!sent) fail(QStringLiteral("印刷ジョブを送れませんでした。"));
    }
    ThirdCount = 0;
    Command5->setText(QStringLiteral(" %1/3印刷").arg(ThirdCount + 1));
}

bool Form3::finishThirdSheet() {
    const bool sent = thirdCanvas_ && thirdCanvas_->finish();
    thirdCanvas_.reset();
    // A PDF sheet is written once finished; a failure to write it is said here, once.
    if (sent && thirdSheet_)
        if (auto written = thirdSheet_->commit(*outputLayer); !written)
            fail(toQString(written.error()));
    thirdSheet_.reset();
    thirdPrinter_.reset();
    return sent;
}

void Form3::Check1_Click(int index) {
    int checked = 0;
    for (QCheckBox* box : Check1) checked += box->isChecked() ? 1 : 0;
    if (checked > 3) Check1[static_cast<std::size_t>(index)]->setChecked(false);
}

void Form3::Option1_Click(int index) {
    orientation_ = index + 1;
}

Form3& printDialog(HARMDIM& state, QWidget* owner) {
    static QPointer<Form3> dialog;
    if (!dialog) dialog = new Form3(state, owner);
    return *dialog;
}

PrintSource printSourceOf(const Form2& window, const HARMDIM& state) {
    PrintSource source = printSourceFromState(state);
    const GraphSelection& selection = window.selection();
    source.item = selection.item();
    source.channel = selection.channel();
    source.orders = selection.orders();
    source.message = window.Text1->text().toStdString();
    source.transformer = window.transformerParameters();
    return source;
}

void installPrintDialog(HARMDIM& state, QWidget* owner) {
    QPointer<QWidget> frame(owner);
    Form2::setPrintHandler([&state, frame](Form2& window) {
        Form3& dialog = printDialog(state, frame.data());
        dialog.Command3->setEnabled(window.selection().setPrintEnabled());
        dialog.openFor(printSourceOf(window, state));
    });
}

}  // namespace hg
