// The graph window on recordings written by the sample generator and loaded as Execute loads them.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "analysis/execute.h"
#include "analysis/harmdim.h"
#include "analysis/load.h"
#include "app/Form1.h"
#include "app/MDIForm1.h"
#include "datafile/record_file.h"
#include "datafile/scan.h"
#include "datafile/synth.h"
#include "graph/Form2.h"
#include "platform/qt/message_box.h"

namespace hg {
namespace {

QString scratchRoot() {
    const QString root = qEnvironmentVariable("HARMO_TMP");
    return root.isEmpty() ? QDir::tempPath() : root;
}

// Writes a sample recording and loads all of it into `state` as graph-mode Execute does.
bool loadSample(HARMDIM& state, const QString& folder, const QString& name, int64_t records = 12) {
    const std::string path = (folder + QLatin1Char('/') + name).toStdString();
    SynthOptions options;
    options.records = records;
    if (!writeSynth(path, options)) return false;
    auto scan = scanFile(path);
    if (!scan) return false;
    applyScan(state, *scan);
    const PeriodTexts texts{scan->startDate, scan->startTime, scan->endDate, scan->endTime};
    auto prepared = prepareExecute(state, scan->fullPath, texts, ExecuteMode::Graph);
    if (!prepared || prepared->nothingToDo) return false;
    auto file = RecordFile::open(scan->fullPath);
    if (!file) return false;
    return executeGraph(state, *file).ok();
}

int indexOf(QComboBox* combo, const char* text) {
    return combo->findText(QString::fromUtf8(text));
}

void choose(QComboBox* combo, const char* text) {
    const int i = indexOf(combo, text);
    QVERIFY2(i >= 0, text);
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

}  // namespace

class TestForm2 : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_{scratchRoot() + QStringLiteral("/form2-XXXXXX")};
    std::unique_ptr<QMainWindow> frame_;
    QMdiArea* area_ = nullptr;
    std::vector<std::unique_ptr<HARMDIM>> states_;  // outlive the windows of a test

    HARMDIM& newState() { return *states_.emplace_back(std::make_unique<HARMDIM>()); }

    // A graph window of a freshly loaded sample in a shown frame.
    Form2* open(HARMDIM& state, const char* name, int64_t records = 12) {
        if (!loadSample(state, dir_.path(), QString::fromUtf8(name), records)) return nullptr;
        auto* form = new Form2(state, area_);
        form->showWindow();
        return form;
    }

  private slots:
    void init() {
        frame_ = std::make_unique<QMainWindow>();
        area_ = new QMdiArea(frame_.get());
        frame_->setCentralWidget(area_);
        frame_->resize(1280, 800);
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    }
    void cleanup() {
        area_->closeAllSubWindows();
        frame_.reset();
        states_.clear();
    }

    void itemListsPerKind() {
        const std::pair<const char*, int> cases[] = {
            {"a.ha3", 11}, {"a.hm1", 11}, {"a.hh1", 11}, {"a.ha4", 14},
            {"a.hv2", 17}, {"a.hn2", 13}, {"a.ha5", 15}, {"a.ha6", 15},
        };
        for (auto [name, count] : cases) {
            HARMDIM& state = newState();
            Form2* form = open(state, name, 3);
            QVERIFY2(form, name);
            QCOMPARE(form->Combo1->count(), count);
            QCOMPARE(form->Combo1->itemText(0), QStringLiteral("電圧歪率(%)"));
            QCOMPARE(form->Combo1->currentIndex(), -1);
            const int groups = state.MaxOrderIndex > 24 ? 29 : 8;
            QCOMPARE(form->Combo2->count(), groups);
            form->subWindow()->close();
            QCoreApplication::processEvents();
        }
    }

    void sixthOrderBoxUnchecksItself() {
        HARMDIM& state = newState();
        Form2* form = open(state, "six.hm1");
        QVERIFY(form);
        choose(form->Combo2, "任　意");
        for (int i = 0; i < 6; ++i) QTest::mouseClick(form->Check1[i], Qt::LeftButton);
        for (int i = 0; i < 5; ++i) QVERIFY(form->Check1[i]->isChecked());
        QVERIFY(!form->Check1[5]->isChecked());
        QCOMPARE(form->selection().checkedCount(), 5);
        QCOMPARE(form->Check1[0]->text(), QStringLiteral("+0"));
        QCOMPARE(form->Label4[4]->text(), QStringLiteral("9"));
        QVERIFY(!form->VScroll1->isEnabled());
    }

