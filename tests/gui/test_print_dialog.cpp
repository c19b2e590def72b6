// The print dialog printing into PDF files read back with poppler and to a fake print service:
// the item boxes per kind, one sheet, a set, thirds and eject, the page set-up, the preview,
// failures, and a print server that hangs, holds or aborts jobs.
#include <QElapsedTimer>
#include <QPageSize>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <atomic>
#include <mutex>
#include <thread>

#include "fake_print_service.h"
#include "gui_support.h"
#include "platform/qt/print_preview.h"
#include "platform/qt/printer_chooser.h"
#include "ui/print_dialog.h"

using namespace std::chrono_literals;

namespace hg {
using test::FakePrintService;
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
    QSizeF points;  // the first page's size
};

PdfFacts readPdf(const QString& path) {
    const QString info = run(u"pdfinfo"_s, {path});  // "Page size: 841.89 x 595.276 pts (A4)"
    const auto size = QRegularExpression(u"Page size: *([\\d.]+) x ([\\d.]+)"_s).match(info);
    const QSizeF points(size.captured(1).toDouble(), size.captured(2).toDouble());
    return {QRegularExpression(u"Pages: *(\\d+)"_s).match(info).captured(1).toInt(),
            points.width() > points.height(), run(u"pdftotext"_s, {path, u"-"_s}), points};
}

}  // namespace

