// Dashed grid lines stamped from a line painted once. A month's graph has hundreds of hour lines,
// all dotted or dash-dotted from the top of the plot to its bottom; at a device pixel ratio of 2 a
// dashed pen is two image pixels wide and Qt cuts each line into hundreds of dashes and fills them
// one by one. Such lines differ only by where they stand across, so one line is painted, with the
// same pen, into a narrow transparent strip of the picture's full length, and every other line at
// the same position within a whole image pixel is that strip set down a whole number of image
// pixels away: the rasteriser's result moves with the line, so the pixels are those the pen gives.
// A stamp wholly inside the clip is written straight into the picture's pixels (it is opaque, the
// painter would only copy it); one across the clip's edge is drawn by the painter, which clips it.
#pragma once

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPen>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <vector>

class QPainter;

namespace hg {

class DashedLineStamps {
  public:
    // For a painter on the image (which must outlive the stamps), at the image's pixel ratio.
    explicit DashedLineStamps(QImage& image);

    // Draws the line (logical pixels) with the pen by a stamp when it is vertical or horizontal,
    // the painter paints without antialiasing and with no transform of its own, and the ratio
    // lets a stamp move by whole image pixels; false, drawing nothing, otherwise.
    bool draw(QPainter& painter, const QLineF& line, const QPen& pen);

  private:
    struct Stamp {
        bool vertical = false;
        double across = 0;        // the line's position across, within the strip
        double from = 0, to = 0;  // its ends along the strip (the picture's own coordinates)
        QRgb colour = 0;
        Qt::PenStyle style = Qt::SolidLine;
        double width = 0;
        QImage strip;  // the units of the painted strip that hold ink (none when it has none)
        QPointF at;    // where they stand in it (logical pixels, whole units)
        std::vector<QRect> dashes;  // the ink, in image pixels of the strip
        QRect bounds;               // around every dash
    };

    const Stamp* stampFor(bool vertical, double across, const QLineF& line, const QPen& pen,
                          double units);
    bool inkOf(const QImage& strip, Stamp& stamp) const;
    void setDown(const Stamp& stamp, QPoint by);

    QImage* image_;  // written to directly; none when its pixels are not 32-bit colours
    QSize imagePixels_;
    double ratio_;
    int unit_ = 0;  // logical pixels a stamp moves by: the fewest that make whole image pixels
    std::vector<Stamp> stamps_;
};

}  // namespace hg
