// The print dialog printing into PDF files read back with poppler: the item boxes per kind, one
// sheet, a set, thirds and eject, the orientation, and failures.
#include <QMdiArea>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "graph/Form2.h"
#include "gui_support.h"
#include "print/Form3.h"

namespace hg {
namespace {

QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// What poppler reads from a PDF: its page count, its shape and its text in reading order.
struct PdfFacts {
    int pages = 0;
    bool landscape = false;
    QString text;
};

PdfFacts readPdf(const QString& path) {
    const QString info = run(u"pdfinfo"_s, {path});  // "Page size: 841.89 x 595.276 pts (A4)"
    const auto size = QRegularExpression(u"Page size: *([\\d.]+) x ([\\d.]+)"_s).match(info);
    return {QRegularExpression(u"Pages: *(\\d+)"_s).match(info).captured(1).toInt(),
            size.captured(1).toDouble() > size.captured(2).toDouble(),
            run(u"pdftotext"_s, {path, u"-"_s})};
}

}  // namespace

class TestForm3 : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> dir_ = test::scratchFolder(u"form3"_s);
    HARMDIM state_;
    QStringList errors_;
    QString pdfName_;
    int pdfCount_ = 0;

    PrintSource sourceFor(int16_t item) const {
        PrintSource s = printSourceFromState(state_);
        s.item = item;
        s.orders.fill(0);
        for (std::size_t k = 0; k < 5; ++k) s.orders[k] = 1;
        s.message = "試験";
        return s;
    }

    // A dialog printing to PDF files named by the test, with failures collected.
    std::unique_ptr<Form3> dialog() {
        auto form = std::make_unique<Form3>(state_);
        form->CheckPdf->setChecked(true);
        form->askPdfFileName = [this] {
            return pdfName_ = dir_->filePath(u"sheet%1.pdf"_s.arg(++pdfCount_));
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
        QVERIFY(test::loadSample(state_, dir_->path(), u"sample.ha4"_s, 144));
        if (QStandardPaths::findExecutable(u"pdfinfo"_s).isEmpty())
            QSKIP("poppler-utils (pdfinfo, pdftotext) are needed to read the printed sheets");
    }

    void init() { errors_.clear(); }

    void fourthItemBoxUnchecksItself() {
        auto form = dialog();
        press(*form, form->Check1[1]);  // items 1, 5 and 6 are checked at first
        QVERIFY(!form->Check1[1]->isChecked());
        QVERIFY(form->Check1[0]->isChecked() && form->Check1[4]->isChecked());
        QTest::mouseClick(form->Check1[4], Qt::LeftButton);  // uncheck one of the three
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
            state.FilePath = std::string("/data/") + k.name;
            Form3 form(state);
            QCOMPARE(std::tuple(k.name, form.Check1[8]->isEnabled(), form.Check1[9]->isEnabled(),
                                form.Check1[15]->isEnabled()),
                     std::tuple(k.name, k.voltageAngle, k.currentAngle, k.predictedAngle));
            for (std::size_t i : {0, 1, 2, 3, 4, 5, 6, 7, 10, 13, 14})
                QVERIFY(form.Check1[i]->isEnabled());
            QVERIFY(form.Check1[11]->isHidden() && !form.Check1[11]->isEnabled());
        }
        // Opened again for a file of another kind, the dialog decides again.
        HARMDIM state;
        state.FilePath = "/data/x.ha4";
        Form3 form(state);
        form.Check1[9]->setChecked(true);
        state.FilePath = "/data/x.ha5";
        form.setSource(PrintSource{});
        QVERIFY(!form.Check1[9]->isEnabled() && !form.Check1[9]->isChecked());
    }