class TestPrintDialog : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> dir_ = test::scratchFolder(u"form3"_s);
    std::shared_ptr<HARMDIM> analysis_ = std::make_shared<HARMDIM>();
    QStringList errors_;
    QString pdfName_;
    int pdfCount_ = 0;
    QStringList questions_;
    bool confirm_ = true;

    PrintSource sourceFor(int16_t item) const {
        PrintSource s = printSourceOf(*analysis_);
        s.item = item;
        s.orders.fill(0);
        for (std::size_t k = 0; k < 5; ++k) s.orders[k] = 1;
        s.message = "試験";
        return s;
    }

    // A dialog printing to PDF files named by the test, with failures collected.
    std::unique_ptr<PrintDialog> dialog() {
        auto form = std::make_unique<PrintDialog>();
        form->CheckPdf->setChecked(true);
        form->askPdfFileName = [this] {
            return pdfName_ = dir_->filePath(u"sheet%1.pdf"_s.arg(++pdfCount_));
        };
        form->reportError = [this](const QString& m) { errors_.append(m); };
        form->runPageSetup = [](PageSetup&) { return false; };
        form->setSource(analysis_, sourceFor(kVoltageDistortion));
        return form;
    }

    static void press(PrintDialog& form, QAbstractButton* button) {
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(button, Qt::LeftButton);
    }

  private slots:
    void initTestCase() {
        QVERIFY(test::loadSample(*analysis_, dir_->path(), u"sample.ha4"_s, 144));
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
            PrintSource source;
            source.filePath = std::string("/data/") + k.name;
            PrintDialog form;
            form.setSource(nullptr, source);
            QCOMPARE(std::tuple(k.name, form.Check1[8]->isEnabled(), form.Check1[9]->isEnabled(),
                                form.Check1[15]->isEnabled()),
                     std::tuple(k.name, k.voltageAngle, k.currentAngle, k.predictedAngle));
            for (std::size_t i : {0, 1, 2, 3, 4, 5, 6, 7, 10, 13, 14})
                QVERIFY(form.Check1[i]->isEnabled());
            QVERIFY(form.Check1[11]->isHidden() && !form.Check1[11]->isEnabled());
        }
        // Opened again for a file of another kind, the dialog decides again.
        PrintSource source;
        source.filePath = "/data/x.ha4";
        PrintDialog form;
        form.setSource(nullptr, source);
        form.Check1[9]->setChecked(true);
        source.filePath = "/data/x.ha5";
        form.setSource(nullptr, source);
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
            form->setSource(analysis_, sourceFor(items[n]));
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

    // A zoomed window's range is offered as "表示範囲"; "全期間", the default, prints as a window
    // that is not zoomed does.
    void shownRangeOrWholePeriod() {
        auto form = dialog();
        QVERIFY(!form->Option2[0]->isEnabled() && form->Option2[1]->isChecked());
        press(*form, form->Command2);
        const QString whole = readPdf(pdfName_).text;
        PrintSource zoomed = sourceFor(kVoltageDistortion);
        zoomed.range = ShownRange{120, 480};
        form->setSource(analysis_, zoomed);
        QVERIFY(form->Option2[0]->isEnabled() && form->Option2[1]->isChecked());
        press(*form, form->Command2);
        QCOMPARE(readPdf(pdfName_).text, whole);
        press(*form, form->Option2[0]);
        press(*form, form->Command2);
        const QString shown = readPdf(pdfName_).text;
        QVERIFY(!shown.isEmpty() && shown != whole);
        form->setSource(analysis_, zoomed);  // every opening starts with the whole period
        QVERIFY(form->Option2[1]->isChecked());
    }

    void oneSheetAndSetPrint() {
        auto form = dialog();
        form->setSource(analysis_, sourceFor(kCurrent));
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
        // The set-up cancelled: the dialog's orientation goes back to the page set-up.
        press(*form, form->Option1[1]);
        bool accept = false;
        form->runPageSetup = [&accept](PageSetup& setup) {
            setup = PageSetup{Paper::A3, false};
            return accept;
        };
        press(*form, form->Command4);
        QCOMPARE(form->orientation(), 2);
        QCOMPARE(form->pageSetup(), (PageSetup{Paper::A4, true}));
        accept = true;
        press(*form, form->Command4);
        QVERIFY(form->Option1[0]->isChecked() && form->isVisible());
        // The paper chosen is the sheet's paper, and is remembered as Qt's page size.
        press(*form, form->Command2);
        const QSizeF a3 = readPdf(pdfName_).points;
        QVERIFY2(qAbs(a3.width() - 841.9) < 1 && qAbs(a3.height() - 1190.6) < 1,
                 qPrintable(u"%1 x %2"_s.arg(a3.width()).arg(a3.height())));
        QCOMPARE(form->printSetup().paper, static_cast<int>(QPageSize::A3));
        PrintDialog next;
        next.applyPrintSetup(PrintSetup{{}, QPageSize::JisB5, 2});
        QCOMPARE(next.pageSetup(), (PageSetup{Paper::B5, true}));
    }

    // The preview shows the one-sheet print as it will be sent; its 印刷 sends that document.
    void previewShowsTheSheetAndPrintsIt() {
        auto form = dialog();
        const int files = pdfCount_;
        press(*form, form->CommandPreview);
        auto* preview = form->findChild<PrintPreview*>();
        QVERIFY(preview && preview->isVisible());
        QCOMPARE(preview->pageCount(), 1);
        QCOMPARE(pdfCount_, files);  // nothing sent yet
        QTest::mouseClick(preview->Print, Qt::LeftButton);
        QCOMPARE(pdfCount_, files + 1);
        QVERIFY(readPdf(pdfName_).text.contains("電圧歪率(%)"));
        QTRY_VERIFY(!form->findChild<PrintPreview*>());  // closed (and gone)
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
        // No printer in the system: refused with a message.
        auto none = std::make_shared<FakePrintService>();
        none->list.printers.clear();
        form->setPrintService(none);
        form->CheckPdf->setChecked(false);
        form->hide();
        press(*form, form->Command5);
        QTRY_COMPARE(errors_.size(), 1);
        QVERIFY2(errors_[0].contains("プリンタが見つかりません"), qPrintable(errors_.join('|')));
        QCOMPARE(form->thirdCount(), int16_t{0});
        QVERIFY(form->isVisible());
    }

    // A dialog printing to the fake print service's printers.
    std::unique_ptr<PrintDialog> printerDialog(std::shared_ptr<FakePrintService> service) {
        auto form = dialog();
        form->CheckPdf->setChecked(false);
        form->setPrintService(service, 400ms, {400ms, 400ms});
        form->confirmSend = [this](const QString& q) {
            questions_.append(q);
            return confirm_;
        };
        return form;
    }

    // Each way a job can fail gives its message naming the printer and the reason: refused, held
    // (pending-held is not printed), aborted by a failing backend. The sheet is not counted as
    // printed: a thirds sheet stays open and "排出" sends it again.
    void printerFailuresAreReportedAndKeepTheThirdsSheet() {
        struct Case {
            const char* name;
            FakePrintService::Answer answer;
            JobStatus status;
            const char* message;
        };
        const Case cases[] = {
            {"refused",
             FakePrintService::Answer::Refuse,
             {JobState::Completed, {}},
             "プリンタ「q0」に印刷できません: client-error-not-accepting-jobs"},
            {"held",
             FakePrintService::Answer::Accept,
             {JobState::Held, u"job-hold-until-specified"_s},
             "プリンタ「q0」のジョブ 1 は保留されています: job-hold-until-specified"},
            {"failing backend",
             FakePrintService::Answer::Accept,
             {JobState::Aborted, u"backend failed (aborted-by-system)"_s},
             "プリンタ「q0」のジョブ 1 は印刷されませんでした: backend failed (aborted-by-system)"},
        };
        for (const Case& c : cases) {
            auto service = std::make_shared<FakePrintService>();
            service->answer = c.answer;
            service->status = c.status;
            auto form = printerDialog(service);
            errors_.clear();
            press(*form, form->Command2);
            QTRY_COMPARE(errors_, QStringList{QString::fromUtf8(c.message)});
            QVERIFY2(form->isVisible() && !form->isSending(), c.name);  // not printed: it stays
            for (int n = 0; n < 3; ++n) press(*form, form->Command5);
            QTRY_COMPARE(errors_.size(), 2);
            QVERIFY2(form->thirdSheetUnsent() && form->thirdCount() == 2, c.name);
            QVERIFY(form->Command6->isVisible() && !form->Command5->isEnabled());
            // The printer takes it now: "排出" sends the kept sheet, named for its item once.
            service->answer = FakePrintService::Answer::Accept;
            service->status = {JobState::Completed, {}};
            press(*form, form->Command6);
            QTRY_VERIFY(!form->thirdSheetOpen());
            QCOMPARE(errors_.size(), 2);
            QVERIFY(form->thirdCount() == 0 && form->Command5->isEnabled() && form->isHidden());
            const PrintJob job = service->jobs().back();
            QCOMPARE(job.title, u"harmograph – sample.ha4 電圧歪率"_s);
            QCOMPARE(job.page, PageSetup{});  // A4 portrait: the media the job carries
            QVERIFY(job.pdf.startsWith("%PDF"));
        }
    }

    // A server that takes a job and never answers. The click returns at once; the dialog says it
    // is sending and offers 中止, and is usable again at the limit, telling that the job may
    // still print. When the server answers the job is cancelled: nothing prints. A cancel the
    // server does not confirm is told, and a kept thirds sheet is sent again only when the user
    // says so. 中止 while sending gives the job up at once, cancelled the same way.
    void hungServerJobsAreCancelledNotPrinted() {
        auto service = std::make_shared<FakePrintService>();
        service->answer = FakePrintService::Answer::Hang;
        auto form = printerDialog(service);
        form->setPrintService(service, 400ms, {1500ms, 400ms});
        QElapsedTimer clock;
        clock.start();
        press(*form, form->Command2);
        qInfo("1枚印刷 returned after %lld ms with the server hung", clock.elapsed());
        QTRY_COMPARE(service->waiting(), 1);
        QVERIFY(form->isSending() && form->Printer->Abort->isVisible());
        QCOMPARE(form->Printer->Status->text(), u"送信中…"_s);
        QVERIFY(!form->Command2->isEnabled() && form->Command1->isEnabled());
        QTRY_VERIFY(!form->isSending());
        QCOMPARE(errors_.size(), 1);
        QVERIFY(errors_[0].contains("印刷サーバーが応答しません") &&
                errors_[0].contains("印刷されることがあります"));
        QVERIFY(form->isVisible() && form->Command2->isEnabled());
        // 中止 while sending.
        press(*form, form->Command3);
        QTRY_COMPARE(service->waiting(), 2);
        QTest::mouseClick(form->Printer->Abort, Qt::LeftButton);
        QVERIFY(!form->isSending() && form->Command3->isEnabled() && form->isVisible());
        QCOMPARE(errors_.size(), 1);
        service->release();
        QTRY_COMPARE(service->cancelled().size(), std::size_t{2});
        QCOMPARE(service->printed(), std::size_t{0});
        QCOMPARE(errors_.size(), 1);  // both cancels confirmed: nothing more to tell

        // The thirds sheet: timed out, its cancel not confirmed.
        auto hung = std::make_shared<FakePrintService>();
        hung->answer = FakePrintService::Answer::Hang;
        hung->cancelConfirms = false;
        form->setPrintService(hung, 400ms, {300ms, 400ms});
        for (int n = 0; n < 3; ++n) press(*form, form->Command5);
        QTRY_VERIFY(form->thirdSheetUnsent());
        hung->release();
        QTRY_COMPARE(errors_.size(), 3);
        QVERIFY(errors_[2].contains("取り消せませんでした"));
        questions_.clear();
        confirm_ = false;
        hung->answer = FakePrintService::Answer::Accept;
        press(*form, form->Command6);
        QCOMPARE(questions_.size(), 1);
        QVERIFY(questions_[0].contains("取り消しを確認できていません"));
        QVERIFY(form->thirdSheetUnsent() && hung->jobs().size() == 1);
        confirm_ = true;
        press(*form, form->Command6);
        QTRY_VERIFY(!form->thirdSheetOpen());
        QCOMPARE(hung->jobs().size(), std::size_t{2});
    }

    // A server that accepts connections and never answers, from the start: every action of the
    // dialog returns at once and leaves it usable (the times are printed); a print waits for the
    // printer list off the window thread, and 中止 drops it.
    void everyActionReturnsWhileTheServerHangs() {
        auto service = std::make_shared<FakePrintService>();
        service->listHangs = true;
        auto form = printerDialog(service);
        form->setPrintService(service, 60000ms, {60000ms, 400ms});
        form->runPageSetup = [](PageSetup& setup) {
            setup.paper = Paper::B4;
            return true;
        };
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTRY_COMPARE(service->waiting(), 1);
        QStringList times;
        const auto click = [&](const char* what, QAbstractButton* button) {
            QElapsedTimer clock;
            clock.start();
            QTest::mouseClick(button, Qt::LeftButton);
            times << u"%1 %2 ms"_s.arg(QString::fromUtf8(what)).arg(clock.elapsed());
        };
        click("ﾌﾟﾘﾝﾀ設定", form->Command4);
        click("印刷プレビュー", form->CommandPreview);
        QVERIFY(form->findChild<PrintPreview*>());
        click("1枚印刷", form->Command2);
        QCOMPARE(form->Printer->Status->text(), u"プリンタを確認中…"_s);
        click("中止", form->Printer->Abort);
        QVERIFY(!form->isSending());
        click("ｾｯﾄ印刷", form->Command3);
        click("白黒印刷", form->Check2);
        click("ｷｬﾝｾﾙ", form->Command1);
        qInfo("with the server hung: %s", qPrintable(times.join(u", "_s)));
        QCOMPARE(form->pageSetup().paper, Paper::B4);
        QVERIFY(form->Check2->isChecked() && form->isHidden() && service->jobs().empty());
        service->release();
    }

    // A stopped, rejecting or offline printer is named with its state before a job goes to it.
    void notReadyPrinterIsAskedAbout() {
        auto service = std::make_shared<FakePrintService>();
        service->list.printers[0].state = PrinterState::Stopped;
        auto form = printerDialog(service);
        questions_.clear();
        confirm_ = false;
        press(*form, form->Command2);
        QTRY_COMPARE(questions_,
                     QStringList{u"プリンタ「q0」は停止中です。印刷ジョブを送りますか？"_s});
        QVERIFY(service->jobs().empty() && errors_.isEmpty() && form->isVisible());
        confirm_ = true;
        press(*form, form->Command2);
        QTRY_COMPARE(service->jobs().size(), std::size_t{1});
        QTRY_VERIFY(form->isHidden());
        // A printer that is printing takes the job without a question.
        service->list.printers[0].state = PrinterState::Printing;
        questions_.clear();
        press(*form, form->Command2);
        QTRY_COMPARE(form->Printer->Combo->itemText(0), u"q0（印刷中）"_s);
        QTRY_COMPARE(service->jobs().size(), std::size_t{2});
        QVERIFY(questions_.isEmpty());
        // The job is named, and its PDF carries the name as its title.
        QFile pdf(dir_->filePath(u"job.pdf"_s));
        QVERIFY(pdf.open(QIODevice::WriteOnly));
        pdf.write(service->jobs()[0].pdf);
        pdf.close();
        const QString info = run(u"pdfinfo"_s, {pdf.fileName()});
        QVERIFY2(info.contains(QRegularExpression(u"Title: +harmograph – sample.ha4 電圧歪率\n"_s)),
                 qPrintable(info));
    }

    // The list comes off the window thread: the dialog answers clicks while the server is slow,
    // shows the printers with their states (default first), and the choice holds for the run.
    void windowStaysResponsiveWhileThePrinterListIsSlow() {
        auto service = std::make_shared<FakePrintService>();
        service->listDelay = 1500ms;
        auto form = printerDialog(service);
        form->setPrintService(service, 5000ms, {400ms, 400ms});
        QElapsedTimer clock;
        clock.start();
        press(*form, form->Check1[5]);
        QVERIFY(!form->Check1[5]->isChecked());  // the click was taken at once
        QVERIFY(clock.elapsed() < 1000 && form->Printer->isFetching());
        QCOMPARE(form->Printer->Combo->currentText(), u"確認中…"_s);
        QTRY_VERIFY_WITH_TIMEOUT(!form->Printer->isFetching(), 5000);
        QCOMPARE(form->Printer->Combo->itemText(0), u"q0（待機中）"_s);
        QCOMPARE(form->Printer->Combo->itemText(1), u"q1（ジョブ拒否中）"_s);
        // Another queue chosen: the next dialog of the run goes there too.
        form->Printer->Combo->setCurrentIndex(1);
        emit form->Printer->Combo->activated(1);
        service->listDelay = 0ms;
        auto next = printerDialog(service);
        press(*next, next->Command1);
        QTRY_VERIFY(!next->Printer->isFetching());
        QCOMPARE(next->Printer->chosen()->name, u"q1"_s);
        // A server that does not answer in time: its own message, and no freeze.
        service->listDelay = 3000ms;
        auto late = printerDialog(service);
        clock.restart();
        press(*late, late->Command2);
        QVERIFY(clock.elapsed() < 2000);
        QTRY_VERIFY(!errors_.isEmpty() &&
                    errors_.last() == u"印刷できません: 印刷サーバーが応答しません"_s);
        QCOMPARE(late->Printer->Combo->currentText(), u"印刷サーバーが応答しません"_s);
        service->listDelay = 0ms;
        emit form->Printer->Combo->activated(0);  // the default again for the other tests
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
};

}  // namespace hg

QTEST_MAIN(hg::TestPrintDialog)
#include "test_print_dialog.moc"
