// Reading the graph in the graph window with the real mouse and keys: the cursor and its readout,
// zoom and pan and the way back to the whole period, saving the picture and the curves, and the
// limit set and compliance window of the 表示 menu.
#include <QClipboard>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QTableWidget>
#include <QWheelEvent>

#include "graph/cursor_readout.h"
#include "graph/limit_overlay.h"
#include "graph/zoomed_graph.h"
#include "gui_support.h"
#include "platform/qt/csv_save_dialog.h"
#include "platform/qt/qt_text.h"
#include "ui/compliance_window.h"
#include "ui/graph_window.h"

namespace hg {

using test::choose;

class TestGraphWindowReading : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> dir_ = test::scratchFolder(u"reading"_s);
    test::MdiFrame mdi_;
    QMdiArea* area_ = nullptr;
    std::shared_ptr<HARMDIM> state_;

    // A graph window drawing the voltage distortion of orders 1..9 over a day of ten minutes, in
    // the test's frame or opened by `app`.
    GraphWindow* openDrawn(AppController* app = nullptr) {
        GraphWindow* form = app ? app->openGraphWindow(state_) : new GraphWindow(state_, area_);
        if (!app) form->showWindow();
        choose(form->Combo1, u"電圧歪率(%)"_s);
        choose(form->Combo2, u"１～９次"_s);
        return form->hasDrawn() ? form : nullptr;
    }
    // The layout of the picture as the window shows it.
    GraphLayout layoutOf(const GraphWindow& form) const {
        GraphLayout g = *graphLayout(*state_, form.Picture1->width(), form.Picture1->height());
        if (form.view().range()) showRange(g, *state_, *form.view().range());
        return g;
    }
    QPoint at(const GraphWindow& form, double minute) const {
        return {static_cast<int>(std::lround(xOfMinute(layoutOf(form), minute))), 100};
    }
    static void wheel(QWidget* w, QPoint at, int steps) {
        QWheelEvent e(QPointF(at), QPointF(w->mapToGlobal(at)), QPoint(), QPoint(0, 120 * steps),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
    }

  private slots:
    void initTestCase() {
        const QString limits = test::userLimitSets(dir_->path());
        test::writeBytes(limits + u"/a.json"_s,
                         R"({"name": "t-amp", "title": "試験", "source": "s", "edition": "e",
                             "check": "c", "quantity": "current_per_kw", "statistic": "p95",
                             "receiving_kv": 6.6, "orders": {"5": 3.5, "7": 2.5}})");
        state_ = std::make_shared<HARMDIM>();
        QVERIFY(test::loadSample(*state_, dir_->path(), u"r.hm2"_s, 144));
    }
    void init() {
        QVERIFY(mdi_.open());
        area_ = mdi_.area;
    }
    void cleanup() { mdi_.close(); }

