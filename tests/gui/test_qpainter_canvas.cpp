// The drawing surface on a Qt image and a PDF page: the user window, palette colours and line
// styles reaching the pixels, Japanese text in an IPA font below its corner, unstretched fonts.
#include <QFontInfo>
#include <QImage>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <limits>

#include "gui_support.h"
#include "platform/qt/print_document.h"
#include "platform/qt/qpainter_canvas.h"

namespace hg {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

// The smallest rectangle holding every pixel other than white (empty when there is none).
QRect inkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != kWhite) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// What Qt's own pen draws for a dashed line of the canvas (width 1), clipped to `area`.
QImage penLines(QSize size, double ratio, const std::vector<QLineF>& lines, Qt::PenStyle style,
                const QRectF& area) {
    QImage image = whitePicture(size, ratio);
    QPainter painter(&image);
    QPen pen(QColor(0, 0, 144));
    pen.setCosmetic(true);
    pen.setWidthF(ratio);
    pen.setStyle(style);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setClipRect(area);
    for (const QLineF& line : lines) painter.drawLine(line);
    return image;
}

// What Qt's own pen draws for solid lines of the canvas two logical pixels wide, round-ended.
QImage roundPenLines(QSize size, double ratio, const std::vector<QLineF>& lines,
                     const std::vector<QPointF>& points, const QRectF& area) {
    QImage image = whitePicture(size, ratio);
    QPainter painter(&image);
    QPen pen(QColor(200, 0, 0));
    pen.setCosmetic(true);
    pen.setWidthF(2 * ratio);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setClipRect(area);
    for (const QLineF& line : lines) painter.drawLine(line);
    for (const QPointF& point : points) painter.drawPoint(point);
    return image;
}

// The distance from `p` to the nearest of the lines (a point when its ends are one).
double distanceToLines(QPointF p, const std::vector<QLineF>& lines) {
    double nearest = std::numeric_limits<double>::infinity();
    for (const QLineF& line : lines) {
        const QPointF d = line.p2() - line.p1();
        const double squared = QPointF::dotProduct(d, d);
        const double t =
            squared > 0 ? std::clamp(QPointF::dotProduct(p - line.p1(), d) / squared, 0.0, 1.0) : 0;
        const QPointF foot = line.p1() + t * d;
        nearest = std::min(nearest, std::hypot(p.x() - foot.x(), p.y() - foot.y()));
    }
    return nearest;
}

QImage whiteImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

}  // namespace

class TestQPainterCanvas : public QObject {
    Q_OBJECT

  private slots:
    void userWindowMapsXAndYSeparately() {
        QImage image = whiteImage(940, 256);
        {
            QPainterCanvas canvas(image);
            QVERIFY(canvas.setScale(2350, 640));
            QVERIFY(canvas.landscape());  // the device's shape, whatever the user window
            canvas.clear();
            canvas.line(0, 320, 2350, 320);
            canvas.line(1175, 0, 1175, 100);
        }
        for (int x : {0, 100, 939}) QCOMPARE(image.pixel(x, 128), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(100, 127), kWhite);
        QCOMPARE(image.pixel(100, 129), kWhite);
        QCOMPARE(inkBounds(image).top(), 0);  // the vertical line at x 470 from the top
        QCOMPARE(image.pixel(470, 20), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(469, 20), kWhite);
        QImage upright = whiteImage(256, 940);
        QVERIFY(!QPainterCanvas(upright).landscape());
    }

    void coloursAndStylesReachThePixels() {
        QImage image = whiteImage(200, 100);
        {
            QPainterCanvas canvas(image);
            canvas.line(10, 10, 190, 10, Colour::palette(12));
            canvas.setForeColor(Colour(rgbFromBgrHex("900000").value()));
            canvas.setLineStyle(LineStyle::Dotted);
            canvas.line(10, 30, 190, 30);
            canvas.setLineStyle(LineStyle::Solid);
            canvas.setLineWidth(3);
            canvas.line(10, 60, 190, 60, Colour::palette(10));
            canvas.setLineWidth(1);
            canvas.box(20, 70, 40, 90, Colour::palette(9));
            canvas.point(100, 80, Colour::palette(13));
        }
        int dark = 0, gaps = 0, thick = 0;
        for (int x = 10; x < 190; ++x) {
            QCOMPARE(image.pixel(x, 10), qRgb(255, 0, 0));
            dark += image.pixel(x, 30) == qRgb(0, 0, 144) ? 1 : 0;
            gaps += image.pixel(x, 30) == kWhite ? 1 : 0;
        }
        QVERIFY2(dark > 30 && gaps > 30, "a dotted line has both dots and gaps");
        for (int y = 55; y <= 65; ++y) thick += image.pixel(100, y) == qRgb(0, 255, 0) ? 1 : 0;
        QCOMPARE(thick, 3);
        QCOMPARE(image.pixel(20, 80), qRgb(0, 0, 255));  // the box's outline, not its inside
        QCOMPARE(image.pixel(30, 70), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(30, 80), kWhite);
        QCOMPARE(image.pixel(100, 80), qRgb(255, 0, 255));
    }

