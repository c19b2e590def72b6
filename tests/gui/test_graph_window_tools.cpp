// Reading the graph further with the real mouse, keys and menus: zoom by keyboard and the way
// back, a second cursor and a curve's maximum, the value axis set by hand, a compared period,
// cursors that follow each other, and a view saved and opened again.
#include <QMenu>

#include "graph/shown_statistics.h"
#include "graph/zoomed_graph.h"
#include "gui_support.h"
#include "ui/graph_window.h"

namespace hg {

using test::choose;

class TestGraphWindowTools : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> dir_ = test::scratchFolder(u"tools"_s);
    test::MdiFrame mdi_;
    std::shared_ptr<HARMDIM> state_;
    QString path_;   // the recording of state_: a day of ten minutes from 2019-05-29
    QString after_;  // the next day, of the same kind

    GraphWindow* openDrawn() {
        GraphWindow* form = mdi_.app->openGraphWindow(state_);
        choose(form->Combo1, u"電圧歪率(%)"_s);
        choose(form->Combo2, u"１～９次"_s);
        return form->hasDrawn() ? form : nullptr;
    }
    QPoint at(const GraphWindow& form, double minute) const {
        GraphLayout g = *graphLayout(*state_, form.Picture1->width(), form.Picture1->height());
        if (form.view().range()) showRange(g, *state_, *form.view().range());
        return {static_cast<int>(std::lround(xOfMinute(g, minute))), 100};
    }

  private slots:
    void initTestCase() {
        path_ = test::writeSample(dir_->path(), u"r.hm2"_s);
        after_ = test::writeSample(dir_->path(), u"s.hm2"_s, 144, 10, 1440);
        state_ = std::make_shared<HARMDIM>();
        QVERIFY(test::loadSample(*state_, dir_->path(), u"r.hm2"_s, 144));
    }
    void init() { QVERIFY(mdi_.open()); }
    void cleanup() { mdi_.close(); }

