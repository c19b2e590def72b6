#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "analysis/execute.h"
#include "analysis/harmdim.h"
#include "analysis/load.h"
#include "datafile/record_file.h"
#include "datafile/scan.h"
#include "datafile/synth.h"
#include "graph/Form2.h"
#include "print/Form3.h"

namespace hg {
namespace {

// What poppler reads from a PDF: its page count and its text in reading order.
struct PdfFacts {
    int pages = -1;
    QString text;
    QString pageSize;
};

QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

PdfFacts readPdf(const QString& path) {
    PdfFacts facts;
    const QString info = run(QStringLiteral("pdfinfo"), {path});
    for (const QString& line : info.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("Pages:"))) facts.pages = line.mid(6).trimmed().toInt();
        if (line.startsWith(QStringLiteral("Page size:"))) facts.pageSize = line.mid(10).trimmed();
    }
    facts.text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    return facts;
}

bool landscape(const PdfFacts& facts) {
    // "841.89 x 595.276 pts (A4)"
    const QStringList parts = facts.pageSize.split(QLatin1Char(' '));
    return parts.size() >= 3 && parts[0].toDouble() > parts[2].toDouble();
}

}  // namespace

class TestForm3 : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_{qEnvironmentVariable("HARMO_TMP", QDir::tempPath()) +
                       QStringLiteral("/form3-XXXXXX")};
    std::unique_ptr<HARMDIM> state_;
    QStringList errors_;
    QString pdfName_;
    int pdfCount_ = 0;

    // A recording written by the sample generator and loaded as Execute does in graph mode.
    std::unique_ptr<HARMDIM> load(const QString& name) {
        auto state = std::make_unique<HARMDIM>();
        const std::string path = dir_.filePath(name).toStdString();
        SynthOptions options;
        options.records = 144;
        if (!writeSynth(path, options)) return nullptr;
        auto scan = scanFile(path);
        if (!scan) return nullptr;
        applyScan(*state, *scan);
        PeriodTexts texts{scan->startDate, scan->startTime, scan->endDate, scan->endTime};
        if (!prepareExecute(*state, scan->fullPath, texts, ExecuteMode::Graph)) return nullptr;
        auto file = RecordFile::open(scan->fullPath);
        if (!file || !executeGraph(*state, *file)) return nullptr;
        return state;
    }

    PrintSource sourceFor(int16_t item) const {
        PrintSource s = printSourceFromState(*state_);
        s.item = item;
        s.orders.fill(0);
        for (int k = 0; k < 5; ++k) s.orders[static_cast<std::size_t>(k)] = 1;
        s.message = "試験";
        return s;
    }

    // A dialog printing to PDF files named by the test, with failures collected.
    std::unique_ptr<Form3> dialog() {
        auto form = std::make_unique<Form3>(*state_);
        form->CheckPdf->setChecked(true);
        form->askPdfFileName = [this] {
            pdfName_ = dir_.filePath(QStringLiteral("sheet%1.pdf").arg(++pdfCount_));
            return pdfName_;
        };
        form->reportError = [this](const QString& m) { errors_.append(m); };
        form->runPageSetup = [](QPrinter&) { return false; };
        form->setSource(sourceFor(kVoltageDistortion));
        return form;
    }

    static void press(Form3& form, QAbstractButton* button) {
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(button, Qt::LeftButton);
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        state_ = load(QStringLiteral("sample.ha4"));
        QVERIFY(state_);
        if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
            QSKIP("poppler-utils (pdfinfo, pdftotext) are needed to read the printed sheets");
    }

    void init() { errors_.clear(); }

    void controlsAsCreated() {
        auto form = dialog();
        QCOMPARE(form->windowTitle(), QStringLiteral("印刷設定"));
        QCOMPARE(form->Command5->text(), QStringLiteral(" 1/3印刷"));
        QVERIFY(form->Command6->isHidden());
        QCOMPARE(form->Frame1->title(), QStringLiteral("ｾｯﾄ印刷設定"));
        QVERIFY(form->Option1[0]->isChecked());
        QCOMPARE(form->orientation(), 1);
        for (int i = 0; i < kItemSlots; ++i) {
            const bool initially = i == 0 || i == 4 || i == 5;
            QCOMPARE(form->Check1[static_cast<std::size_t>(i)]->isChecked(), initially);
        }
        QVERIFY(form->Check1[11]->isHidden() && !form->Check1[11]->isEnabled());
        QVERIFY(form->Check1[12]->isHidden() && !form->Check1[12]->isEnabled());
        QCOMPARE(form->Check1[4]->text(), QStringLiteral("電    流(A)"));
        // Box tops in the frame follow the dialog's order, not the index.
        QVERIFY(form->Check1[4]->y() < form->Check1[5]->y());
        QVERIFY(form->Check1[5]->y() < form->Check1[1]->y());
        QVERIFY(form->Check1[10]->y() < form->Check1[8]->y());
    }

    void fourthItemBoxUnchecksItself() {
        auto form = dialog();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTest::mouseClick(form->Check1[1], Qt::LeftButton);
        QVERIFY(!form->Check1[1]->isChecked());
        QTest::mouseClick(form->Check1[4], Qt::LeftButton);  // uncheck one of the three
        QVERIFY(!form->Check1[4]->isChecked());
        QTest::mouseClick(form->Check1[1], Qt::LeftButton);
        QVERIFY(form->Check1[1]->isChecked());
        QTest::mouseClick(form->Check1[2], Qt::LeftButton);
        QVERIFY(!form->Check1[2]->isChecked());
    }

    void availabilityFollowsTheFileKind() {
        struct Case {
            const char* name;
            bool voltageAngle, currentAngle, predictedAngle;
        };
        for (const Case& k : {Case{"k.ha5", false, false, false}, Case{"k.hv2", true, false, true},
                              Case{"k.ha4", true, true, true}}) {
            HARMDIM state;
            state.FilePath = dir_.filePath(QString::fromLatin1(k.name)).toStdString();
            Form3 form(state);
            QCOMPARE(form.Check1[8]->isEnabled(), k.voltageAngle);
            QCOMPARE(form.Check1[9]->isEnabled(), k.currentAngle);
            QCOMPARE(form.Check1[15]->isEnabled(), k.predictedAngle);
            for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 10, 13, 14})
                QVERIFY(form.Check1[static_cast<std::size_t>(i)]->isEnabled());
        }
        // Opened again for a file of another kind, the dialog decides again.
        HARMDIM state;
        state.FilePath = "/data/x.ha4";
        Form3 form(state);
        form.Check1[0]->setChecked(false);
        form.Check1[9]->setChecked(true);
        state.FilePath = "/data/x.ha5";
        form.setSource(PrintSource{});
        QVERIFY(!form.Check1[9]->isEnabled());
        QVERIFY(!form.Check1[9]->isChecked());
    }

    void threeThirdsMakeOneSheet() {
        auto form = dialog();
        QStringList captions;
        const int16_t items[] = {kVoltageDistortion, kCurrent, kPhaseDifference};
        for (int n = 0; n < 3; ++n) {
            captions.append(form->Command5->text());
            QCOMPARE(form->Command6->isVisibleTo(form.get()), n > 0);
            form->setSource(sourceFor(items[n]));
            press(*form, form->Command5);
            QVERIFY(form->isHidden());
        }
        captions.append(form->Command5->text());
        QCOMPARE(captions, (QStringList{QStringLiteral(" 1/3印刷"), QStringLiteral(" 2/3印刷"),
                                        QStringLiteral(" 3/3印刷"), QStringLiteral(" 1/3印刷")}));
        QCOMPARE(form->thirdCount(), int16_t{0});
        QVERIFY(!form->thirdSheetOpen());
        QCOMPARE(pdfCount_ > 0, true);
        const PdfFacts pdf = readPdf(pdfName_);
        QCOMPARE(pdf.pages, 1);
        QVERIFY2(pdf.text.contains(QStringLiteral("電圧歪率(%)")), qPrintable(pdf.text));
        QVERIFY(pdf.text.contains(QStringLiteral("位 相 差(deg)")));
        QVERIFY(pdf.text.contains(QStringLiteral("ﾌｧｲﾙ名:")));
        QVERIFY(errors_.isEmpty());
    }

    void thirdsSheetSurvivesClosingTheDialog() {
        auto form = dialog();
        press(*form, form->Command5);
        const int sheet = pdfCount_;
        press(*form, form->Command1);  // cancel: the sheet stays open
        QVERIFY(form->isHidden());
        QVERIFY(form->thirdSheetOpen());
        QCOMPARE(form->Command5->text(), QStringLiteral(" 2/3印刷"));
        press(*form, form->Command5);
        QCOMPARE(pdfCount_, sheet);  // no new file: the same document
        QCOMPARE(form->thirdCount(), int16_t{2});
        form->ejectOpenSheet();
        QCOMPARE(readPdf(pdfName_).pages, 1);
    }

    void oneThirdThenEject() {
        auto form = dialog();
        press(*form, form->Command5);
        QVERIFY(form->Command6->isVisibleTo(form.get()));
        press(*form, form->Command6);
        QCOMPARE(form->thirdCount(), int16_t{0});
        QCOMPARE(form->Command5->text(), QStringLiteral(" 1/3印刷"));
        QVERIFY(form->Command6->isVisible());  // eject leaves itself shown
        const PdfFacts pdf = readPdf(pdfName_);
        QCOMPARE(pdf.pages, 1);
        QCOMPARE(pdf.text.count(QStringLiteral("電圧歪率(%)")), 1);
        QVERIFY(!pdf.text.contains(QStringLiteral("ﾌｧｲﾙ名")));
        // A second eject has no sheet to print.
        const int files = pdfCount_;
        press(*form, form->Command6);
        QCOMPARE(pdfCount_, files);
        QVERIFY(errors_.isEmpty());
    }

    void oneSheetAndSetPrint() {
        auto form = dialog();
        form->setSource(sourceFor(kCurrent));
        press(*form, form->Option1[1]);
        QCOMPARE(form->orientation(), 2);
        press(*form, form->Command2);
        QVERIFY(form->isHidden());
        PdfFacts pdf = readPdf(pdfName_);
        QCOMPARE(pdf.pages, 1);
        QVERIFY(landscape(pdf));
        QVERIFY(pdf.text.contains(QStringLiteral("試験")));

        // Set print: the checked boxes in index order (voltage distortion, current distortion,
        // current), whatever order they were checked in.
        QTest::mouseClick(form->Check1[5], Qt::LeftButton);  // uncheck phase difference
        press(*form, form->Check1[1]);
        press(*form, form->Option1[0]);
        press(*form, form->Command3);
        pdf = readPdf(pdfName_);
        QCOMPARE(pdf.pages, 1);
        QVERIFY(!landscape(pdf));
        const qsizetype a = pdf.text.indexOf(QStringLiteral("電圧歪率(%)"));
        const qsizetype b = pdf.text.indexOf(QStringLiteral("電流歪率(%)"));
        QVERIFY2(a >= 0 && b > a, qPrintable(pdf.text));
        QVERIFY(pdf.text.contains(QStringLiteral("ﾌｧｲﾙ名:")));
        QVERIFY(errors_.isEmpty());
    }

    void thirdKeepsThePrintersOrientation() {
        auto form = dialog();
        press(*form, form->Option1[1]);  // only the dialog holds it until a print applies it
        press(*form, form->Command5);
        form->ejectOpenSheet();
        QVERIFY(!landscape(readPdf(pdfName_)));
        press(*form, form->Command2);  // the printer now receives landscape
        press(*form, form->Option1[0]);
        press(*form, form->Command5);
        form->ejectOpenSheet();
        QVERIFY(landscape(readPdf(pdfName_)));
    }

    void failuresLeaveTheDialogUsable() {
        auto form = dialog();
        // A PDF that cannot be written.
        form->askPdfFileName = [] { return QStringLiteral("/nonexistent-folder/x/sheet.pdf"); };
        press(*form, form->Command5);
        QCOMPARE(errors_.size(), 1);
        QVERIFY(errors_[0].contains(QStringLiteral("PDFファイルを作成できません")));
        QCOMPARE(form->thirdCount(), int16_t{0});
        QVERIFY(!form->thirdSheetOpen());
        QVERIFY(form->isVisible());
        QCOMPARE(form->Command5->text(), QStringLiteral(" 1/3印刷"));

        // A cancelled file name prints nothing and says nothing.
        errors_.clear();
        form->askPdfFileName = [] { return QString(); };
        press(*form, form->Command2);
        QVERIFY(errors_.isEmpty());
        QVERIFY(form->isVisible());

        // No printer on this machine: the system printer is refused with a message.
        if (!QPrinterInfo::availablePrinters().isEmpty()) return;
        form->CheckPdf->setChecked(false);
        press(*form, form->Command5);
        QCOMPARE(errors_.size(), 1);
        QVERIFY(errors_[0].contains(QStringLiteral("プリンタが見つかりません")));
        QCOMPARE(form->thirdCount(), int16_t{0});
        QVERIFY(form->isVisible());
    }

    void printerSetUpKeepsTheOrientation() {
        auto form = dialog();
        press(*form, form->Option1[1]);
        form->runPageSetup = [](QPrinter& printer) {
            printer.setPageOrientation(QPageLayout::Portrait);
            return false;  // cancelled: the dialog's orientation goes back to the printer
        };
        press(*form, form->Command4);
        QCOMPARE(form->orientation(), 2);
        QCOMPARE(form->printer().pageLayout().orientation(), QPageLayout::Landscape);
        form->runPageSetup = [](QPrinter& printer) {
            printer.setPageOrientation(QPageLayout::Portrait);
            return true;
        };
        press(*form, form->Command4);
        QCOMPARE(form->orientation(), 1);
        QVERIFY(form->Option1[0]->isChecked());
        QVERIFY(form->isVisible());
    }

    void printCommandPrintsItsOwnWindow() {
        QMdiArea area;
        area.resize(1000, 800);
        area.show();
        const auto choose = [](QComboBox* list, const QString& text) {
            const int index = list->findText(text);
            QVERIFY2(index >= 0, qPrintable(text));
            list->setCurrentIndex(index);
            emit list->activated(index);
        };
        auto* mainWindow = new Form2(*state_, &area);
        mainWindow->showWindow();
        choose(mainWindow->Combo1, QStringLiteral("電    流(A)"));
        choose(mainWindow->Combo2, QStringLiteral("１～９次"));
        mainWindow->Text1->setText(QStringLiteral("主"));
        Form2* extra = mainWindow->openExtraWindow();
        QVERIFY(extra);
        choose(extra->Combo1, QStringLiteral("電圧歪率(%)"));
        choose(extra->Combo2, QStringLiteral("１～９次"));
        QVERIFY(mainWindow->hasDrawn() && extra->hasDrawn());
        QCOMPARE(state_->CurrentItem, int16_t{kVoltageDistortion});  // the extra drew last

        installPrintDialog(*state_, &area);
        PrintSource seen;
        bool setPrint = false;
        QTimer::singleShot(0, this, [&] {
            Form3& dialog = printDialog(*state_, &area);
            QVERIFY(dialog.isVisible());
            seen = dialog.source();
            setPrint = dialog.Command3->isEnabled();
            QTest::mouseClick(dialog.Command1, Qt::LeftButton);
        });
        QTest::mouseClick(mainWindow->Command2, Qt::LeftButton);
        QCOMPARE(seen.item, int16_t{kCurrent});
        QCOMPARE(seen.message, std::string("主"));
        QCOMPARE(seen.orders[0], int16_t{1});
        QVERIFY(setPrint);
        QVERIFY(printDialog(*state_, &area).isHidden());
        Form2::setPrintHandler({});
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestForm3)
#include "test_form3.moc"
