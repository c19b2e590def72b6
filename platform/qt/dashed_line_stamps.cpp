#include "platform/qt/dashed_line_stamps.h"

#include <QPainter>
#include <cmath>

namespace hg {
namespace {

constexpr int kLargestUnit = 16;  // a ratio needing more logical pixels per move is not stamped
constexpr std::size_t kMostStamps = 8;

// The fewest logical pixels that are a whole number of image pixels at the ratio; 0 when none is
// or when the ratio is not a short binary fraction (1.25, 1.5, 2...), whose products with the
// lines' positions are exact.
int unitOf(double ratio) {
    if (!(ratio > 0) || !std::isfinite(ratio) || ratio * 64 != std::floor(ratio * 64)) return 0;
    for (int unit = 1; unit <= kLargestUnit; ++unit) {
        const double pixels = unit * ratio;
        if (pixels == std::floor(pixels)) return unit;
    }
    return 0;
}

bool dashed(const QPen& pen) {
    return pen.style() == Qt::DotLine || pen.style() == Qt::DashDotLine;
}

// The image pixels that lie wholly inside the painter's clip (all of the image without one): what
// any rounding of the clip's edges keeps.
QRect pixelsWhollyInClip(const QPainter& painter, const QImage& image, double ratio) {
    if (!painter.hasClipping()) return image.rect();
    const QRectF clip = painter.clipBoundingRect();
    const QRect inside(QPoint(static_cast<int>(std::ceil(clip.left() * ratio)),
                              static_cast<int>(std::ceil(clip.top() * ratio))),
                       QPoint(static_cast<int>(std::floor(clip.right() * ratio)) - 1,
                              static_cast<int>(std::floor(clip.bottom() * ratio)) - 1));
    return inside.intersected(image.rect());
}

bool writable(const QImage* image) {
    if (!image) return false;
    const QImage::Format f = image->format();
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
           f == QImage::Format_ARGB32_Premultiplied;
}

}  // namespace

DashedLineStamps::DashedLineStamps(QImage& image)
    : image_(writable(&image) ? &image : nullptr),
      imagePixels_(image.size()),
      ratio_(image.devicePixelRatio()),
      unit_(unitOf(ratio_)) {}

bool DashedLineStamps::draw(QPainter& painter, const QLineF& line, const QPen& pen) {
    if (unit_ == 0 || !dashed(pen) || !pen.isCosmetic() || pen.brush().style() != Qt::SolidPattern)
        return false;
    if (painter.testRenderHint(QPainter::Antialiasing) || !painter.worldTransform().isIdentity() ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver ||
        pen.color().alpha() != 255)
        return false;
    const bool vertical = line.x1() == line.x2() && line.y1() != line.y2();
    const bool horizontal = line.y1() == line.y2() && line.x1() != line.x2();
    if (!vertical && !horizontal) return false;
    const double across = vertical ? line.x1() : line.y1();
    if (!std::isfinite(across) || std::abs(across) > 1e6) return false;
    // The strip reaches this many units either side of the unit the line stands in: the pen's half
    // width and two pixels to spare.
    const double margin = pen.widthF() / ratio_ / 2 + 2;
    const double units = std::ceil(margin / unit_);
    const double shift = unit_ * (std::floor(across / unit_) - units);
    const Stamp* stamp = stampFor(vertical, across - shift, line, pen, 2 * units + 1);
    if (!stamp) return false;
    if (stamp->strip.isNull()) return true;                            // the pen leaves no pixel
    const auto moved = static_cast<int>(std::lround(shift * ratio_));  // exact: whole units
    const QPoint by = vertical ? QPoint(moved, 0) : QPoint(0, moved);
    if (image_ &&
        pixelsWhollyInClip(painter, *image_, ratio_).contains(stamp->bounds.translated(by))) {
        setDown(*stamp, by);
    } else {
        painter.drawImage(stamp->at + QPointF(by) / ratio_, stamp->strip);
    }
    return true;
}

// Sets the stamp's dashes straight into the picture's pixels: they are opaque and wholly inside
// the clip, so the painter would only have copied them.
void DashedLineStamps::setDown(const Stamp& stamp, QPoint by) {
    const QRgb pixel = stamp.colour | 0xFF000000u;
    uchar* const bits = image_->bits();  // the painter's own pixels: it holds the image unshared
    const qsizetype stride = image_->bytesPerLine();
    for (const QRect& dash : stamp.dashes) {
        const QRect at = dash.translated(by);
        for (int y = at.top(); y <= at.bottom(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
            std::fill(row + at.left(), row + at.right() + 1, pixel);
        }
    }
}

// The stamp of the line moved `across` into its strip (exact: the move is a whole number), painted
// when first asked for.
const DashedLineStamps::Stamp* DashedLineStamps::stampFor(bool vertical, double across,
                                                          const QLineF& line, const QPen& pen,
                                                          double units) {
    const double from = vertical ? line.y1() : line.x1(), to = vertical ? line.y2() : line.x2();
    const QRgb colour = pen.color().rgba();
    for (const Stamp& s : stamps_) {
        if (s.vertical == vertical && s.across == across && s.from == from && s.to == to &&
            s.colour == colour && s.style == pen.style() && s.width == pen.widthF())
            return &s;
    }
    if (stamps_.size() >= kMostStamps) return nullptr;
    const int thickness = static_cast<int>(std::lround(units * unit_ * ratio_));
    QImage strip(vertical ? thickness : imagePixels_.width(),
                 vertical ? imagePixels_.height() : thickness, QImage::Format_ARGB32_Premultiplied);
    if (strip.isNull()) return nullptr;
    strip.setDevicePixelRatio(ratio_);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(pen);
    painter.drawLine(vertical ? QLineF(across, from, across, to)
                              : QLineF(from, across, to, across));
    painter.end();
    Stamp stamp{vertical, across, from, to, colour, pen.style(), pen.widthF(), {}, {}, {}, {}};
    if (!inkOf(strip, stamp)) return nullptr;
    stamps_.push_back(std::move(stamp));
    return &stamps_.back();
}

// Keeps of the painted strip only the whole units that hold its ink (most of a strip is the space
// around the line), and its dashes as rectangles of image pixels. False when the ink is not the
// pen's colour alone (nothing then to stamp with).
bool DashedLineStamps::inkOf(const QImage& strip, Stamp& stamp) const {
    const QRgb pen = qPremultiply(stamp.colour);
    std::vector<QRect> open;  // the dashes reaching the row above
    for (int y = 0; y < strip.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(strip.constScanLine(y));
        std::vector<QRect> reaching;
        std::size_t above = 0;
        for (int x = 0; x < strip.width();) {
            if (qAlpha(row[x]) == 0) {
                ++x;
                continue;
            }
            const int left = x;
            for (; x < strip.width() && qAlpha(row[x]) != 0; ++x)
                if (row[x] != pen) return false;
            while (above < open.size() && open[above].left() < left) ++above;
            const bool continues =
                above < open.size() && open[above].left() == left && open[above].right() == x - 1;
            reaching.push_back(continues ? open[above].adjusted(0, 0, 0, 1)
                                         : QRect(left, y, x - left, 1));
            if (continues) open[above] = QRect();  // carried on, not ended here
        }
        for (const QRect& ended : open)
            if (!ended.isNull()) stamp.dashes.push_back(ended);
        open = std::move(reaching);
    }
    stamp.dashes.insert(stamp.dashes.end(), open.begin(), open.end());
    for (const QRect& dash : stamp.dashes) stamp.bounds |= dash;
    if (stamp.bounds.isEmpty()) return true;
    const int step = static_cast<int>(std::lround(unit_ * ratio_));  // image pixels of a unit
    const auto down = [step](int pixel) { return pixel / step * step; };
    const auto up = [step](int pixel) { return (pixel + step - 1) / step * step; };
    const QRect kept(QPoint(down(stamp.bounds.left()), down(stamp.bounds.top())),
                     QPoint(up(stamp.bounds.right() + 1) - 1, up(stamp.bounds.bottom() + 1) - 1));
    stamp.strip = strip.copy(kept.intersected(strip.rect()));
    stamp.strip.setDevicePixelRatio(ratio_);
    stamp.at = QPointF(kept.left() / step * unit_, kept.top() / step * unit_);
    return true;
}

}  // namespace hg
