// The graph window on recordings written by the sample generator and loaded as Execute loads them.
#include <QClipboard>
#include <QMainWindow>
#include <QMdiArea>

#include "gui_support.h"
#include "ui/graph_window.h"

namespace hg {

using test::choose;
using test::clickCheckBox;

class TestGraphWindow : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> dir_ = test::scratchFolder(u"form2"_s);
    test::MdiFrame mdi_;
    QMdiArea* area_ = nullptr;
    std::weak_ptr<const HARMDIM> loaded_;  // the analysis of the last window opened

    // A graph window of a freshly loaded sample in the shown frame.
    GraphWindow* open(const QString& name, int64_t records = 12) {
        auto state = std::make_shared<HARMDIM>();
        if (!test::loadSample(*state, dir_->path(), name, records)) return nullptr;
        loaded_ = state;
        auto* form = new GraphWindow(state, area_);
        form->showWindow();
        return form;
    }
    const HARMDIM& state() { return *loaded_.lock(); }

  private slots:
    void init() {
        QVERIFY(mdi_.open());
        area_ = mdi_.area;
    }
    void cleanup() { mdi_.close(); }

    // The item list per kind, and the channel options: "合成" after the channels, up to seven.
    void itemListsAndChannelsPerKind() {
        const std::pair<const char*, int> cases[] = {
            {"a.ha3", 11}, {"a.hm3", 11}, {"a.hh1", 11}, {"a.ha4", 14}, {"a.hv2", 17},
            {"a.hn2", 13}, {"a.ha5", 15}, {"a.ha6", 15}, {"a.hm8", 11}, {"a.hm9", 11}};
        for (auto [name, count] : cases) {
            GraphWindow* form = open(QString::fromLatin1(name), 3);
            QVERIFY2(form, name);
            QCOMPARE(form->Combo1->count(), count);
            QVERIFY(form->Combo1->itemText(0) == "電圧歪率(%)" && form->Combo1->currentIndex() < 0);
            QCOMPARE(form->Combo2->count(), state().MaxOrderIndex > 24 ? 29 : 8);
            const int channels = state().ChannelCount;
            QVERIFY(form->Option1[0]->isChecked());
            QCOMPARE(form->Option1[channels - 1]->text(), u"%1ch"_s.arg(channels));
            for (int i = 0; i < 10; ++i) {
                QRadioButton* option = form->Option1[i];
                QCOMPARE(option->text() == u"合成"_s, i == channels);  // nine channels too
                QCOMPARE(option->isEnabled(), option->text() != u"-ch"_s);
            }
            form->subWindow()->close();
            QCoreApplication::processEvents();
        }
    }

    void sixthOrderBoxUnchecksItself() {
        GraphWindow* form = open(u"six.hm1"_s);
        QVERIFY(form);
        choose(form->Combo2, u"任　意"_s);
        for (int i = 0; i < 6; ++i) QTest::mouseClick(form->Check1[i], Qt::LeftButton);
        for (int i = 0; i < 5; ++i) QVERIFY(form->Check1[i]->isChecked());
        QVERIFY(!form->Check1[5]->isChecked());
        QCOMPARE(form->selection().checkedCount(), 5);
        QVERIFY(!form->VScroll1->isEnabled());
    }

    // A group on 256 orders; print stays disabled until the first draw.
    void highRangeOnAllOrdersThenTheFirstDraw() {
        GraphWindow* form = open(u"all.hh1"_s);
        QVERIFY(form);
        choose(form->Combo2, u"51～59次"_s);
        QCOMPARE(form->VScroll1->value(), 7);
        for (int k = 0; k < kJisuFlagCount; ++k)
            QCOMPARE(form->selection().orders()[k] == 1, k >= 50 && k <= 58 && k % 2 == 0);
        // Orders 36..60 on view: order index 50 (order 51) is box 15, the first of row 3.
        QCOMPARE(form->Check1[0]->text(), u"+ 35"_s);
        QVERIFY(form->Check1[15]->isChecked() && !form->Check1[16]->isChecked());
        QVERIFY(form->Check1[17]->isChecked());
        QVERIFY(!form->hasDrawn());  // no item yet
        QVERIFY(!form->Command2->isEnabled() && !form->MePR->isEnabled());
        choose(form->Combo1, u"電圧歪率(%)"_s);
        QVERIFY(form->hasDrawn() && form->Command2->isEnabled() && form->MePR->isEnabled());
    }

    void unbalanceDrawsPerPhaseVoltage() {
        GraphWindow* form = open(u"unb.hv2"_s);
        QVERIFY(form);
        choose(form->Combo1, u"電圧不平衡率(%)"_s);
        QCOMPARE(form->selection().item(), int16_t{12});
        QVERIFY(form->Check1[5]->isChecked());
        for (QCheckBox* box : form->Check1) QVERIFY(!box->isEnabled());
        QVERIFY(form->Combo2->isHidden() && form->hasDrawn());
        // The orders chosen survive the next item; the group shows as chosen by hand.
        choose(form->Combo1, u"電圧歪率(%)"_s);
        QVERIFY(form->Combo2->isVisible());
        QCOMPARE(form->Combo2->currentText(), u"任　意"_s);
        QCOMPARE(form->selection().checkedCount(), 1);
    }

