// The compliance window over a loaded sample: the first voltage set judged on opening with its
// overall verdict and window, a current set refused without contract power and judged with it as
// a reference figure, sorting by a column, the copy as tab-separated text, the CSV and PDF it
// saves, the report printed and previewed through the printer row without waiting on the print
// server, and the particulars remembered per recording.

#include <QClipboard>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTableWidget>

#include "compliance/limits.h"
#include "fake_print_service.h"
#include "graph/graph_view.h"
#include "gui_support.h"
#include "platform/qt/csv_save_dialog.h"
#include "platform/qt/print_preview.h"
#include "platform/qt/printer_chooser.h"
#include "print/compliance_report.h"
#include "ui/compliance_window.h"

using namespace std::chrono_literals;

namespace hg {

class TestComplianceWindow : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::shared_ptr<HARMDIM> state_;

    GraphView viewOn(int channel) const {  // a graph window's, not zoomed, without a set
        GraphView view(*state_);
        view.selection().chooseChannel(channel);
        return view;
    }

    static LimitCatalogue catalogue() {
        const std::string set =
            R"({"name": "a-volt", "title": "電圧", "source": "s", "edition": "e", "check": "c",
                "quantity": "voltage_distortion", "total": 3.5, "orders": {"5": 6, "7": 0.01}})";
        const std::string current =
            R"({"name": "b-amp", "title": "電流", "source": "s", "edition": "e", "check": "c",
                "quantity": "current_per_kw", "receiving_kv": 6.6, "orders": {"5": 3.5}})";
        LimitCatalogue c;
        c.sets = {*parseLimitSet(set, "a.json"), *parseLimitSet(current, "b.json")};
        return c;
    }

    QStringList column(const ComplianceWindow& w, int c) const {
        QStringList texts;
        for (int row = 0; row < w.Grid1->rowCount(); ++row) texts << w.Grid1->item(row, c)->text();
        return texts;
    }

  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        dir_ = test::scratchFolder(u"form5"_s);
        state_ = std::make_shared<HARMDIM>();
        QVERIFY(test::loadSample(*state_, dir_->path(), u"s.hm2"_s, 144));
    }

    void judgesTheVoltageSetOnOpening() {
        test::Messages messages;
        ComplianceWindow w(state_, catalogue(), viewOn(2));
        messages.expect();
        QCOMPARE(w.Combo1->currentText(), u"a-volt"_s);
        QVERIFY(!w.Text1->isEnabled());
        QCOMPARE(w.Grid1->rowCount(), 25);  // the total and orders 3..49 of the one window
        QCOMPARE(w.Grid1->item(0, 1)->text(), u"総合"_s);
        QCOMPARE(w.Grid1->item(3, 1)->text(), u"7次"_s);
        QCOMPARE(w.Grid1->item(3, 9)->text(), u"超過"_s);  // 0.01 % is below any real 7th
        QCOMPARE(w.Grid1->item(4, 6)->text(), u"－"_s);    // the 9th has no limit
        QVERIFY(w.Label1->text().contains(u"最新版と照合"_s));
        QVERIFY(w.Label1->text().contains(u"SHA-256"_s));
        QCOMPARE(w.Label2->text(), u"総合判定：超過"_s);
        QVERIFY(w.Label3->text().startsWith(u"窓 1："_s));
        QVERIFY(w.Label3->text().contains(u"予定 144"_s));
        const ComplianceRow& seventh = w.report().assessment.windows[0].rows[3];
        QCOMPARE(w.Grid1->item(3, 3)->text().toStdString(), reportNumber(seventh.value, 2));
    }

    void currentSetNeedsTheContractPower() {
        test::Messages messages;
        ComplianceWindow w(state_, catalogue(), viewOn(2));
        test::choose(w.Combo1, u"b-amp"_s);
        messages.expect(u"契約電力"_s);
        QCOMPARE(w.Grid1->rowCount(), 0);
        QVERIFY(w.Text1->isEnabled());
        QCOMPARE(w.Combo2->currentText(), u"合成"_s);
        w.Text1->setText(u"500"_s);
        w.Text2->setText(u"abc"_s);
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QCOMPARE(messages.texts.size(), 2);
        QVERIFY(messages.texts[1].contains(u"測定点の電圧"_s));
        w.Text2->setText(u"6.6"_s);
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QCOMPARE(messages.texts.size(), 2);
        QCOMPARE(w.Grid1->rowCount(), 24);
        QCOMPARE(w.report().assessment.windows[0].rows[1].channel, 2);
        QVERIFY2(w.Label2->text().startsWith(u"総合判定：参考"_s), qPrintable(w.Label2->text()));
        QVERIFY(w.Label1->text().contains(u"実測による参考値"_s));
        test::choose(w.Combo2, u"1ch"_s);
        QCOMPARE(w.report().assessment.windows[0].rows[1].channel, 0);
    }

    void sortsCopiesAndSaves() {
        ComplianceWindow w(state_, catalogue(), viewOn(0));
        // Sorted by the margin: the worst first, the orders without a limit last.
        w.Grid1->sortItems(7, Qt::AscendingOrder);
        const QStringList verdicts = column(w, 9);
        QCOMPARE(verdicts.first(), u"超過"_s);
        QCOMPARE(verdicts.last(), u"－"_s);
        QCOMPARE(verdicts.count(u"－"_s), 22);
        w.Grid1->sortItems(1, Qt::AscendingOrder);
        QCOMPARE(column(w, 1).first(), u"総合"_s);
        QCOMPARE(column(w, 1)[1], u"3次"_s);

        QTest::mouseClick(w.Command2, Qt::LeftButton);
        const QStringList lines =
            QApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 26);
        QCOMPARE(lines[0],
                 u"窓\t次数\t条件\t判定値\t最大値\t最大の時刻\t限度値\t余裕\t余裕率(%)\t判定"_s);
        QVERIFY(lines[1].startsWith(u"1\t総合\t95%値×1.0\t"_s));

        const QString csv = dir_->filePath(u"r.csv"_s);
        QVERIFY(w.saveCsv(csv).ok());
        const QByteArray bytes = test::readBytes(csv);
        QVERIFY(bytes.startsWith(QByteArray("\x8d\x80\x96\xda,")));  // "項目," in code page 932
        QVERIFY(bytes.contains(QByteArray("\r\n\r\n\x91\x8b,")));    // the table after a blank line
        // CSV保存 with the UTF-8 file type: the same report in UTF-8 after its byte-order mark.
        const QString utf8 = dir_->filePath(u"u.csv"_s);
        test::answerSaveDialog(utf8, csvFileType(TextEncoding::Utf8));
        QTest::mouseClick(w.Command3, Qt::LeftButton);
        QVERIFY(test::readBytes(utf8).startsWith("\xEF\xBB\xBF" + u"項目,内容\r\n"_s.toUtf8()));

        const QString pdf = dir_->filePath(u"r.pdf"_s);
        QVERIFY(w.savePdf(pdf).ok());
        QVERIFY(test::readBytes(pdf).startsWith("%PDF"));
        QVERIFY(!w.saveCsv(dir_->filePath(u"none/r.csv"_s)).ok());
    }

    // 印刷 sends the report as one named A4 job through the printer row: the click returns while
    // the server has not answered, and the window shows it sending until the job is printed. The
    // preview shows the report's pages.
    void printsTheReportWithoutWaiting() {
        ComplianceWindow w(state_, catalogue(), viewOn(0));
        auto service = std::make_shared<test::FakePrintService>();
        service->answer = test::FakePrintService::Answer::Hang;
        w.Printer->setService(service, 5000ms);
        w.Printer->refresh();
        QTRY_VERIFY(!w.Printer->isFetching());
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(w.Command4, Qt::LeftButton);
        qInfo("適合判定 印刷 returned after %lld ms with the server hung", clock.elapsed());
        QTRY_COMPARE(service->waiting(), 1);
        QVERIFY(w.Printer->isBusy() && !w.Command4->isEnabled() && w.Command2->isEnabled());
        service->release();
        QTRY_VERIFY(!w.Printer->isBusy());
        QCOMPARE(service->printed(), std::size_t{1});
        QCOMPARE(service->jobs().at(0).title, u"harmograph – 適合判定"_s);
        QCOMPARE(service->jobs().at(0).page, PageSetup{});

        QTest::mouseClick(w.Command7, Qt::LeftButton);
        auto* preview = w.findChild<PrintPreview*>();
        QVERIFY(preview);
        QCOMPARE(preview->pageCount(), complianceReportPages(w.report()));
        preview->close();
    }

    void particularsAreRememberedPerRecording() {
        {
            ComplianceWindow w(state_, catalogue(), viewOn(0));
            QTest::mouseClick(w.Command6, Qt::LeftButton);
            QDialog* dialog = w.metaDialog();
            QVERIFY(dialog);
            dialog->findChild<QLineEdit*>(u"site"_s)->setText(u"第二変電所"_s);
            dialog->findChild<QLineEdit*>(u"vt_ratio"_s)->setText(u"6600/110"_s);
            for (QPushButton* b : dialog->findChildren<QPushButton*>())
                if (b->text().contains(u"OK"_s)) QTest::mouseClick(b, Qt::LeftButton);
            QCOMPARE(w.report().meta.site, std::string("第二変電所"));
        }
        ComplianceWindow again(state_, catalogue(), viewOn(0));
        QCOMPARE(again.report().meta.site, std::string("第二変電所"));
        QCOMPARE(again.report().meta.vtRatio, std::string("6600/110"));
        const auto particulars = reportParticulars(again.report());
        QVERIFY(std::find(particulars.begin(), particulars.end(),
                          std::pair<std::string, std::string>{"場所", "第二変電所"}) !=
                particulars.end());
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestComplianceWindow)
#include "test_compliance_window.moc"