    // + and − zoom around the middle, Shift+→ moves on, Backspace goes back step by step to the
    // whole period.
    void keyboardZoomAndItsHistory() {
        GraphWindow* form = openDrawn();
        QVERIFY(form);
        const ShownRange whole = wholePeriod(*state_);
        const ShownRange in = keyboardRange(*state_, whole, ZoomKey::In, {});
        const ShownRange later = keyboardRange(*state_, in, ZoomKey::PanLater, {});
        QTest::keyClick(form->Picture1, Qt::Key_Plus);
        QCOMPARE(form->view().range(), std::optional(in));
        QTest::keyClick(form->Picture1, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(form->view().range(), std::optional(later));
        QTest::keyClick(form->Picture1, Qt::Key_Minus);
        QVERIFY(form->view().range() != std::optional(later));
        QTest::keyClick(form->Picture1, Qt::Key_Backspace);
        QCOMPARE(form->view().range(), std::optional(later));
        QTest::keyClick(form->Picture1, Qt::Key_Backspace);
        QCOMPARE(form->view().range(), std::optional(in));
        QTest::keyClick(form->Picture1, Qt::Key_Backspace);
        QVERIFY(!form->view().range());
        QVERIFY(form->HScroll1->isHidden());
    }

    // Shift+click places the second cursor; the strip reads both and the differences; the
    // maximum of a curve takes the cursor and is marked; the strip counts the range shown.
    void secondCursorMaximumAndStatistics() {
        GraphWindow* form = openDrawn();
        QVERIFY(form);
        form->MeCursor->setChecked(true);
        QTest::mouseMove(form->Picture1, at(*form, 100));
        QCOMPARE(form->view().cursor(), std::optional<int32_t>(10));
        QTest::mouseClick(form->Picture1, Qt::LeftButton, Qt::ShiftModifier, at(*form, 400));
        QCOMPARE(form->secondCursor(), std::optional<int32_t>(40));
        QVERIFY(form->MeCursor2->isChecked() && form->Picture1->secondCursorX());
        QVERIFY2(form->Readout->text().contains(u"第2カーソル"_s) &&
                     form->Readout->text().contains(u"Δt 05:00"_s),
                 qPrintable(form->Readout->text()));
        form->MeCursor2->setChecked(false);
        QVERIFY(!form->secondCursor() && !form->Picture1->secondCursorX());

        const GraphRequest request = form->view().request({});
        const auto peak = maximumRecord(*state_, request, 1, {0, placedRecords(*state_) - 1});
        form->jumpToMaximum(1);
        QCOMPARE(form->view().cursor(), peak);
        QVERIFY(form->Picture1->maximumMark());
        const QStringList lines = form->statisticsText().split(u'\n');
        QCOMPARE(lines.size(), 5);
        QVERIFY2(lines[1].startsWith(u"3次 最大 "_s), qPrintable(lines[1]));
        QVERIFY(form->Readout->text().contains(u"表示範囲の統計"_s));
    }

    // 値軸の設定... draws on the axis typed; 自動 draws the item's own axis again, pixel for pixel;
    // a Ctrl-drag over the plot sets the values between the two heights.
    void valueAxisByHand() {
        GraphWindow* form = openDrawn();
        QVERIFY(form);
        const QImage automatic = form->picture();
        form->askAxis = [](const ValueAxis&) { return std::optional(AxisByHand{0, 10, 2}); };
        form->MeAxis->trigger();
        QCOMPARE(form->view().axisByHand(), std::optional(AxisByHand{0, 10, 2}));
        QVERIFY(form->MeAxisAuto->isEnabled() && form->picture() != automatic);
        form->MeAxisAuto->trigger();
        QVERIFY(!form->view().axisByHand());
        QCOMPARE(form->picture(), automatic);
        QTest::mousePress(form->Picture1, Qt::LeftButton, Qt::ControlModifier, QPoint(300, 150));
        QTest::mouseMove(form->Picture1, QPoint(300, 300));
        QTest::mouseRelease(form->Picture1, Qt::LeftButton, Qt::ControlModifier, QPoint(300, 300));
        const auto dragged = form->view().axisByHand();
        QVERIFY(dragged && dragged->low < dragged->high);
    }

    // 比較期間... draws the next day over this one and counts it in the strip; a recording of
    // another kind is refused with a message.
    void comparedPeriod() {
        GraphWindow* form = openDrawn();
        QVERIFY(form);
        const QImage alone = form->picture();
        form->askComparisonPeriod = [this] {
            return std::optional(ComparedPeriodAsked{after_, {}, Alignment::Day});
        };
        form->MeCompare->trigger();
        QVERIFY(form->view().comparison() && form->MeCompareOff->isEnabled());
        QVERIFY(form->picture() != alone);
        QVERIFY2(form->statisticsText().contains(u"  比較 最大"_s) &&
                     form->statisticsText().contains(u"  差 最大"_s),
                 qPrintable(form->statisticsText()));
        const QString other = test::writeSample(dir_->path(), u"t.hh1"_s, 10);
        form->askComparisonPeriod = [other] {
            return std::optional(ComparedPeriodAsked{other, {}, Alignment::Week});
        };
        test::Messages messages;
        form->MeCompare->trigger();
        QVERIFY(messages.texts.join(u""_s).contains(u"同じ種類の記録だけ"_s));
        form->MeCompareOff->trigger();
        QVERIFY(!form->view().comparison());
        QCOMPARE(form->picture(), alone);
    }

    // With カーソル連動 on in one window, every window's cursor follows by time; off, none does.
    void cursorsFollowEachOther() {
        GraphWindow* form = openDrawn();
        QVERIFY(form);
        GraphWindow* extra = mdi_.app->openExtraWindow();
        choose(extra->Combo1, u"電圧歪率(%)"_s);
        choose(extra->Combo2, u"１～９次"_s);
        form->MeCursor->setChecked(true);
        form->MeSync->setChecked(true);
        QVERIFY(mdi_.app->cursorsSynchronised() && extra->MeSync->isChecked());
        form->moveCursorTo(50);
        QCOMPARE(extra->view().cursor(), std::optional<int32_t>(50));
        extra->MeSync->setChecked(false);
        QVERIFY(!form->MeSync->isChecked());
        form->moveCursorTo(60);
        QCOMPARE(extra->view().cursor(), std::optional<int32_t>(50));
    }

    // A view saved with its windows opens them again as they were; a recording that moved is
    // asked for; a view of a newer version says so; what is not a view is refused.
    void viewSavedAndOpened() {
        GraphWindow* form = openDrawn();
        QVERIFY(form);
        form->MeCursor->setChecked(true);
        form->zoomTo({100, 500});
        form->moveCursorTo(30);
        form->placeSecondCursor(45);
        form->setAxisByHand(AxisByHand{0, 5, 1});
        form->compareWith(*loadComparedPeriod(QFile::encodeName(after_).toStdString(), {}, *state_),
                          Alignment::Week);
        GraphWindow* extra = mdi_.app->openExtraWindow();
        choose(extra->Combo1, u"電    流(A)"_s);
        choose(extra->Combo2, u"１～９次"_s);
        const SavedWindow first = form->savedView(), second = extra->savedView();
        const QString view = dir_->path() + u"/v"_s;
        QVERIFY(mdi_.app->saveView(view));

        QVERIFY(mdi_.app->openView(view + u".hgview"_s));
        QCOMPARE(mdi_.app->graphWindow(0)->savedView(), first);
        QCOMPARE(mdi_.app->graphWindow(1)->savedView(), second);
        QVERIFY(mdi_.app->graphWindow(0)->view().comparison());
        // `harmograph FILE.hgview`: the program starts on the view.
        mdi_.app->graphWindow(0)->subWindow()->close();
        QTRY_VERIFY(!mdi_.app->graphWindow(0));
        mdi_.app->start(view + u".hgview"_s, dir_->path());
        QTRY_VERIFY(mdi_.app->graphWindow(0));
        QCOMPARE(mdi_.app->graphWindow(0)->savedView(), first);

        QString asked;
        const QString moved = dir_->path() + u"/moved.hm2"_s;
        QVERIFY(QFile::copy(path_, moved));
        QString text = QString::fromUtf8(test::readBytes(view + u".hgview"_s));
        test::writeBytes(dir_->path() + u"/m.hgview"_s,
                         text.replace(u"r.hm2"_s, u"gone.hm2"_s).toUtf8());
        mdi_.app->askMovedRecording = [&](const QString& missing) {
            asked = missing;
            return moved;
        };
        QVERIFY(mdi_.app->openView(dir_->path() + u"/m.hgview"_s));
        QVERIFY(asked.endsWith(u"gone.hm2"_s));

        QStringList told;
        mdi_.app->tell = [&](const QString& message) { told << message; };
        test::writeBytes(dir_->path() + u"/n.hgview"_s,
                         text.replace(u"\"harmograph_view\": 1"_s, u"\"harmograph_view\": 9"_s)
                             .replace(u"gone.hm2"_s, u"r.hm2"_s)
                             .toUtf8());
        QVERIFY(mdi_.app->openView(dir_->path() + u"/n.hgview"_s));
        QVERIFY(told.join(u""_s).contains(u"新しい版"_s));
        QVERIFY(!mdi_.app->openView(path_));
        QVERIFY(told.last().contains(u"ビューのファイルではありません"_s));
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestGraphWindowTools)
#include "test_graph_window_tools.moc"