    // Dashed grid lines are set down from a stamp of one line: every pixel as the pen draws it, at
    // whole and fractional positions, across the picture's edges, at screen ratios whose stamps
    // move by whole image pixels and at one whose do not, within a clip, with more stamps than
    // kept, on a picture whose pixels another image shared until it was painted on.
    void dashedLinesHaveThePensOwnPixels() {
        const QSize size(120, 90);
        const QRectF area(7.5, 0, 100, 80);
        std::vector<QLineF> lines;
        for (const double at : {-0.5, 0.0, 10.0, 10.5, 11.0, 33.25, 47.3, 58.0, 71.75, 119.6}) {
            lines.emplace_back(at, 5, at, 85);
            lines.emplace_back(at, 4.5, at, 75.25);  // wholly inside the clip, unless at its edge
            lines.emplace_back(3, at * 0.7, 117.5, at * 0.7);
            lines.emplace_back(12, at * 0.6, 98.5, at * 0.6);
        }
        lines.emplace_back(60, 85, 60, 5);  // drawn upwards: its dashes start at the bottom
        for (int x = 12; x < 110; x += 3) lines.emplace_back(x, 5, x, 75);
        for (const double ratio : {1.0, 1.25, 1.5, 2.0, 3.0, 1.1}) {
            for (const auto style : {LineStyle::Dotted, LineStyle::DashDot}) {
                QImage image = whitePicture(size, ratio);
                const QImage before = image;  // shares the pixels until the painting
                {
                    QPainterCanvas canvas(image);
                    canvas.restrictTo(area);
                    canvas.setLineStyle(style);
                    for (const QLineF& l : lines)
                        canvas.line(l.x1(), l.y1(), l.x2(), l.y2(), Colour(Rgb{0, 0, 144}));
                }
                const auto penStyle = style == LineStyle::Dotted ? Qt::DotLine : Qt::DashDotLine;
                QVERIFY2(image == penLines(size, ratio, lines, penStyle, area),
                         QByteArray::number(ratio).constData());
                QVERIFY(before == whitePicture(size, ratio));
            }
        }
    }