    // Three thirds make one sheet, even when the dialog is closed between them.
    void threeThirdsMakeOneSheet() {
        auto form = dialog();
        const int files = pdfCount_;
        QStringList captions;
        const int16_t items[] = {kVoltageDistortion, kCurrent, kPhaseDifference};
        for (int n = 0; n < 3; ++n) {
            captions.append(form->Command5->text());
            QCOMPARE(form->Command6->isVisibleTo(form.get()), n > 0);
            form->setSource(sourceFor(items[n]));
            press(*form, form->Command5);
            QVERIFY(form->isHidden());
            if (n == 0) press(*form, form->Command1);  // cancel: the sheet stays open
            QCOMPARE(form->thirdSheetOpen(), n < 2);
        }
        captions.append(form->Command5->text());
        QCOMPARE(captions, (QStringList{" 1/3印刷", " 2/3印刷", " 3/3印刷", " 1/3印刷"}));
        QCOMPARE(form->thirdCount(), int16_t{0});
        QCOMPARE(pdfCount_, files + 1);  // one document for the three
        const PdfFacts pdf = readPdf(pdfName_);
        QCOMPARE(pdf.pages, 1);
        for (const char* text : {"電圧歪率(%)", "位 相 差(deg)", "ﾌｧｲﾙ名:"})
            QVERIFY2(pdf.text.contains(QString::fromUtf8(text)), text);
        QVERIFY(errors_.isEmpty());
    }

    void oneThirdThenEject() {
        auto form = dialog();
        press(*form, form->Command5);
        press(*form, form->Command6);
        QCOMPARE(form->thirdCount(), int16_t{0});
        QCOMPARE(form->Command5->text(), u" 1/3印刷"_s);
        const PdfFacts pdf = readPdf(pdfName_);
        QCOMPARE(pdf.pages, 1);
        QCOMPARE(pdf.text.count("電圧歪率(%)"), 1);
        QVERIFY(!pdf.text.contains("ﾌｧｲﾙ名"));
        const int files = pdfCount_;
        press(*form, form->Command6);  // a second eject has no sheet to print
        QCOMPARE(pdfCount_, files);
        QVERIFY(errors_.isEmpty());
    }

    void oneSheetAndSetPrint() {
        auto form = dialog();
        form->setSource(sourceFor(kCurrent));
        press(*form, form->Option1[1]);
        press(*form, form->Command2);
        QVERIFY(form->isHidden());
        PdfFacts pdf = readPdf(pdfName_);
        QVERIFY(pdf.pages == 1 && pdf.landscape && pdf.text.contains("試験"));
        // Set print: the checked boxes in index order (voltage distortion, current distortion,
        // current), whatever order they were checked in.
        QTest::mouseClick(form->Check1[5], Qt::LeftButton);  // uncheck phase difference
        press(*form, form->Check1[1]);
        press(*form, form->Option1[0]);
        press(*form, form->Command3);
        pdf = readPdf(pdfName_);
        QVERIFY(pdf.pages == 1 && !pdf.landscape);
        const qsizetype a = pdf.text.indexOf("電圧歪率(%)");
        QVERIFY2(a >= 0 && pdf.text.indexOf("電流歪率(%)") > a, qPrintable(pdf.text));
        QVERIFY(errors_.isEmpty());
    }

    // The option alone does not turn the printer: a third keeps the printer's orientation until a
    // print or the printer set-up applies the dialog's.
    void orientationReachesThePrinterWhenApplied() {
        auto form = dialog();
        press(*form, form->Option1[1]);
        press(*form, form->Command5);
        form->ejectOpenSheet();
        QVERIFY(!readPdf(pdfName_).landscape);
        press(*form, form->Command2);  // the printer now receives landscape
        press(*form, form->Option1[0]);
        press(*form, form->Command5);
        form->ejectOpenSheet();
        QVERIFY(readPdf(pdfName_).landscape);
        // The set-up cancelled: the dialog's orientation goes back to the printer.
        press(*form, form->Option1[1]);
        bool accept = false;
        form->runPageSetup = [&accept](QPrinter& printer) {
            printer.setPageOrientation(QPageLayout::Portrait);
            return accept;
        };
        press(*form, form->Command4);
        QCOMPARE(form->orientation(), 2);
        QCOMPARE(form->printer().pageLayout().orientation(), QPageLayout::Landscape);
        accept = true;
        press(*form, form->Command4);
        QVERIFY(form->Option1[0]->isChecked() && form->isVisible());
    }

