// The CSV output dialog: captions and pages of the order grid, the items per kind, the odd/even
// switch, the all/none toggle, the grey boxes of orders 257..260, OK and Cancel.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>

#include "analysis/harmdim.h"
#include "csv/Form4.h"
#include "csv/csv_writer.h"
#include "gui_support.h"
#include "platform/qt/check_value.h"

namespace hg {

namespace {

FileKind kindOf(const char* name) {
    return *kindFromName(name, std::nullopt);
}

}  // namespace

class TestForm4 : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<HARMDIM> state_;
    std::unique_ptr<Form4> dialog_;

    Form4& open(const char* fileName) {
        if (!dialog_) dialog_ = std::make_unique<Form4>(*state_);
        dialog_->showFor(kindOf(fileName));
        return *dialog_;
    }

    QStringList rowCaptions() const {
        QStringList captions;
        for (int r = 0; r < 5; ++r) captions << dialog_->Check1[5 * r]->text();
        return captions;
    }
    QStringList headings() const {
        QStringList texts;
        for (QLabel* label : dialog_->Label4) texts << label->text();
        return texts;
    }
    void clickBox(int i) { test::clickCheckBox(dialog_->Check1[i]); }
    int16_t box(int i) const { return checkValue(*dialog_->Check1[i]); }
    void page(int v) { dialog_->VScroll1->setValue(v); }

  private slots:
    void init() { state_ = std::make_unique<HARMDIM>(); }
    void cleanup() {
        dialog_.reset();
        state_.reset();
    }

    void captionsRowsAndHeadings() {
        Form4& d = open("a.hh2");
        QCOMPARE(d.windowTitle(), QStringLiteral("ＣＳＶファイル出力次数"));
        QCOMPARE(d.Label1->text(),
                 QStringLiteral("ＣＳＶファイルへの出力項目をチェックして下さい。"));
        QCOMPARE(d.Label2->text(), QStringLiteral("\uFF65高調波次数"));
        QCOMPARE(d.Command2->text(), QStringLiteral("全チェック"));
        QCOMPARE(d.Command3->text(), QStringLiteral("キャンセル"));
        QCOMPARE(d.VScroll1->minimum(), 0);
        QCOMPARE(d.VScroll1->maximum(), 21);
        QCOMPARE(d.VScroll1->pageStep(), 5);
        QCOMPARE(rowCaptions(), (QStringList{"+ 0", "+ 10", "+ 20", "+ 30", "+ 40"}));
        QCOMPARE(headings(), (QStringList{"1", "3", "5", "7", "9"}));

        d.VScroll1->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(d.VScroll1->value(), 5);
        QCOMPARE(rowCaptions(), (QStringList{"+ 50", "+ 60", "+ 70", "+ 80", "+ 90"}));
        d.VScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(rowCaptions(), (QStringList{"+ 60", "+ 70", "+ 80", "+ 90", "+100"}));
        page(21);
        QCOMPARE(rowCaptions(), (QStringList{"+210", "+220", "+230", "+240", "+250"}));
        test::clickCheckBox(d.Check3);
        QCOMPARE(headings(), (QStringList{"2", "4", "6", "8", "10"}));
        QCOMPARE(d.Check3->text(), QStringLiteral("偶数次"));
    }