    // Round-ended curve lines on a finer picture, or a plain one asked to fill them: every image
    // pixel whose centre lies within the pen's half width of a line is ink, every other one and
    // everything outside the clip stays white, and it differs from Qt's pen only on the rim, in
    // fewer than one pixel in a hundred (a line as wide as whole pixels is as many wide). A line
    // of no length leaves nothing. At a ratio of 1 not asked to fill, under a clip off whole
    // image pixels and for a line reaching far off the picture, the pen's own pixels.
    void roundLinesFillThePixelsWithinHalfThePen() {
        const QSize size(120, 90);
        std::vector<QLineF> lines{{30, 10.3, 30, 40.7},   {30, 40.7, 31, 12.25},
                                  {112, 10, 112, 10},     {50.5, 50, 90.2, 50},
                                  {60, 80.6, 61, 3.1},    {-5, 30, 20, 85},
                                  {100, 70.9, 130, 71.4}, {40.2, 60.7, 44.9, 58.1}};
        for (int i = 0; i < 40; ++i)
            lines.emplace_back(70 + i % 20, 20 + (i * 37 % 23) * 0.61, 70 + i % 20 + (i % 3),
                               20 + (i * 53 % 29) * 0.77);
        const std::vector<QPointF> points{{8, 20}, {20.3, 70.6}, {115.5, 1.5}};
        std::vector<QLineF> inked;  // a line of no length leaves no pixel
        for (const QLineF& l : lines)
            if (l.p1() != l.p2()) inked.push_back(l);
        for (const QPointF& p : points) inked.emplace_back(p, p);
        const auto drawOf = [&](double ratio, const QRectF& area, const std::vector<QLineF>& lines,
                                const std::vector<QPointF>& points,
                                RoundLines how = RoundLines::Filled) {
            QImage image = whitePicture(size, ratio);
            QPainterCanvas canvas(image, how);
            canvas.restrictTo(area);
            canvas.setLineWidth(2);
            const Colour red(Rgb{200, 0, 0});
            for (const QLineF& l : lines) canvas.line(l.x1(), l.y1(), l.x2(), l.y2(), red);
            for (const QPointF& p : points) canvas.point(p.x(), p.y(), red);
            canvas.finish();
            return image;
        };
        const auto draw = [&](double ratio, const QRectF& area) {
            return drawOf(ratio, area, lines, points);
        };
        const QRectF area(4, 4, 108, 80);  // on whole image pixels at every ratio below
        for (const double ratio : {2.0, 1.5, 1.25, 1.0}) {
            const QImage image = draw(ratio, area);
            const QImage pen = roundPenLines(size, ratio, lines, points, area);
            const QRectF clip(area.topLeft() * ratio, area.size() * ratio);
            int rim = 0, inkPixels = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QPointF centre(x + 0.5, y + 0.5);
                    const double off =
                        distanceToLines(centre / ratio, inked) * ratio - ratio;  // from the rim
                    const bool ink = image.pixel(x, y) != kWhite;
                    inkPixels += ink;
                    if (!clip.contains(centre) || off > 1e-9) QVERIFY(!ink);
                    if (clip.contains(centre) && off < -1e-9) QVERIFY(ink);
                    if (ink != (pen.pixel(x, y) != kWhite)) {
                        QVERIFY2(std::abs(off) < 0.5, QByteArray::number(off).constData());
                        ++rim;
                    }
                }
            }
            // The pen's outline approximates the round ends; a centre on the rim counts as there.
            QVERIFY(rim > 0 && rim * 100 < inkPixels);
        }
        // A plain picture keeps the pen's pixels unless asked to fill (the PNG files keep them).
        QCOMPARE(drawOf(1, area, lines, points, RoundLines::PenPixels),
                 roundPenLines(size, 1, lines, points, area));
        const QRectF offPixels(4.3, 4, 108, 80);
        QCOMPARE(draw(2, offPixels), roundPenLines(size, 2, lines, points, offPixels));
        const std::vector<QLineF> far{{10, 81.5, 1e300, 81.6}};
        QCOMPARE(drawOf(2, area, far, {}), roundPenLines(size, 2, far, {}, area));
    }

    // Square ends asked for: a one-pixel solid line at a pixel ratio of 2 ends as the pen's square
    // cap does (as at a ratio of 1), not round.
    void squareEndsAtAFinePixelRatio() {
        const QSize size(60, 40);
        const QLineF line(10.3, 7.6, 48.2, 31.1);
        QImage image = whitePicture(size, 2);
        {
            QPainterCanvas canvas(image);
            canvas.setSquareEnds(true);
            canvas.line(line.x1(), line.y1(), line.x2(), line.y2(), Colour(Rgb{0, 0, 144}));
        }
        const auto penLine = [&](Qt::PenCapStyle cap) {
            QImage reference = whitePicture(size, 2);
            QPainter painter(&reference);
            QPen pen(QColor(0, 0, 144));
            pen.setCosmetic(true);
            pen.setWidthF(2);
            pen.setCapStyle(cap);
            pen.setJoinStyle(Qt::RoundJoin);
            painter.setPen(pen);
            painter.drawLine(line);
            return reference;
        };
        QCOMPARE(image, penLine(Qt::SquareCap));
        QVERIFY(image != penLine(Qt::RoundCap));
    }

    void japaneseTextUsesTheIpaFontBelowItsCorner() {
        QImage image = whiteImage(400, 200);
        double width = 0;
        double height = 0;
        {
            QPainterCanvas canvas(image);
            canvas.setFont(kGothicFont, 13.5);
            QVERIFY2(QFontInfo(canvas.currentQFont()).family().contains(u"IPA"_s),
                     qPrintable(QFontInfo(canvas.currentQFont()).family()));
            canvas.text(50, 100, "時");
            width = canvas.textWidth("時");
            height = canvas.textHeight();
            QCOMPARE(canvas.currentPoint().x, 50 + width);
            canvas.setFont(kProportionalGothicFont, 12);
            QVERIFY(QFontInfo(canvas.currentQFont()).family().contains(u"IPAP"_s));
        }
        // 13.5 pt at 96 dpi is 18 pixels; a full-width character is about as wide as high.
        QVERIFY2(height >= 17 && height <= 24 && width >= 16 && width <= 20,
                 qPrintable(u"%1 x %2"_s.arg(width).arg(height)));
        const QRect ink = inkBounds(image);
        QVERIFY2(!ink.isEmpty() && ink.top() >= 100 && ink.bottom() < 100 + height &&
                     ink.left() >= 50 && ink.right() < 50 + width + 1,
                 QTest::toString(ink));
    }

    // Text keeps its pixel size in a squeezed user window, and follows the paper's resolution.
    void fontsFollowTheDeviceNotTheWindow() {
        QImage image = whiteImage(940, 256);
        QPainterCanvas canvas(image);
        canvas.setFont(kGothicFont, 12);
        const double wide = canvas.textWidth("ﾌｧｲﾙ名:");
        const double high = canvas.textHeight();
        QVERIFY(canvas.setScale(2350, 1024));
        QCOMPARE(canvas.textWidth("ﾌｧｲﾙ名:"), wide * 2.5);
        QCOMPARE(canvas.textHeight(), high * 4);

        auto dir = test::scratchFolder(u"canvas"_s);
        QPdfWriter pdf(dir->filePath(u"page.pdf"_s));
        pdf.setResolution(600);
        QPainterCanvas paper(pdf);
        QVERIFY(paper.setScale(2350, 640));
        paper.setFont(kGothicFont, 12);
        // 12 pt at 600 dpi is 100 device pixels, 100 * 640 / deviceHeight in the user window.
        const double expected = 100.0 * 640 / paper.deviceHeight();
        QVERIFY2(paper.textHeight() > expected && paper.textHeight() < expected * 1.4,
                 qPrintable(QString::number(paper.textHeight())));
        paper.text(220, 580, "24/05/29(水)");
        QVERIFY(paper.finish());
    }

    void brokenCoordinatesDrawNothing() {
        QImage image = whiteImage(50, 50);
        {
            QPainterCanvas canvas(image);
            const double nan = std::numeric_limits<double>::quiet_NaN();
            canvas.line(0, nan, 50, 10);
            canvas.lineTo(std::numeric_limits<double>::infinity(), 10);
            canvas.point(nan, nan);
        }
        QVERIFY(inkBounds(image).isEmpty());
    }

    // A PDF drawn in memory reaches its file only whole: a write that fails part-way (the disk
    // full) is reported and the earlier file stays; otherwise the file is the whole document.
    void pdfInMemoryIsWrittenWholeOrNotAtAll() {
        struct FullDisk : OutputLayer {
            Status write(TempFile& f, const char* data, std::size_t size) override {
                (void)OutputLayer::write(f, data, std::min<std::size_t>(size, 4096));
                return Error{"出力ファイルへの書き込みに失敗しました: " + f.target};
            }
        };
        auto dir = test::scratchFolder(u"pdf"_s);
        const std::string target = QFile::encodeName(dir->filePath(u"g.pdf"_s)).toStdString();
        for (const bool full : {true, false}) {
            test::writeBytes(QString::fromStdString(target), "earlier");
            PrintDocument pdf(PageSetup{}, u"t"_s);
            pdf.canvas().line(0, 0, 100, 100);
            QVERIFY(pdf.finish());
            FullDisk fullDisk;
            const Status saved = full ? pdf.save(target, fullDisk) : pdf.save(target);
            QCOMPARE(saved.ok(), !full);
            QFile file(QString::fromStdString(target));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            if (full)
                QCOMPARE(bytes, QByteArray("earlier"));
            else
                QVERIFY(bytes.startsWith("%PDF") && bytes.trimmed().endsWith("%%EOF"));
        }
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestQPainterCanvas)
#include "test_qpainter_canvas.moc"
