#include <QFontInfo>
#include <QImage>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/qt/qpainter_canvas.h"

namespace hg {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

// Rows of the image holding any pixel other than white.
QList<int> inkedRows(const QImage& image) {
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != kWhite) {
                rows.append(y);
                break;
            }
        }
    }
    return rows;
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
            QVERIFY(canvas.isActive());
            QVERIFY(canvas.setScale(2350, 640));
            canvas.clear();
            canvas.line(0, 320, 2350, 320);
            canvas.line(1175, 0, 1175, 100);
            QCOMPARE(canvas.deviceWidth(), 940);
        }
        QCOMPARE(inkedRows(image).first(), 0);  // the vertical line at x 470 from the top
        for (int x : {0, 100, 939}) QCOMPARE(image.pixel(x, 128), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(100, 127), kWhite);
        QCOMPARE(image.pixel(100, 129), kWhite);
        QCOMPARE(image.pixel(470, 20), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(469, 20), kWhite);
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
        for (int x = 10; x < 190; ++x) QCOMPARE(image.pixel(x, 10), qRgb(255, 0, 0));
        int dark = 0;
        int gaps = 0;
        for (int x = 10; x < 190; ++x) {
            const QRgb p = image.pixel(x, 30);
            if (p == qRgb(0, 0, 144)) ++dark;
            if (p == kWhite) ++gaps;
        }
        QVERIFY2(dark > 30 && gaps > 30, "a dotted line has both dots and gaps");
        int thick = 0;
        for (int y = 55; y <= 65; ++y) thick += image.pixel(100, y) == qRgb(0, 255, 0) ? 1 : 0;
        QCOMPARE(thick, 3);
        QCOMPARE(image.pixel(20, 80), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(40, 80), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(30, 70), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(30, 80), kWhite);
        QCOMPARE(image.pixel(100, 80), qRgb(255, 0, 255));
    }

    void japaneseTextUsesTheIpaFontBelowItsCorner() {
        QImage image = whiteImage(400, 200);
        double width = 0;
        double height = 0;
        {
            QPainterCanvas canvas(image);
            canvas.setFont(kGothicFont, 13.5);
            QVERIFY2(QFontInfo(canvas.currentQFont()).family().contains(QStringLiteral("IPA")),
                     qPrintable(QFontInfo(canvas.currentQFont()).family()));
            canvas.text(50, 100, "時");
            width = canvas.textWidth("時");
            height = canvas.textHeight();
            QCOMPARE(canvas.currentPoint().x, 50 + width);
            canvas.setFont(kProportionalGothicFont, 12);
            QVERIFY(QFontInfo(canvas.currentQFont()).family().contains(QStringLiteral("IPAP")));
        }
        // 13.5 pt at 96 dpi is 18 pixels; a full-width character is about as wide as high.
        QVERIFY2(height >= 17 && height <= 24, qPrintable(QString::number(height)));
        QVERIFY2(width >= 16 && width <= 20, qPrintable(QString::number(width)));
        const QList<int> rows = inkedRows(image);
        QVERIFY(!rows.isEmpty());
        QVERIFY2(rows.first() >= 100 && rows.last() < 100 + height,
                 qPrintable(QStringLiteral("ink rows %1..%2").arg(rows.first()).arg(rows.last())));
        for (int y : rows) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != kWhite) QVERIFY(x >= 50 && x < 50 + width + 1);
            }
        }
    }

    void fontsAndPensAreNotStretchedByTheWindow() {
        // The same text on a page squeezed to a quarter of its height keeps its pixel size.
        QImage image = whiteImage(940, 256);
        QPainterCanvas canvas(image);
        canvas.setFont(kGothicFont, 12);
        const double wide = canvas.textWidth("ﾌｧｲﾙ名:");
        const double high = canvas.textHeight();
        QVERIFY(canvas.setScale(2350, 1024));
        QCOMPARE(canvas.textWidth("ﾌｧｲﾙ名:"), wide * 2.5);
        QCOMPARE(canvas.textHeight(), high * 4);
        canvas.setFontBold(true);
        QVERIFY(canvas.currentQFont().bold());
    }

    void paperTextFollowsTheResolution() {
        const QString scratch = qEnvironmentVariable("HARMO_TMP", QDir::tempPath());
        QVERIFY(QDir().mkpath(scratch));
        QTemporaryDir dir(scratch + QStringLiteral("/canvas-XXXXXX"));
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("page.pdf"));
        QPdfWriter pdf(path);
        pdf.setResolution(600);
        QPainterCanvas canvas(pdf);
        QVERIFY(canvas.isActive());
        QVERIFY(canvas.setScale(2350, 640));
        canvas.setFont(kGothicFont, 12);
        // 12 pt at 600 dpi is 100 device pixels: the page's user height per device pixel is
        // 640 / deviceHeight, whatever the paper.
        const double expected = 100.0 * 640 / canvas.deviceHeight();
        QVERIFY2(canvas.textHeight() > expected && canvas.textHeight() < expected * 1.4,
                 qPrintable(QString::number(canvas.textHeight())));
        canvas.box(260, 50, 2260, 550);
        canvas.text(220, 580, "24/05/29(水)");
        QVERIFY(canvas.finish());
        QVERIFY(QFileInfo(path).size() > 0);
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
        QVERIFY(inkedRows(image).isEmpty());
    }
};

}  // namespace hg

QTEST_MAIN(hg::TestQPainterCanvas)
#include "test_qpainter_canvas.moc"
