#include "platform/qt/dashed_line_stamps.h"

#include <QPainter>
#include <cmath>

namespace hg {
namespace {

constexpr int kLargestUnit = 16;  // a ratio needing more logical pixels per move is not stamped
constexpr std::size_t kMostStamps = 8;

// The fewest logical pixels that are a whole number of image pixels at the ratio; 0 when none is.
int unitOf(double ratio) {
    if (!(ratio > 0) || !std::isfinite(ratio)) return 0;
    for (int unit = 1; unit <= kLargestUnit; ++unit) {
        const double pixels = unit * ratio;
        if (pixels == std::floor(pixels)) return unit;
    }
    return 0;
}

bool dashed(const QPen& pen) {
    return pen.style() == Qt::DotLine || pen.style() == Qt::DashDotLine;
}

}  // namespace

DashedLineStamps::DashedLineStamps(QSize imagePixels, double ratio)
    : imagePixels_(imagePixels), ratio_(ratio), unit_(unitOf(ratio)) {}

bool DashedLineStamps::draw(QPainter& painter, const QLineF& line, const QPen& pen) {
    if (unit_ == 0 || !dashed(pen) || !pen.isCosmetic() || pen.brush().style() != Qt::SolidPattern)
        return false;
    if (painter.testRenderHint(QPainter::Antialiasing) || !painter.worldTransform().isIdentity())
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
    if (!stamp->strip.isNull())
        painter.drawImage(stamp->at + (vertical ? QPointF(shift, 0) : QPointF(0, shift)),
                          stamp->strip);
    return true;
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
    Stamp stamp{vertical, across, from, to, colour, pen.style(), pen.widthF(), {}, {}};
    inkOf(strip, stamp);
    stamps_.push_back(std::move(stamp));
    return &stamps_.back();
}

// Keeps of the painted strip only the whole units that hold its ink: most of a strip is the space
// around the line and between its dashes' ends, which need not be set down.
void DashedLineStamps::inkOf(const QImage& strip, Stamp& stamp) const {
    QRect ink;
    for (int y = 0; y < strip.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(strip.constScanLine(y));
        for (int x = 0; x < strip.width(); ++x)
            if (qAlpha(row[x]) != 0) ink |= QRect(x, y, 1, 1);
    }
    if (ink.isEmpty()) return;
    const int step = static_cast<int>(std::lround(unit_ * ratio_));  // image pixels of a unit
    const auto down = [step](int pixel) { return pixel / step * step; };
    const auto up = [step](int pixel) { return (pixel + step - 1) / step * step; };
    const QRect kept(QPoint(down(ink.left()), down(ink.top())),
                     QPoint(up(ink.right() + 1) - 1, up(ink.bottom() + 1) - 1));
    stamp.strip = strip.copy(kept.intersected(strip.rect()));
    stamp.strip.setDevicePixelRatio(ratio_);
    stamp.at = QPointF(kept.left() / step * unit_, kept.top() / step * unit_);
}

}  // namespace hg
