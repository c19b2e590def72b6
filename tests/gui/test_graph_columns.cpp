// Long curves drawn by pixel columns (the first, last, lowest and highest point of each) give the
// very pixels of every record's segment: every item of a 25-order recording and of a month of a
// 256-order one, far more records than columns, through the canvas on an image, at device pixel
// ratios 1 (the curves filled, as in the window, and stroked by Qt's pen, as in the PNG files)
// and 2, over the whole period and zoomed. And the picture painted by two threads, each kept to
// one half of the image, is the picture painted whole: at ratios 1, 2 and 1.25 (a split between
// logical pixels), with the value axis set by hand (curves clipped to the plot).
#include <QImage>

#include "graph/graph_view.h"
#include "gui_support.h"
#include "platform/qt/paint_in_halves.h"
#include "platform/qt/qpainter_canvas.h"

namespace hg {
namespace {

// The picture of the view's request, drawn by columns or record by record.
QImage picture(const HARMDIM& state, const GraphView& view, double ratio, RoundLines lines,
               bool byColumns) {
    QImage image = whitePicture(QSize(300, 180), ratio);
    GraphRequest request = view.request("");
    request.byColumns = byColumns;
    QPainterCanvas canvas(image, lines);
    composeGraph(canvas, state, request);
    canvas.finish();
    return image;
}

// The picture as the window paints it, in two halves at once.
QImage pictureInHalves(const HARMDIM& state, const GraphView& view, double ratio,
                       RoundLines lines) {
    QImage image = whitePicture(QSize(300, 180), ratio);
    const GraphRequest request = view.request("");
    paintInHalves(image, lines,
                  [&](QPainterCanvas& canvas, bool) { composeGraph(canvas, state, request); });
    return image;
}

const std::pair<double, RoundLines> kPictures[] = {{1.0, RoundLines::PenPixels},
                                                   {1.0, RoundLines::Filled},
                                                   {2.0, RoundLines::Filled},
                                                   {1.25, RoundLines::Filled}};

}  // namespace

class TestGraphColumns : public QObject {
    Q_OBJECT

  private slots:
    void everyItemSamePixels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("interval");
        QTest::newRow("hv2 25 orders") << u"a.hv2"_s << 2000 << 10;
        QTest::newRow("hh9 a month") << u"m.hh9"_s << 1440 << 30;
    }
    void everyItemSamePixels() {
        QFETCH(QString, name);
        QFETCH(int, records);
        QFETCH(int, interval);
        const auto dir = test::scratchFolder(u"columns"_s);
        const std::string path =
            QFile::encodeName(test::writeSample(dir->path(), name, records, interval))
                .toStdString();
        auto scan = scanFile(path);
        QVERIFY(scan);
        Recording scanned;
        applyScan(scanned, *scan);
        auto loaded =
            loadAnalysis(scanned, {scan->startDate, scan->startTime, scan->endDate, scan->endTime});
        QVERIFY(loaded && loaded->analysis);
        const HARMDIM& state = *loaded->analysis;
        const std::string group = groupListOf(state.MaxOrderIndex).front();
        int drawn = 0;
        for (const ItemEntry& entry : itemListOf(state.Kind.family)) {
            GraphView view(state);
            view.selection().chooseItem(std::string(entry.text));
            view.selection().chooseGroup(group);
            if (view.showsPrediction()) QVERIFY(view.preparePrediction());
            for (const bool zoomed : {false, true}) {
                const ShownRange whole = wholePeriod(state);
                view.setRange(zoomed ? std::optional<ShownRange>({whole.first + whole.minutes() / 3,
                                                                  whole.last - whole.minutes() / 3})
                                     : std::nullopt);
                const std::string what = std::string(entry.text) + (zoomed ? " zoomed" : "");
                for (const auto& [ratio, lines] : kPictures) {
                    const QImage columns = picture(state, view, ratio, lines, true);
                    QVERIFY2(columns == picture(state, view, ratio, lines, false), what.c_str());
                    QVERIFY2(columns == pictureInHalves(state, view, ratio, lines), what.c_str());
                }
            }
            view.setAxisByHand(AxisByHand{0, 2, 0.5});
            for (const auto& [ratio, lines] : kPictures)
                QVERIFY2(picture(state, view, ratio, lines, true) ==
                             pictureInHalves(state, view, ratio, lines),
                         (std::string(entry.text) + " by hand").c_str());
            ++drawn;
        }
        QVERIFY(drawn >= 11);
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestGraphColumns)
#include "test_graph_columns.moc"