    void failuresLeaveTheDialogUsable() {
        auto form = dialog();
        form->askPdfFileName = [] { return u"/nonexistent-folder/x/sheet.pdf"_s; };
        press(*form, form->Command5);
        QVERIFY(errors_.size() == 1 && errors_[0].contains("PDFファイルを作成できません"));
        QCOMPARE(form->thirdCount(), int16_t{0});
        QVERIFY(!form->thirdSheetOpen() && form->isVisible());
        // A cancelled file name prints nothing and says nothing.
        errors_.clear();
        form->askPdfFileName = [] { return QString(); };
        press(*form, form->Command2);
        QVERIFY(errors_.isEmpty() && form->isVisible());
        // No printer on this machine: the system printer is refused with a message.
        if (!QPrinterInfo::availablePrinters().isEmpty()) return;
        form->CheckPdf->setChecked(false);
        press(*form, form->Command5);
        QVERIFY(errors_.size() == 1 && errors_[0].contains("プリンタが見つかりません"));
        QCOMPARE(form->thirdCount(), int16_t{0});
        QVERIFY(form->isVisible());
    }

    // A PDF that cannot be written whole (the disk full, a failed rename) is reported, and the
    // earlier file of that name stays byte for byte; one sheet, a set and a thirds sheet alike.
    void failedPdfWritesKeepTheEarlierFile() {
        struct FailingLayer : OutputLayer {
            bool failWrite = false;
            Status write(TempFile& f, const char* data, std::size_t size) override {
                if (!failWrite) return OutputLayer::write(f, data, size);
                (void)OutputLayer::write(f, data, size / 2);
                return Error{"出力ファイルへの書き込みに失敗しました: " + f.target};
            }
            Status rename(const std::string& from, const std::string& to) override {
                if (failWrite) return OutputLayer::rename(from, to);
                return Error{"出力ファイルを置き換えられません: " + to};
            }
        };
        const QString target = dir_->filePath(u"kept.pdf"_s);
        for (const bool failWrite : {true, false}) {
            for (const int command : {2, 3, 5}) {
                QFile old(target);
                QVERIFY(old.open(QIODevice::WriteOnly) && old.write("earlier sheet") == 13);
                old.close();
                FailingLayer layer;
                layer.failWrite = failWrite;
                auto form = dialog();
                form->askPdfFileName = [&] { return target; };
                form->outputLayer = &layer;
                errors_.clear();
                press(*form, command == 2   ? form->Command2
                             : command == 3 ? form->Command3
                                            : form->Command5);
                if (command == 5) form->ejectOpenSheet();
                QVERIFY2(errors_.size() == 1, qPrintable(QString::number(command)));
                QVERIFY(errors_[0].contains(failWrite ? u"書き込み"_s : u"置き換え"_s));
                QFile kept(target);
                QVERIFY(kept.open(QIODevice::ReadOnly));
                QCOMPARE(kept.readAll(), QByteArray("earlier sheet"));
            }
        }
    }

    // "印刷" of a graph window opens the dialog on that window's item, orders and message, even
    // when another window drew last.
    void printCommandPrintsItsOwnWindow() {
        QMdiArea area;
        area.resize(1000, 800);
        area.show();
        auto* mainWindow = new Form2(state_, &area);
        mainWindow->showWindow();
        test::choose(mainWindow->Combo1, u"電    流(A)"_s);
        test::choose(mainWindow->Combo2, u"１～９次"_s);
        mainWindow->Text1->setText(u"主"_s);
        Form2* extra = mainWindow->openExtraWindow();
        QVERIFY(extra);
        test::choose(extra->Combo1, u"電圧歪率(%)"_s);
        test::choose(extra->Combo2, u"１～９次"_s);
        QCOMPARE(state_.CurrentItem, int16_t{kVoltageDistortion});

        installPrintDialog(state_, &area);
        PrintSource seen;
        bool setPrint = false;
        QTimer::singleShot(0, this, [&] {
            Form3& dialog = printDialog(state_, &area);
            QVERIFY(dialog.isVisible());
            seen = dialog.source();
            setPrint = dialog.Command3->isEnabled();
            QTest::mouseClick(dialog.Command1, Qt::LeftButton);
        });
        QTest::mouseClick(mainWindow->Command2, Qt::LeftButton);
        QCOMPARE(seen.item, int16_t{kCurrent});
        QVERIFY(seen.message == "主" && seen.orders[0] == 1 && setPrint);
        QVERIFY(printDialog(state_, &area).isHidden());
        Form2::setPrintHandler({});
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestForm3)
#include "test_form3.moc"
