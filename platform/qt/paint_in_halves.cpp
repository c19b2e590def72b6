#include "platform/qt/paint_in_halves.h"

#include <system_error>
#include <thread>

#include "platform/qt/qpainter_canvas.h"

namespace hg {

namespace {

constexpr int kNarrowest = 64;  // image pixels below which one thread paints the whole

// A second image on the same pixels: a painter of its own, the same device pixel ratio.
QImage samePixels(QImage& image) {
    QImage view(image.bits(), image.width(), image.height(), image.bytesPerLine(), image.format());
    view.setDevicePixelRatio(image.devicePixelRatio());
    return view;
}

}  // namespace

void paintInHalves(QImage& image, RoundLines lines,
                   const std::function<void(QPainterCanvas&, bool first)>& draw) {
    const double ratio = image.devicePixelRatio();
    if (image.isNull() || image.width() < kNarrowest || std::thread::hardware_concurrency() < 2) {
        QPainterCanvas canvas(image, lines);
        draw(canvas, true);
        canvas.finish();
        return;
    }
    // The split falls on a whole image pixel: the halves' clips round to complementary pixels.
    const double split = (image.width() / 2) / ratio;
    const double width = image.width() / ratio, height = image.height() / ratio;
    QImage left = samePixels(image), right = samePixels(image);
    const auto paint = [&](QImage& half, const QRectF& area, bool first) {
        QPainterCanvas canvas(half, lines);
        canvas.restrictTo(area);
        draw(canvas, first);
        canvas.finish();
    };
    std::jthread other;
    try {
        other = std::jthread([&] { paint(right, QRectF(split, 0, width - split, height), false); });
    } catch (const std::system_error&) {
        paint(right, QRectF(split, 0, width - split, height), false);
    }
    paint(left, QRectF(0, 0, split, height), true);
}

}  // namespace hg