    // The cursor snaps to the nearest record, the strip beside the picture reads it, the keys
    // step it; the picture itself never carries the cursor, and without it stays as it was.
    void cursorFollowsPointerAndKeys() {
        GraphWindow* form = openDrawn();
        QVERIFY(form);
        const QImage plain = form->picture();
        const int width = form->Picture1->width();
        form->MeCursor->trigger();
        QVERIFY(form->Readout->isVisible());
        QVERIFY(form->Readout->x() >= form->Picture1->geometry().right());
        QCOMPARE(form->Picture1->width(), width - 220);
        QTest::mouseMove(form->Picture1, at(*form, 304));  // nearest the record at 300 minutes
        QCOMPARE(form->view().cursor(), std::optional<int32_t>(30));
        const CursorReadout r = cursorReadout(*state_, form->view().request({}), 30);
        QCOMPARE(r.lines.size(), std::size_t{5});
        for (const QString& part :
             {toQString(r.when), toQString(r.lines[2].legend), toQString(r.lines[2].value), u"%"_s})
            QVERIFY2(form->Readout->text().contains(part), qPrintable(part));
        QCOMPARE(form->Picture1->cursorX(), std::optional<int>(at(*form, 300).x()));
        // The window shows the kept picture as it is, the cursor drawn over it.
        const QImage shown = form->Picture1->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage kept = form->picture().convertToFormat(QImage::Format_RGB32);
        const int x = *form->Picture1->cursorX();
        QCOMPARE(shown.copy(0, 0, x, shown.height()), kept.copy(0, 0, x, kept.height()));
        QVERIFY(shown.copy(x, 0, 1, shown.height()) != kept.copy(x, 0, 1, kept.height()));
        const std::pair<Qt::Key, int32_t> keys[] = {
            {Qt::Key_Right, 31}, {Qt::Key_Left, 30}, {Qt::Key_End, 143}, {Qt::Key_Home, 0}};
        for (auto [key, record] : keys) {
            QTest::keyClick(form->Picture1, key);
            QCOMPARE(form->view().cursor(), std::optional<int32_t>(record));
        }
        const QImage narrow = form->picture();
        QTest::mouseMove(form->Picture1, at(*form, 600));
        QCOMPARE(form->picture(), narrow);
        form->MeCursor->trigger();
        QVERIFY(!form->Readout->isVisible() && !form->Picture1->cursorX());
        QCOMPARE(form->picture(), plain);
    }

    // A drag zooms to its minutes, a Shift-drag and the bar pan, the wheel zooms around the
    // pointer, the cursor keys take the range along; Esc and 全体表示 give the whole period back,
    // pixel for pixel. Copy copies the zoomed picture.
    void zoomPanAndBack() {
        GraphWindow* form = openDrawn();
        QVERIFY(form);
        const QImage whole = form->picture();
        QVERIFY(!form->Command6->isEnabled() && !form->HScroll1->isVisible());
        const QPoint from = at(*form, 120), to = at(*form, 480);
        const GraphLayout g = layoutOf(*form);
        QTest::mousePress(form->Picture1, Qt::LeftButton, {}, from);
        QTest::mouseMove(form->Picture1, to);
        QTest::mouseRelease(form->Picture1, Qt::LeftButton, {}, to);
        QCOMPARE(form->view().range(), std::optional<ShownRange>(rangeBetween(
                                           *state_, minuteAtX(g, from.x()), minuteAtX(g, to.x()))));
        QVERIFY(form->Command6->isEnabled() && form->HScroll1->isVisible());
        QCOMPARE(form->picture().size(), form->Picture1->size());
        QTest::mouseClick(form->Command5, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->image(), form->picture());

        const ShownRange zoomed = *form->view().range();
        const QPoint mid = at(*form, 300);
        QTest::mousePress(form->Picture1, Qt::LeftButton, Qt::ShiftModifier, mid);
        QTest::mouseMove(form->Picture1, mid + QPoint(100, 0));
        QTest::mouseRelease(form->Picture1, Qt::LeftButton, Qt::ShiftModifier,
                            mid + QPoint(100, 0));
        QVERIFY(form->view().range()->first < zoomed.first);
        QCOMPARE(form->view().range()->minutes(), zoomed.minutes());
        form->HScroll1->setValue(600);
        QCOMPARE(form->view().range()->first, 600.0);

        const ShownRange before = *form->view().range();
        wheel(form->Picture1, at(*form, 700), 1);
        const ShownRange closer = *form->view().range();
        QVERIFY(closer.minutes() < before.minutes());
        QVERIFY(closer.first <= 700 && closer.last >= 700);
        form->MeCursor->trigger();
        QTest::keyClick(form->Picture1, Qt::Key_End);
        QVERIFY(form->view().range()->last >= recordMinute(*state_, 143));

        QTest::keyClick(form->Picture1, Qt::Key_Escape);
        QVERIFY(!form->view().range() && !form->HScroll1->isVisible());
        form->MeCursor->trigger();
        QCOMPARE(form->picture(), whole);
        wheel(form->Picture1, at(*form, 700), 2);
        QVERIFY(form->view().range());
        QTest::mouseClick(form->Command6, Qt::LeftButton);
        QVERIFY(!form->view().range());
        QCOMPARE(form->picture(), whole);
    }

