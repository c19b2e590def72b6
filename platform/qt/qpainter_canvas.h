// The canvas on a QPainter: the graph picture and its PNG on a QImage, paper on a QPrinter, PDF
// files on a QPrinter or QPdfWriter.
//
// The user window is mapped onto the device rectangle with separate x and y factors, applied to
// coordinates only: font sizes are points of the device and pen widths device pixels, so a page
// of 2350 by 640 units keeps round letters and even lines on paper of either orientation.
// Raster devices count as 96 dpi (the screen picture: a width-1 pen is one pixel, 12 pt is 16
// pixels); on paper pens are scaled by dpi/96 so that width 1 stays a thin visible line. An image
// with a device pixel ratio is drawn in its logical pixels at its full resolution (a width-1 pen
// is two image pixels at a ratio of 2); its round-ended lines, the curves, are filled by
// RoundLineSpans rather than outlined by the pen, and so are a plain picture's when asked.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <optional>

#include "platform/canvas.h"
#include "platform/qt/dashed_line_stamps.h"
#include "platform/qt/round_line_spans.h"

class QPaintDevice;

namespace hg {

// Lets the windows' and pages' font names "ＭＳ ゴシック" and "ＭＳ Ｐゴシック" resolve to the
// metric-compatible IPA Gothic fonts. Safe to call more than once; needs a QGuiApplication.
void installJapaneseFontSubstitutions();

// A white picture of `size` logical pixels at `ratio` image pixels each (the screen's device pixel
// ratio), to draw on through the canvas; null when empty.
QImage whitePicture(QSize size, double ratio);

// Which pixels the round-ended lines (the curves) of a picture at a pixel ratio of 1 take: those
// Qt's pen gives them (the PNG files, whose bytes stay what they have always been), or those filled
// from the lines' exact geometry (the windows: a redraw several times quicker; a few pixels on the
// rim differ from the pen's). A picture at any other ratio is always filled.
enum class RoundLines { PenPixels, Filled };

class QPainterCanvas : public Canvas {
  public:
    // Begins painting on the device (which must outlive the canvas); the user window starts as
    // the device's size in its own (logical) pixels. On a printer the caller turns pages with
    // QPrinter::newPage() while the canvas lives.
    explicit QPainterCanvas(QPaintDevice& device, RoundLines lines = RoundLines::PenPixels);
    ~QPainterCanvas() override;

    // False when painting could not begin (no printer, a PDF file that cannot be written).
    bool isActive() const { return painter_.isActive(); }
    // Ends painting (the end of the printed document); false when the device reported a failure.
    bool finish();

    int deviceWidth() const { return deviceW_; }
    int deviceHeight() const { return deviceH_; }
    // The QFont that texts in the current font are drawn with.
    QFont currentQFont() const;
    QPainter& painter() { return painter_; }
    // Keeps everything drawn next inside `area` (the device's logical pixels), within any clip the
    // drawing sets itself; a line that cannot reach the area is not stroked at all. The pixels
    // inside are those a canvas without the restriction draws.
    void restrictTo(const QRectF& area);

    double textWidth(std::string_view utf8) const override;
    double textHeight() const override;
    bool landscape() const override { return deviceW_ > deviceH_; }
    std::optional<std::pair<double, double>> reachedX() const override;

  protected:
    void drawClear(Rgb back) override;
    void drawLine(Point from, Point to, const Colour& colour) override;
    void drawBox(Point a, Point b, const Colour& colour) override;
    void drawFilledBox(Point a, Point b, const Colour& colour) override;
    void drawPoint(Point at, const Colour& colour) override;
    void drawText(Point topLeft, std::string_view utf8) override;
    void applyClip(std::optional<Point> a, std::optional<Point> b) override;

  private:
    QPointF toDevice(Point p) const;
    bool reaches(QPointF from, QPointF to) const;
    const QPen& pen(const Colour& colour, bool styled) const;
    const QFont& qfont() const;

    QPaintDevice& device_;
    QPainter painter_;
    int deviceW_;
    int deviceH_;
    double fontDpi_;   // dots per inch that font points are converted with
    double penScale_;  // device pixels per unit of line width
    std::optional<QRectF> area_;
    std::optional<DashedLineStamps> stamps_;  // on a picture: its dashed grid lines
    std::optional<RoundLineSpans> spans_;     // on a finer picture: its round-ended lines

    struct PenKey {
        uint8_t r, g, b;
        LineStyle style;
        double width;
        bool squareEnds;
        bool operator==(const PenKey&) const = default;
    };
    mutable std::optional<PenKey> penKey_;
    mutable QPen pen_;

    mutable FontSpec cachedSpec_;
    mutable QFont cachedFont_;
    mutable bool cacheValid_ = false;
};

}  // namespace hg
