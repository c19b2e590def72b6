// The CSV output dialog: pages of the order grid, the items per kind, the odd/even switch, the
// all/none toggle, the grey boxes of orders 257..260, OK and Cancel.

#include "csv/csv_writer.h"
#include "gui_support.h"
#include "platform/qt/check_value.h"
#include "ui/app_controller.h"
#include "ui/csv_orders_dialog.h"

namespace hg {
namespace {

FileKind kindOf(const char* name) {
    return *kindFromName(name, std::nullopt);
}

}  // namespace

class TestCsvOrdersDialog : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<AppController> app_;  // holds the orders the dialog edits
    std::unique_ptr<CsvOrdersDialog> dialog_;

    CsvOrdersDialog& open(const char* fileName) {
        if (!dialog_) dialog_ = std::make_unique<CsvOrdersDialog>(*app_);
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
    QList<int16_t> flags(int from, int count) const {
        const OrderFlags f = app_->jisuFlag();
        return {f.begin() + from, f.begin() + from + count};
    }

  private slots:
    void init() { app_ = test::newApp(); }
    void cleanup() {
        dialog_.reset();
        app_.reset();
    }

    void rowCaptionsAndHeadingsFollowThePage() {
        CsvOrdersDialog& d = open("a.hh2");
        QCOMPARE(rowCaptions(), (QStringList{"+ 0", "+ 10", "+ 20", "+ 30", "+ 40"}));
        QCOMPARE(headings(), (QStringList{"1", "3", "5", "7", "9"}));
        d.VScroll1->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(rowCaptions(), (QStringList{"+ 50", "+ 60", "+ 70", "+ 80", "+ 90"}));
        page(21);
        QCOMPARE(rowCaptions(), (QStringList{"+210", "+220", "+230", "+240", "+250"}));
        test::clickCheckBox(d.Check3);
        QCOMPARE(headings(), (QStringList{"2", "4", "6", "8", "10"}));
    }

    // Per kind: the voltage angle and the per-phase values shown and checked, the pages and the
    // odd/even switch usable, one file per item and the combined current enabled (and left ticked
    // only where enabled); the conversion reads the same choices.
    void itemsAndPagesByKind() {
        struct Case {
            const char* name;
            bool angle, phases, pages, split, combined;
        };
        for (const Case& k : {Case{"a.hv2", true, true, false, false, true},
                              Case{"a.hn1", true, false, true, true, false},
                              Case{"a.hh2", false, false, true, true, true},
                              Case{"a.Rhh2", false, false, true, true, true},
                              Case{"a.hm2", false, false, false, false, true},
                              Case{"a.hm1", false, false, false, false, false},
                              Case{"a.ha6", false, false, false, false, false}}) {
            CsvOrdersDialog& d = open("b.hh2");  // a kind that enables everything, every box ticked
            for (QCheckBox* b : {d.Check2[0], d.Check2[1], d.Check4, d.Check5}) b->setChecked(true);
            d.showFor(kindOf(k.name));
            const auto expected =
                std::tuple(k.name, k.angle, k.phases, k.pages, k.split, k.combined);
            QCOMPARE(
                std::tuple(k.name, d.Check2[0]->isVisible(), d.Check2[1]->isVisible(),
                           d.VScroll1->isEnabled(), d.Check4->isEnabled(), d.Check5->isEnabled()),
                expected);
            QCOMPARE(std::tuple(k.name, d.Check2[0]->isChecked(), d.Check2[1]->isChecked(),
                                d.Check3->isVisible(), d.Check4->isChecked() || k.split,
                                d.Check5->isChecked() || k.combined),
                     expected);
            const CsvOptions o = d.csvOptions();
            QCOMPARE(std::tuple(k.name, o.voltageAngle, o.perPhase, k.pages, o.split, o.combined),
                     expected);
            QCOMPARE(d.VScroll1->value(), 0);
            QVERIFY(!d.Check3->isChecked());
        }
    }

    void oddAndEvenKeepTheirOwnChoices() {
        CsvOrdersDialog& d = open("a.hn2");
        clickBox(0);  // order 1 (entry 0)
        test::clickCheckBox(d.Check3);
        QCOMPARE(box(0), kUnchecked);  // order 2 (entry 1)
        clickBox(1);                   // order 4 (entry 3)
        test::clickCheckBox(d.Check3);
        QVERIFY(box(0) == kChecked && box(1) == kUnchecked);
        test::clickCheckBox(d.Check3);
        QVERIFY(box(0) == kUnchecked && box(1) == kChecked);
        QCOMPARE(flags(0, 4), (QList<int16_t>{1, 0, 0, 1}));
        // Showing the dialog again stores the even page first, then starts on odd orders.
        page(2);
        clickBox(2);  // entry 20 + 1 + 4 = 25, order 26
        d.showFor(kindOf("a.hn2"));
        QCOMPARE(flags(24, 2), (QList<int16_t>{0, 1}));
        QVERIFY(!d.Check3->isChecked() && d.VScroll1->value() == 0 && box(0) == kChecked);
    }

    // Orders 257..260 are grey on the last page of both parities; the toggle never changes them.
    void greyBoxesAndTheToggle() {
        CsvOrdersDialog& d = open("a.hh1");
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
        QTest::mouseClick(d.Command2, Qt::LeftButton);
        QCOMPARE(d.Command2->text(), u"全\uFF81\uFF6A\uFF6F\uFF78解除"_s);
        QCOMPARE(flags(0, 256), QList<int16_t>(256, 1));
        QCOMPARE(box(22), kChecked);
        QTest::mouseClick(d.Command2, Qt::LeftButton);
        QCOMPARE(d.Command2->text(), u"全チェック"_s);
        QCOMPARE(flags(0, 256), QList<int16_t>(256, 0));
        QCOMPARE(flags(256, 4), QList<int16_t>(4, 2));
        QCOMPARE(box(24), kGrey);
    }

    // OK needs an order checked on the shown page; every page is stored in the table, which the
    // first showing loads.
    void okNeedsACheckedOrderOnTheShownPage() {
        OrderFlags drawn = app_->jisuFlag();
        drawn[2] = 1;  // order 3, left there by a graph
        app_->setJisuFlag(drawn);
        CsvOrdersDialog& d = open("a.hh2");
        QCOMPARE(box(1), kChecked);
        clickBox(1);
        QSignalSpy confirmed(&d, &CsvOrdersDialog::confirmed);
        page(10);
        clickBox(3);  // entry 106, order 107
        page(0);
        QCOMPARE(box(1), kUnchecked);
        QTest::mouseClick(d.Command1, Qt::LeftButton);
        QVERIFY(d.isVisible());
        // The last page, whose only marks are its grey boxes.
        page(21);
        QTest::mouseClick(d.Command1, Qt::LeftButton);
        QVERIFY(d.isVisible() && confirmed.isEmpty());
        clickBox(0);  // order 211
        QTest::mouseClick(d.Command1, Qt::LeftButton);
        QVERIFY(d.isHidden() && confirmed.count() == 1);
        QCOMPARE(app_->jisuFlag()[210], 1);
        QCOMPARE(app_->jisuFlag()[106], 1);  // the other page's order 107 is kept
        QCOMPARE(app_->jisuFlag()[2], 0);
    }

    void cancelAnswersAndKeepsTheDialog() {
        CsvOrdersDialog& d = open("a.hm3");
        QSignalSpy cancelled(&d, &CsvOrdersDialog::cancelled);
        clickBox(4);
        QTest::mouseClick(d.Command3, Qt::LeftButton);
        QVERIFY(d.isHidden() && cancelled.count() == 1);
        // Shown again, the same dialog keeps the box (stored on activation).
        open("a.hm3");
        QCOMPARE(box(4), kChecked);
        QCOMPARE(d.csvOptions().orderFlags[8], 1);
        // The close button cancels too.
        d.close();
        QVERIFY(d.isHidden() && cancelled.count() == 2);
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestCsvOrdersDialog)
#include "test_csv_orders_dialog.moc"
