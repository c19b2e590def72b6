// The compliance window over a loaded sample: the first voltage set judged on opening, a current
// set refused without contract power and judged with it, sorting by a column, the copy as
// tab-separated text, and the CSV and PDF it saves.

#include <QClipboard>
#include <QHeaderView>
#include <QTableWidget>

#include "compliance/limits.h"
#include "graph/graph_view.h"
#include "gui_support.h"
#include "ui/compliance_window.h"

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
        QCOMPARE(w.Grid1->rowCount(), 25);  // the total and orders 3..49
        QCOMPARE(w.Grid1->item(0, 0)->text(), u"総合"_s);
        QCOMPARE(w.Grid1->item(3, 0)->text(), u"7次"_s);
        QCOMPARE(w.Grid1->item(3, 7)->text(), u"超過"_s);  // 0.01 % is below any real 7th
        QCOMPARE(w.Grid1->item(4, 4)->text(), u"－"_s);    // the 9th has no limit
        QVERIFY(w.Label1->text().contains(u"最新版と照合"_s));
        const ComplianceRow& seventh = w.report().rows[3];
        QCOMPARE(w.Grid1->item(3, 1)->text().toStdString(), reportNumber(seventh.value, 2));
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
        QCOMPARE(w.report().rows[1].channel, 2);
        test::choose(w.Combo2, u"1ch"_s);
        QCOMPARE(w.report().rows[1].channel, 0);
    }

    void sortsCopiesAndSaves() {
        ComplianceWindow w(state_, catalogue(), viewOn(0));
        // Sorted by the margin: the worst first, the orders without a limit last.
        w.Grid1->sortItems(5, Qt::AscendingOrder);
        const QStringList verdicts = column(w, 7);
        QCOMPARE(verdicts.first(), u"超過"_s);
        QCOMPARE(verdicts.last(), u"－"_s);
        QCOMPARE(verdicts.count(u"－"_s), 22);
        w.Grid1->sortItems(0, Qt::AscendingOrder);
        QCOMPARE(column(w, 0).first(), u"総合"_s);
        QCOMPARE(column(w, 0)[1], u"3次"_s);

        QTest::mouseClick(w.Command2, Qt::LeftButton);
        const QStringList lines =
            QApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 26);
        QCOMPARE(lines[0], u"次数\t95%値\t最大値\t最大の時刻\t限度値\t余裕\t余裕(%)\t判定"_s);
        QVERIFY(lines[1].startsWith(u"総合\t"_s));

        const QString csv = dir_->filePath(u"r.csv"_s);
        QVERIFY(w.saveCsv(csv).ok());
        const QByteArray bytes = test::readBytes(csv);
        QVERIFY(bytes.startsWith(QByteArray("\x8b\xe6\x95\xaa,")));  // "区分," in code page 932
        QCOMPARE(bytes.count("\r\n"), 26);
        const QString pdf = dir_->filePath(u"r.pdf"_s);
        QVERIFY(w.savePdf(pdf).ok());
        QVERIFY(test::readBytes(pdf).startsWith("%PDF"));
        QVERIFY(!w.saveCsv(dir_->filePath(u"none/r.csv"_s)).ok());
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestComplianceWindow)
#include "test_compliance_window.moc"