    // The picture in each form by its suffix (an SVG's fonts with a generic fallback), the curves
    // of the range shown as CSV in either code page; a name without a known suffix is refused and
    // a failed save says why.
    void savesPictureAndCurves() {
        GraphWindow* form = openDrawn();
        QVERIFY(form);
        QString name;
        form->askSaveFileName = [&](const QString&, const QString&) { return name; };
        const std::pair<const char*, QByteArray> pictures[] = {
            {"g.png", "\x89PNG"}, {"g.svg", "<?xml"}, {"g.pdf", "%PDF"}};
        for (const auto& [file, magic] : pictures) {
            name = dir_->filePath(QString::fromLatin1(file));
            form->MeSavePic->trigger();
            QVERIFY2(test::readBytes(name).startsWith(magic), file);
        }
        // Every font an SVG names ends in the generic family.
        const QByteArray svg = test::readBytes(dir_->filePath(u"g.svg"_s));
        static const QRegularExpression family(u"font-family=\"([^\"]*)\""_s);
        int families = 0;
        for (auto it = family.globalMatch(QString::fromUtf8(svg)); it.hasNext(); ++families)
            QVERIFY(it.next().captured(1).endsWith(u"sans-serif"_s));
        QVERIFY(families > 10);
        test::Messages messages;
        name = dir_->filePath(u"g.bmp"_s);
        form->MeSavePic->trigger();
        messages.expect(u".png"_s);
        QVERIFY(!QFile::exists(name));
        // A failed save says why.
        messages.texts.clear();
        name = dir_->filePath(u"missing/g.png"_s);
        form->MeSavePic->trigger();
        messages.expect(u"ありません"_s);
        messages.texts.clear();
        form->subWindow()->showNormal();
        form->subWindow()->resize(320, 160);
        QCoreApplication::processEvents();
        name = dir_->filePath(u"small.png"_s);
        form->MeSavePic->trigger();
        messages.expect(u"小さすぎ"_s);
        form->subWindow()->showMaximized();
        QCoreApplication::processEvents();

        // The curves of the range shown as CSV: in code page 932 unless the UTF-8 file type is
        // chosen, which the next dialog of the run then opens on.
        wheel(form->Picture1, at(*form, 720), 3);
        const QString sjis = dir_->filePath(u"c.csv"_s), utf8 = dir_->filePath(u"u.csv"_s);
        QString openedOn;
        test::answerSaveDialog(sjis, {}, &openedOn);
        form->MeSaveCsv->trigger();
        QCOMPARE(openedOn, csvFileType(TextEncoding::Cp932));
        const QByteArray heading("\x93\xFA\x8E\x9E,");  // "日時," in code page 932
        QVERIFY(test::readBytes(sjis).startsWith(heading));
        const QList<QByteArray> lines = test::readBytes(sjis).split('\n');
        const RecordSpan shown = recordsIn(*state_, *form->view().range());
        QVERIFY(shown.count() > 0 && shown.count() < 144);
        QCOMPARE(lines.size() - 2, shown.count());  // the heading, and nothing after the last end
        test::answerSaveDialog(utf8, csvFileType(TextEncoding::Utf8));
        form->MeSaveCsv->trigger();
        const QByteArray bytes = test::readBytes(utf8);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF" + u"日時,"_s.toUtf8()));
        QCOMPARE(bytes.mid(bytes.indexOf('\n')), test::readBytes(sjis).mid(lines[0].size()));
        const QString again = dir_->filePath(u"again.csv"_s);
        test::answerSaveDialog(again, {}, &openedOn);
        form->MeSaveCsv->trigger();
        QCOMPARE(openedOn, csvFileType(TextEncoding::Utf8));
        QCOMPARE(test::readBytes(again), bytes);
    }