    void highRangeOnAllOrders() {
        HARMDIM& state = newState();
        Form2* form = open(state, "all.hh1");
        QVERIFY(form);
        QVERIFY(form->VScroll1->isEnabled());
        choose(form->Combo2, "51～59次");
        QCOMPARE(form->VScroll1->value(), 7);
        for (int k = 0; k < kJisuFlagCount; ++k) {
            const bool expected = k >= 50 && k <= 58 && k % 2 == 0;
            QCOMPARE(form->selection().orders()[k] == 1, expected);
        }
        // Orders 36..60 on view: order index 50 (order 51) is box 15, the first of row 3.
        QCOMPARE(form->Check1[0]->text(), QStringLiteral("+ 35"));
        QCOMPARE(form->Label4[0]->text(), QStringLiteral("1"));
        QVERIFY(form->Check1[15]->isChecked());
        QVERIFY(!form->Check1[16]->isChecked());
        QVERIFY(form->Check1[17]->isChecked());
        form->VScroll1->setValue(19);
        QCOMPARE(form->Check1[5]->text(), QStringLiteral("+100"));
        QVERIFY(!form->hasDrawn());  // no item yet
    }

    void unbalanceDrawsPerPhaseVoltage() {
        HARMDIM& state = newState();
        Form2* form = open(state, "unb.hv2");
        QVERIFY(form);
        QVERIFY(!form->Command2->isEnabled());
        choose(form->Combo1, "電圧不平衡率(%)");
        QCOMPARE(form->selection().item(), int16_t{12});
        QCOMPARE(state.CurrentItem, int16_t{12});
        QVERIFY(form->Check1[5]->isChecked());
        for (QCheckBox* box : form->Check1) QVERIFY(!box->isEnabled());
        QVERIFY(form->Combo2->isHidden());
        QVERIFY(!form->Label2->isEnabled());
        QVERIFY(form->hasDrawn());
        QCOMPARE(state.JisuFlag[5], int16_t{1});
        // The orders chosen survive the next item; the group shows as chosen by hand.
        choose(form->Combo1, "電圧歪率(%)");
        QVERIFY(form->Combo2->isVisible());
        QCOMPARE(form->Combo2->currentText(), QStringLiteral("任　意"));
        QCOMPARE(form->selection().checkedCount(), 1);
    }

    void channelOptions() {
        {
            HARMDIM& state = newState();
            Form2* form = open(state, "ch.hm3", 3);
            QVERIFY(form);
            QCOMPARE(form->Option1[0]->text(), QStringLiteral("1ch"));
            QCOMPARE(form->Option1[2]->text(), QStringLiteral("3ch"));
            QCOMPARE(form->Option1[3]->text(), QStringLiteral("合成"));
            QVERIFY(form->Option1[3]->isEnabled());
            for (int i = 4; i < 10; ++i) {
                QCOMPARE(form->Option1[i]->text(), QStringLiteral("-ch"));
                QVERIFY(!form->Option1[i]->isEnabled());
            }
            QVERIFY(form->Option1[0]->isChecked());
            form->subWindow()->close();
        }
        for (const char* name : {"ch.hm8", "ch.hm9"}) {
            HARMDIM& state = newState();
            Form2* form = open(state, name, 2);
            QVERIFY(form);
            for (QRadioButton* option : form->Option1)
                QVERIFY(option->text() != QStringLiteral("合成"));
            QCOMPARE(form->Option1[8]->text(), QStringLiteral("9ch"));
            form->subWindow()->close();
        }
    }

    void printEnabledByTheFirstDraw() {
        HARMDIM& state = newState();
        Form2* form = open(state, "print.hm1");
        QVERIFY(form);
        QVERIFY(!form->Command2->isEnabled());
        QVERIFY(!form->MePR->isEnabled());
        QVERIFY(!form->Command1->isEnabled());
        choose(form->Combo1, "電圧歪率(%)");
        QVERIFY(!form->Command2->isEnabled());  // no group yet: nothing drawn
        choose(form->Combo2, "１～９次");
        QVERIFY(form->Command2->isEnabled());
        QVERIFY(form->MePR->isEnabled());
        QVERIFY(form->Command1->isEnabled());
        QCOMPARE(form->picture().size(), form->Picture1->size());

        int handled = 0;
        Form2::setPrintHandler([&](Form2& f) {
            QCOMPARE(&f, form);
            ++handled;
        });
        QSignalSpy requested(form, &Form2::printRequested);
        QTest::mouseClick(form->Command2, Qt::LeftButton);
        QCOMPARE(handled, 1);
        QCOMPARE(requested.count(), 1);
        Form2::setPrintHandler({});
    }

    void predictionItemsDrawWithTheParameters() {
        HARMDIM& state = newState();
        Form2* form = open(state, "pred.hv2");
        QVERIFY(form);
        QStringList messages;
        setMessageHook([&](const QString& text, MessageKind) { messages << text; });
        form->Text2[0]->setText(QStringLiteral("0"));
        choose(form->Combo2, "１～９次");
        choose(form->Combo1, "上位電圧歪率予測(%)");
        QCOMPARE(messages.size(), 1);  // a capacity of 0 is refused with a message
        QVERIFY(!form->hasDrawn());
        form->Text2[0]->setText(QStringLiteral("10"));
        QTest::mouseClick(form->Option1[1], Qt::LeftButton);  // the channel the prediction uses
        QVERIFY(!form->hasDrawn());  // item 14 plots no channel: the option alone does not draw
        QTest::mouseClick(form->Command1, Qt::LeftButton);
        QVERIFY(form->hasDrawn());
        QCOMPARE(state.Prediction.channel, std::optional<int16_t>(1));
        QCOMPARE(state.CurrentChannel, int16_t{1});
        setMessageHook({});
    }