    // Unusable prediction parameters are reported when edited and when the user asks for a draw,
    // once; other draws (keystrokes in the print message, a resize) draw no prediction curve, say
    // why in the picture and open no box. Printing follows whether curves were drawn.
    void predictionParametersAreCheckedOnce() {
        GraphWindow* form = open(u"pred.hv2"_s);
        QVERIFY(form);
        test::Messages messages;
        form->Text2[0]->setText(u"0"_s);
        choose(form->Combo2, u"１～９次"_s);
        choose(form->Combo1, u"上位電圧歪率予測(%)"_s);
        QTest::keyClicks(form->Text1, u"site A"_s);
        form->subWindow()->showNormal();
        form->subWindow()->resize(900, 560);
        QCoreApplication::processEvents();
        messages.expect();
        QCOMPARE(form->Text1->text(), u"site A"_s);  // no key lost to a box
        QVERIFY(form->hasDrawn() && !form->canPrint() && !form->MePR->isEnabled());
        for (int i = 0; i < 2; ++i) QTest::mouseClick(form->Command1, Qt::LeftButton);
        messages.expect(u"より大きい"_s);  // asked twice, told once
        clickCheckBox(form->Check2);
        form->Text2[1]->selectAll();
        QTest::keyClicks(form->Text2[1], u"0"_s);
        QTest::keyClick(form->Text2[1], Qt::Key_Return);
        QCOMPARE(messages.texts.size(), 2);  // edited: told again
        form->Text2[0]->setText(u"10"_s);
        form->Text2[1]->setText(u"8.0"_s);
        QTest::mouseClick(form->Option1[1], Qt::LeftButton);  // the channel the prediction uses
        QTest::mouseClick(form->Command1, Qt::LeftButton);
        QVERIFY(form->canPrint() && form->Command2->isEnabled() && form->MePR->isEnabled());
        QCOMPARE(form->view().prediction()->channel, int16_t{1});
        QCOMPARE(messages.texts.size(), 2);
    }

    // A draw without curves ("任　意" with no box ticked) leaves nothing to print.
    void printFollowsWhetherTheLastDrawDrewCurves() {
        GraphWindow* form = open(u"none.hm1"_s);
        QVERIFY(form);
        choose(form->Combo1, u"電圧歪率(%)"_s);
        choose(form->Combo2, u"１～９次"_s);
        QVERIFY(form->canPrint() && form->Command2->isEnabled());
        choose(form->Combo2, u"任　意"_s);
        for (QCheckBox* box : form->Check1)
            if (box->isChecked()) QTest::mouseClick(box, Qt::LeftButton);
        QTest::mouseClick(form->Command1, Qt::LeftButton);
        QVERIFY(!form->Command2->isEnabled() && !form->MePR->isEnabled());
        QSignalSpy asked(form, &GraphWindow::printRequested);
        form->MePR->trigger();
        form->openPrintDialog();
        QCOMPARE(asked.count(), 0);
    }

    // The currents are read back, and the power tables computed, by the first draw that reads
    // them, the window saying so meanwhile; drawing other items leaves them alone.
    void firstPowerDrawSaysItComputes() {
        GraphWindow* form = open(u"p.hm3"_s, 144);
        QVERIFY(form);
        struct ShowCount : QObject {
            int shown = 0;
            bool eventFilter(QObject*, QEvent* event) override {
                shown += event->type() == QEvent::Show;
                return false;
            }
        } count;
        form->Computing->installEventFilter(&count);
        choose(form->Combo1, u"電圧歪率(%)"_s);
        choose(form->Combo2, u"１～９次"_s);
        QVERIFY(form->hasDrawn() && !state().currentsComputed() && count.shown == 0);
        choose(form->Combo1, u"電    流(A)"_s);
        QVERIFY(state().currentsComputed() && !state().powersComputed());
        QCOMPARE(count.shown, 1);
        QCOMPARE(form->Computing->text(), u"読み込み中: 電流..."_s);
        for (int pass = 0; pass < 2; ++pass) {
            choose(form->Combo1, u"有効電力(kW)"_s);
            QVERIFY(state().powersComputed() && form->Computing->isHidden());
            QCOMPARE(count.shown, 2);
            QCOMPARE(form->Computing->text(), u"計算中: 電力..."_s);
        }
    }

    void copyPutsThePictureOnTheClipboard() {
        GraphWindow* form = open(u"copy.hm1"_s);
        QVERIFY(form);
        // Before any graph the clipboard keeps what it holds.
        QGuiApplication::clipboard()->setText(u"kept"_s);
        QTest::mouseClick(form->Command5, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"kept"_s);
        choose(form->Combo1, u"電    流(A)"_s);
        choose(form->Combo2, u"大きい順１～５"_s);
        QCOMPARE(form->selection().checkedCount(), 5);
        QTest::mouseClick(form->Command5, Qt::LeftButton);
        const QImage copied = QGuiApplication::clipboard()->image();
        QCOMPARE(copied.size(), form->Picture1->size());
        QVERIFY(copied.width() > 100 && copied.height() > 100);
        // A smaller window draws a smaller picture.
        form->subWindow()->showNormal();
        form->subWindow()->resize(800, 500);
        QCoreApplication::processEvents();
        QCOMPARE(form->picture().size(), form->Picture1->size());
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestGraphWindow)
#include "test_graph_window.moc"
