// A picture painted by two threads at once: the same drawing twice, each kept to one half of the
// image (left and right), so that a picture of many strokes takes about half as long on two
// processors. Each pixel is painted by one thread only, by the same steps in the same order as a
// single painting, so the picture is the same to the pixel.
#pragma once

#include <QImage>
#include <functional>

namespace hg {

class QPainterCanvas;
enum class RoundLines;

// Paints `draw` onto `image`: `draw(canvas, true)` on the calling thread (its left half) and
// `draw(canvas, false)` on another (its right half), returning when both are done. Whatever the
// drawing reports or waits for belongs to the call with `true`; the other must only draw. With no
// thread to be had, or a picture too narrow to share, the calling thread paints it whole. The
// canvases make their round-ended lines as `lines` says.
void paintInHalves(QImage& image, RoundLines lines,
                   const std::function<void(QPainterCanvas&, bool first)>& draw);

}  // namespace hg