    void copyPutsThePictureOnTheClipboard() {
        HARMDIM& state = newState();
        Form2* form = open(state, "copy.hm1");
        QVERIFY(form);
        choose(form->Combo1, "電    流(A)");
        choose(form->Combo2, "大きい順１～５");
        QVERIFY(form->hasDrawn());
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

    void extraWindowsTileAndStopAtTwo() {
        HARMDIM& state = newState();
        Form2* form = open(state, "extra.hm1");
        QVERIFY(form);
        QCOMPARE(form->tag(), QStringLiteral("-1"));
        QVERIFY(form->Win->isEnabled());
        Form2* first = form->openExtraWindow();
        QVERIFY(first);
        QCOMPARE(first->tag(), QStringLiteral("0"));
        QVERIFY(form->Win->isEnabled());
        Form2* second = first->openExtraWindow();  // from an extra window too
        QVERIFY(second);
        QCOMPARE(second->tag(), QStringLiteral("1"));
        for (Form2* w : {form, first, second}) {
            QVERIFY(!w->Win->isEnabled());
            for (int i = 0; i < 3; ++i) QVERIFY(w->wsh[i]->isEnabled());
            QVERIFY(!w->wsh[3]->isEnabled());
        }
        QCOMPARE(form->openExtraWindow(), nullptr);
        // The prediction's parameters are the main window's: the extra windows' boxes are off.
        QVERIFY(!form->Text2[0]->isEnabled());
        QTest::mouseClick(form->Check2, Qt::LeftButton);
        QVERIFY(form->Text2[0]->isEnabled());
        QVERIFY(!first->Check2->isEnabled());
        QVERIFY(!first->Text2[0]->isEnabled());
        form->Text2[0]->setText(QStringLiteral("20"));
        QCOMPARE(second->transformerParameters().capacity, 20.0);
        // One above the other, each the frame's width.
        const int h = area_->viewport()->height() / 3;
        QCOMPARE(form->subWindow()->geometry().top(), 0);
        QCOMPARE(first->subWindow()->geometry().top(), h);
        QCOMPARE(second->subWindow()->geometry().top(), 2 * h);
        QCOMPARE(second->subWindow()->width(), area_->viewport()->width());
        form->wsh[2]->trigger();
        QCOMPARE(area_->activeSubWindow(), second->subWindow());
        // Each window keeps its own selection.
        choose(first->Combo1, "電圧歪率(%)");
        choose(first->Combo2, "１～９次");
        QCOMPARE(form->selection().item(), int16_t{0});
        QVERIFY(first->hasDrawn());

        // Closing an extra window keeps the tables and frees its place.
        QSignalSpy closed(form, &Form2::closed);
        second->subWindow()->close();
        QCoreApplication::processEvents();
        QCOMPARE(closed.count(), 0);
        QVERIFY(!state.VoltageTable.empty());
        QVERIFY(state.LoadedRecords > 0);
        QVERIFY(form->Win->isEnabled());
        QVERIFY(!form->wsh[2]->isEnabled());
        // Back from an extra window closes them all; the tables go with the last.
        first->backToFileSelection();
        QCoreApplication::processEvents();
        QCOMPARE(closed.count(), 1);
        QVERIFY(state.VoltageTable.empty());
        QCOMPARE(state.LoadedRecords, 0);
        QVERIFY(area_->subWindowList().isEmpty());
    }

    // Execute in the frame opens the graph window and hides the file selection; closing the graph
    // windows shows it again with both mode options.
    void closingShowsTheFileSelectionAgain() {
        const QString path = dir_.path() + QStringLiteral("/exec.hm1");
        SynthOptions options;
        options.records = 24;
        QVERIFY(writeSynth(path.toStdString(), options).ok());
        HARMDIM state;
        MDIForm1 frame(state);
        frame.start(path, dir_.path());
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(frame.form1->scanFile(path));
        frame.form1->execute();
        Form2* graph = frame.form1->graphWindow();
        QVERIFY(graph);
        QVERIFY(!frame.form1->subWindow()->isVisible());
        graph->openExtraWindow();
        graph->Command3->click();
        QCoreApplication::processEvents();
        QVERIFY(frame.form1->subWindow()->isVisible());
        QVERIFY(frame.form1->Option1[0]->isVisible());
        QVERIFY(frame.form1->Option1[1]->isVisible());
        QCOMPARE(state.LoadedRecords, 0);
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestForm2)
#include "test_form2.moc"
