// The windows on the screen: every control of a graph window within the window at the frame's
// default size, maximised or tiled; the graph picture drawn at the screen's pixel ratio (the whole
// test runs on a screen scaled by 2), its lines sharp.
#include <QMdiArea>

#include "graph/graph_composition.h"
#include "gui_support.h"
#include "ui/graph_window.h"

namespace hg {

class TestScreenFit : public QObject {
    Q_OBJECT

  public:
    static void initMain() { qputenv("QT_SCALE_FACTOR", "2"); }

  private:
    std::unique_ptr<QTemporaryDir> dir_ = test::scratchFolder(u"fit"_s);

    // The visible controls of `window` that reach outside it, by class.
    static QStringList cutControls(QWidget* window) {
        QStringList cut;
        for (QWidget* w : window->findChildren<QWidget*>())
            if (w->isVisibleTo(window) &&
                !window->rect().contains(QRect(w->mapTo(window, QPoint(0, 0)), w->size())))
                cut << QString::fromLatin1(w->metaObject()->className());
        return cut;
    }

  private slots:
    void controlsFitTheDefaultFrameAndThePictureIsSharp() {
        const auto app = test::newApp();
        app->frame().show();  // at its default size, 1000 x 700
        QVERIFY(QTest::qWaitForWindowExposed(&app->frame()));
        auto state = std::make_shared<HARMDIM>();
        QVERIFY(test::loadSample(*state, dir_->path(), u"fit.hm3"_s, 144));
        GraphWindow* form = app->openGraphWindow(state);
        test::choose(form->Combo1, u"電圧歪率(%)"_s);
        test::choose(form->Combo2, u"１～９次"_s);
        QCOMPARE(cutControls(form), QStringList());
        GraphWindow* extra = app->openExtraWindow();
        for (GraphWindow* w : {form, extra}) QCOMPARE(cutControls(w), QStringList());

        // Two image pixels for each of the window's. The plot's top edge (a width-1 line) is two
        // image rows of one colour in most columns (where nothing else crosses it): sharp, not
        // blurred by scaling.
        const QImage image = form->picture();
        QCOMPARE(form->devicePixelRatio(), 2);
        QCOMPARE(image.size(), form->Picture1->size() * 2);
        const auto g = graphLayout(*state, form->Picture1->width(), form->Picture1->height());
        QVERIFY(g);
        const auto white = [&](int x, int y) { return image.pixel(x, y) == qRgb(255, 255, 255); };
        int sharp = 0;
        for (int x = 2 * g->L + 2; x < 2 * g->GraphWidth - 2; ++x) {
            int first = 2 * g->T;
            while (first > 0 && !white(x, first - 1)) --first;
            int last = 2 * g->T;
            while (last + 1 < image.height() && !white(x, last + 1)) ++last;
            if (last - first == 1 && image.pixel(x, first) == image.pixel(x, last)) ++sharp;
        }
        QVERIFY2(sharp > g->GraphWidth - g->L, qPrintable(QString::number(sharp)));
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestScreenFit)
#include "test_screen_fit.moc"
