// Round-ended solid lines filled straight into the pixels of a picture for a finer screen. A curve
// of a month is thousands of short lines two logical pixels wide with round ends; at a device pixel
// ratio above 1 Qt outlines every one of them, approximates its round ends by Bezier arcs and fills
// the outline, most of the time of a redraw. Here each line is filled row by row: an image pixel
// is ink when its centre lies within half the pen's width of the line, the round end being the
// circle itself. Only opaque pens on images of 32-bit pixels, with a clip (when any) on whole image
// pixels; otherwise the painter draws the line.
#pragma once

#include <QImage>
#include <QPen>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <optional>

namespace hg {

class RoundLineSpans {
  public:
    // For the image (which must outlive the spans), at its pixel ratio.
    explicit RoundLineSpans(QImage& image);

    // The clip in the image's logical pixels (none: the whole image), as the painter has it.
    void setClip(const std::optional<QRectF>& clip);

    // Fills the line from `a` to `b` (logical pixels) with the pen when it is a solid, opaque,
    // cosmetic pen with round ends; false, filling nothing, otherwise. A line of no length leaves
    // no pixel, as with the pen.
    bool drawLine(QPointF a, QPointF b, const QPen& pen);
    // Fills the pen's round dot at `at` (logical pixels), on the same terms.
    bool drawPoint(QPointF at, const QPen& pen);

  private:
    bool fits(const QPen& pen) const;
    void fill(QPointF a, QPointF b, double radius, QRgb pixel);

    QImage* image_;  // none when its pixels are not 32-bit colours
    double ratio_;
    std::optional<QRect> clip_;  // in image pixels; none when the clip is not on whole pixels
};

}  // namespace hg