    void itemsAndPagesByKind_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("angle");     // Check2(0) shown and checked
        QTest::addColumn<bool>("phases");    // Check2(1) shown and checked
        QTest::addColumn<bool>("pages");     // the bar and the odd/even switch usable
        QTest::addColumn<bool>("split");     // Check4 enabled
        QTest::addColumn<bool>("combined");  // Check5 enabled
        QTest::newRow("hv2") << "a.hv2" << true << true << false << false << true;
        QTest::newRow("hn1") << "a.hn1" << true << false << true << true << false;
        QTest::newRow("hh2") << "a.hh2" << false << false << true << true << true;
        QTest::newRow("hm2") << "a.hm2" << false << false << false << false << true;
        QTest::newRow("hm1") << "a.hm1" << false << false << false << false << false;
        QTest::newRow("ha6") << "a.ha6" << false << false << false << false << false;
        QTest::newRow("Rhh2 by the reading rule")
            << "a.Rhh2" << false << false << true << true << true;
    }
    void itemsAndPagesByKind() {
        QFETCH(QString, name);
        QFETCH(bool, angle);
        QFETCH(bool, phases);
        QFETCH(bool, pages);
        QFETCH(bool, split);
        QFETCH(bool, combined);
        // Open once for a kind that enables everything, tick every box, then for the kind.
        Form4& d = open("b.hh2");
        for (QCheckBox* b : {d.Check2[0], d.Check2[1], d.Check4, d.Check5}) b->setChecked(true);
        d.showFor(kindOf(name.toLatin1().constData()));
        QCOMPARE(d.Check2[0]->isVisible(), angle);
        QCOMPARE(d.Check2[0]->isChecked(), angle);
        QCOMPARE(d.Check2[1]->isVisible(), phases);
        QCOMPARE(d.Check2[1]->isChecked(), phases);
        QCOMPARE(d.VScroll1->isEnabled(), pages);
        QCOMPARE(d.Check3->isVisible(), pages);
        QCOMPARE(d.Check4->isEnabled(), split);
        if (!split) QVERIFY(!d.Check4->isChecked());
        QCOMPARE(d.Check5->isEnabled(), combined);
        if (!combined) QVERIFY(!d.Check5->isChecked());
        QCOMPARE(d.VScroll1->value(), 0);
        QVERIFY(!d.Check3->isChecked());
        // The conversion reads the same choices.
        const CsvOptions options = d.csvOptions();
        QCOMPARE(options.voltageAngle, angle);
        QCOMPARE(options.perPhase, phases);
        QCOMPARE(options.split, split);
        QCOMPARE(options.combined, combined);
    }

    void pagesStoreAndLoadTheTable() {
        state_->JisuFlag[2] = 1;  // order 3, left there by a graph
        open("a.hh2");
        QCOMPARE(box(1), kChecked);  // the first load keeps what the table holds
        clickBox(0);                 // order 1
        page(3);
        QCOMPARE(box(0), kUnchecked);
        clickBox(24);  // entry 30 + 48 = 78, order 79
        page(0);
        QCOMPARE(box(0), kChecked);
        QCOMPARE(state_->JisuFlag[0], 1);
        QCOMPARE(state_->JisuFlag[78], 1);
        page(3);
        QCOMPARE(box(24), kChecked);
    }

    void oddAndEvenKeepTheirOwnChoices() {
        Form4& d = open("a.hn2");
        clickBox(0);  // order 1 (entry 0)
        test::clickCheckBox(d.Check3);
        QCOMPARE(box(0), kUnchecked);  // order 2 (entry 1)
        clickBox(1);                   // order 4 (entry 3)
        test::clickCheckBox(d.Check3);
        QCOMPARE(box(0), kChecked);
        QCOMPARE(box(1), kUnchecked);
        test::clickCheckBox(d.Check3);
        QCOMPARE(box(0), kUnchecked);
        QCOMPARE(box(1), kChecked);
        QCOMPARE(state_->JisuFlag[0], 1);
        QCOMPARE(state_->JisuFlag[1], 0);
        QCOMPARE(state_->JisuFlag[2], 0);
        QCOMPARE(state_->JisuFlag[3], 1);

        // Showing the dialog again stores the even page first, then starts on odd orders.
        page(2);
        clickBox(2);  // entry 20 + 1 + 4 = 25, order 26
        d.showFor(kindOf("a.hn2"));
        QCOMPARE(state_->JisuFlag[25], 1);
        QCOMPARE(state_->JisuFlag[24], 0);
        QVERIFY(!d.Check3->isChecked());
        QCOMPARE(d.VScroll1->value(), 0);
        QCOMPARE(box(0), kChecked);
    }

    void greyBoxesOfTheLastPage() {
        Form4& d = open("a.hh1");
        page(21);
        for (int i = 0; i < 25; ++i) {
            const bool grey = i >= 23;  // entries 256 and 258
            QCOMPARE(box(i), grey ? kGrey : kUnchecked);
            QCOMPARE(d.Check1[i]->isEnabled(), !grey);
        }
        clickBox(23);
        QCOMPARE(box(23), kGrey);
        test::clickCheckBox(d.Check3);
        QCOMPARE(box(23), kGrey);  // entry 257
        QCOMPARE(box(24), kGrey);  // entry 259
        QCOMPARE(box(22), kUnchecked);
        for (int e = 256; e < 260; ++e) QCOMPARE(state_->JisuFlag[e], 2);
    }

    void toggleSetsEveryOrderButNeverTheGreyOnes() {
        Form4& d = open("a.hh1");
        page(21);
        QTest::mouseClick(d.Command2, Qt::LeftButton);
        QCOMPARE(d.Command2->text(), QStringLiteral("全\uFF81\uFF6A\uFF6F\uFF78解除"));
        QCOMPARE(d.Command2Tag, QStringLiteral("0"));
        for (int e = 0; e < 256; ++e) QCOMPARE(state_->JisuFlag[e], 1);
        for (int e = 256; e < 260; ++e) QCOMPARE(state_->JisuFlag[e], 2);
        QCOMPARE(box(0), kChecked);
        QCOMPARE(box(24), kGrey);

        QTest::mouseClick(d.Command2, Qt::LeftButton);
        QCOMPARE(d.Command2->text(), QStringLiteral("全チェック"));
        QCOMPARE(d.Command2Tag, QStringLiteral("1"));
        for (int e = 0; e < 256; ++e) QCOMPARE(state_->JisuFlag[e], 0);
        for (int e = 256; e < 260; ++e) QCOMPARE(state_->JisuFlag[e], 2);
        QCOMPARE(box(0), kUnchecked);
        QCOMPARE(box(23), kGrey);
    }

    void okNeedsACheckedOrderOnTheShownPage() {
        Form4& d = open("a.hh2");
        QSignalSpy confirmed(&d, &Form4::confirmed);
        // Nothing checked anywhere.
        QTest::mouseClick(d.Command1, Qt::LeftButton);
        QVERIFY(d.isVisible());
        // Orders checked on another page only.
        page(10);
        clickBox(3);  // entry 106, order 107
        page(0);
        QTest::mouseClick(d.Command1, Qt::LeftButton);
        QVERIFY(d.isVisible());
        // The last page, whose only marks are its grey boxes.
        page(21);
        QTest::mouseClick(d.Command1, Qt::LeftButton);
        QVERIFY(d.isVisible());
        QCOMPARE(confirmed.count(), 0);
        QCOMPARE(state_->CsvDialogResult, 0);

        clickBox(0);  // order 211
        QTest::mouseClick(d.Command1, Qt::LeftButton);
        QVERIFY(d.isHidden());
        QCOMPARE(confirmed.count(), 1);
        QCOMPARE(state_->CsvDialogResult, 1);
        QCOMPARE(state_->JisuFlag[210], 1);
        QCOMPARE(state_->JisuFlag[106], 1);  // the other page's order 107 is kept
    }

    void cancelClearsTheResultAndKeepsTheDialog() {
        Form4& d = open("a.hm3");
        QSignalSpy cancelled(&d, &Form4::cancelled);
        clickBox(4);
        state_->CsvDialogResult = 1;
        QTest::mouseClick(d.Command3, Qt::LeftButton);
        QVERIFY(d.isHidden());
        QCOMPARE(state_->CsvDialogResult, 0);
        QCOMPARE(cancelled.count(), 1);
        // Shown again, the same dialog keeps the box (stored on activation).
        open("a.hm3");
        QCOMPARE(box(4), kChecked);
        QCOMPARE(state_->JisuFlag[8], 1);
        QCOMPARE(d.boxValues()[4], 1);
        QCOMPARE(d.csvOptions().firstPage[4], 1);
        QCOMPARE(d.csvOptions().orderFlags[8], 1);
        // The close button cancels too.
        state_->CsvDialogResult = 1;
        d.close();
        QVERIFY(d.isHidden());
        QCOMPARE(state_->CsvDialogResult, 0);
        QCOMPARE(cancelled.count(), 2);
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestForm4)
#include "test_form4.moc"