    // A limit set from the user's folder draws over the graph and goes again with "なし"; the
    // compliance window opens on the chosen set and follows the graph window's range and channel.
    void limitSetAndComplianceWindow() {
        GraphWindow* form = openDrawn(mdi_.app.get());  // opening the compliance window too
        QVERIFY(form);
        const QImage plain = form->picture();
        emit form->MeLimit->aboutToShow();
        QAction* set = nullptr;
        for (QAction* a : form->MeLimit->actions())
            if (a->data().toString() == u"t-volt"_s) set = a;
        QVERIFY(set);
        set->trigger();
        QVERIFY(form->limitSet() && form->picture() != plain);
        emit form->MeLimit->aboutToShow();
        form->MeLimit->actions().first()->trigger();  // "なし"
        QVERIFY(!form->limitSet());
        QCOMPARE(form->picture(), plain);

        form->chooseLimitSet(u"t-volt"_s);
        form->MeComp->trigger();
        auto* compliance = qobject_cast<ComplianceWindow*>(area_->activeSubWindow()->widget());
        QVERIFY(compliance);
        QCOMPARE(area_->activeSubWindow()->windowTitle(), u"適合判定"_s);
        QCOMPARE(compliance->Combo1->currentText(), u"t-volt"_s);
        QVERIFY(compliance->Grid1->rowCount() > 0);
        QCOMPARE(compliance->report().records, 144);
        wheel(form->Picture1, at(*form, 700), 3);
        const RecordSpan shown = recordsIn(*state_, *form->view().range());
        QVERIFY(shown.count() < 144);
        QCOMPARE(compliance->report().records, shown.count());
        const double maxTime = compliance->report().assessment.windows[0].rows[0].maxTime;
        QVERIFY(maxTime >= recordDateTime(*state_, shown.first) - 1e-6 &&
                maxTime <= recordDateTime(*state_, shown.last) + 1e-6);
        QTest::mouseClick(form->Option1[1], Qt::LeftButton);
        QCOMPARE(compliance->Combo2->currentIndex(), 1);
        form->subWindow()->close();
        QCoreApplication::processEvents();
        QVERIFY(!area_->findChild<ComplianceWindow*>());
    }

    // A current-per-kW set brings the contract power box; its value draws the limits and is the
    // compliance window's, both ways.
    void contractPowerWithPerKwSets() {
        GraphWindow* form = openDrawn(mdi_.app.get());
        QVERIFY(form);
        choose(form->Combo1, u"電    流(A)"_s);
        form->chooseLimitSet(u"t-volt"_s);
        QVERIFY(form->Text3->isHidden());
        form->chooseLimitSet(u"t-amp"_s);
        QVERIFY(form->Text3->isVisible() && form->Label6->isVisible());
        const auto limitOfOrder5 = [&] {
            for (const OverlayCurve& c :
                 limitCurves(state_->MaxOrderIndex, *form->view().limitOverlay()))
                if (c.k == 2) return c.limit;
            return std::optional<double>();
        };
        QVERIFY(!limitOfOrder5());
        QTest::keyClicks(form->Text3, u"500"_s);
        QVERIFY(limitOfOrder5() > 0);
        form->MeComp->trigger();
        auto* compliance = qobject_cast<ComplianceWindow*>(area_->activeSubWindow()->widget());
        QVERIFY(compliance);
        QCOMPARE(compliance->Text1->text(), u"500"_s);
        compliance->Text1->clear();
        QTest::keyClicks(compliance->Text1, u"250"_s);
        QCOMPARE(form->Text3->text(), u"250"_s);
        QCOMPARE(form->view().contractKw(), std::optional<double>(250));
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestGraphWindowReading)
#include "test_graph_window_reading.moc"
