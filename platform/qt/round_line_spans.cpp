#include "platform/qt/round_line_spans.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace hg {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

bool writable(const QImage& image) {
    const QImage::Format f = image.format();
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
           f == QImage::Format_ARGB32_Premultiplied;
}

// Coordinates this far out (image pixels) are left to the painter, which cuts such lines at the
// picture's edge; nearer ones keep every product of the row cuts exact enough and finite.
constexpr double kFarOut = 1.0e6;

bool near(QPointF p) {
    return std::abs(p.x()) <= kFarOut && std::abs(p.y()) <= kFarOut;
}

bool whole(double v) {
    return std::isfinite(v) && std::abs(v) < 1e9 && v == std::floor(v);
}

// The x from `left` to `right` of one row of the round-ended line from `a` to `b` (image pixels):
// the union of the circles at its ends and of the band between them, each cut by the row.
class RowCut {
  public:
    RowCut(QPointF a, QPointF b, double radius)
        : ax_(a.x()),
          ay_(a.y()),
          bx_(b.x()),
          by_(b.y()),
          r_(radius),
          dx_(bx_ - ax_),
          dy_(by_ - ay_),
          length_(std::hypot(dx_, dy_)) {}

    // False when the row at height y misses the line.
    bool cut(double y, double& left, double& right) const {
        left = kInfinity;
        right = -kInfinity;
        circle(ax_, ay_, y, left, right);
        circle(bx_, by_, y, left, right);
        band(y, left, right);
        return left <= right;
    }

  private:
    void circle(double cx, double cy, double y, double& left, double& right) const {
        const double d = y - cy;
        const double q = r_ * r_ - d * d;
        if (q <= 0) return;  // a circle touching the row leaves it no pixel
        const double h = std::sqrt(q);
        left = std::min(left, cx - h);
        right = std::max(right, cx + h);
    }

    // Upright and level lines by their exact edges, so that a line cut in pieces covers the
    // pixels of the whole; slanted ones by the two pairs of edges: along the line between its
    // ends, across it within the radius.
    void band(double y, double& left, double& right) const {
        if (dx_ == 0 && dy_ == 0) return;
        double from = -kInfinity, to = kInfinity;
        if (dx_ == 0) {
            if (y < std::min(ay_, by_) || y > std::max(ay_, by_)) return;
            from = ax_ - r_;
            to = ax_ + r_;
        } else if (dy_ == 0) {
            if (y <= ay_ - r_ || y > ay_ + r_) return;
            from = std::min(ax_, bx_);
            to = std::max(ax_, bx_);
        } else {
            const double rise = y - ay_;
            double along0 = ax_ - rise * dy_ / dx_;
            double along1 = ax_ + (length_ * length_ - rise * dy_) / dx_;
            double across0 = ax_ + (rise * dx_ - r_ * length_) / dy_;
            double across1 = ax_ + (rise * dx_ + r_ * length_) / dy_;
            if (along0 > along1) std::swap(along0, along1);
            if (across0 > across1) std::swap(across0, across1);
            from = std::max(along0, across0);
            to = std::min(along1, across1);
            if (from > to) return;
        }
        left = std::min(left, from);
        right = std::max(right, to);
    }

    double ax_, ay_, bx_, by_, r_, dx_, dy_, length_;
};

}  // namespace

RoundLineSpans::RoundLineSpans(QImage& image)
    : image_(writable(image) ? &image : nullptr), ratio_(image.devicePixelRatio()) {
    setClip(std::nullopt);
}

void RoundLineSpans::setClip(const std::optional<QRectF>& clip) {
    if (!image_) return;
    if (!clip) {
        clip_ = image_->rect();
        return;
    }
    const double left = clip->left() * ratio_, top = clip->top() * ratio_;
    const double right = clip->right() * ratio_, bottom = clip->bottom() * ratio_;
    if (!whole(left) || !whole(top) || !whole(right) || !whole(bottom)) {
        clip_.reset();
        return;
    }
    clip_ = QRect(QPoint(static_cast<int>(left), static_cast<int>(top)),
                  QPoint(static_cast<int>(right) - 1, static_cast<int>(bottom) - 1))
                .intersected(image_->rect());
}

bool RoundLineSpans::fits(const QPen& pen) const {
    return image_ && clip_ && pen.style() == Qt::SolidLine && pen.capStyle() == Qt::RoundCap &&
           pen.isCosmetic() && pen.brush().style() == Qt::SolidPattern &&
           pen.color().alpha() == 255 && pen.widthF() > 0 && pen.widthF() < kFarOut;
}

bool RoundLineSpans::drawLine(QPointF a, QPointF b, const QPen& pen) {
    if (!fits(pen) || !near(a * ratio_) || !near(b * ratio_)) return false;
    if (a != b) fill(a * ratio_, b * ratio_, pen.widthF() / 2, pen.color().rgba());
    return true;
}

bool RoundLineSpans::drawPoint(QPointF at, const QPen& pen) {
    if (!fits(pen) || !near(at * ratio_)) return false;
    fill(at * ratio_, at * ratio_, pen.widthF() / 2, pen.color().rgba());
    return true;
}

// Every pixel of the clip whose centre lies within the radius of the line, row by row. A centre on
// the rim counts at the line's right and lower edges, not at its left and upper ones, as Qt's
// rasteriser counts one: a line as wide as a whole number of pixels covers that many, where the
// pen puts them.
void RoundLineSpans::fill(QPointF a, QPointF b, double radius, QRgb pixel) {
    if (clip_->isEmpty()) return;
    const double top = std::min(a.y(), b.y()) - radius - 0.5;
    const double bottom = std::max(a.y(), b.y()) + radius - 0.5;
    const int firstRow = static_cast<int>(std::max<double>(std::ceil(top), clip_->top()));
    const int lastRow = static_cast<int>(std::min<double>(std::floor(bottom), clip_->bottom()));
    const RowCut line(a, b, radius);
    uchar* const bits = image_->bits();  // the painter's own pixels: it holds the image unshared
    const qsizetype stride = image_->bytesPerLine();
    for (int row = firstRow; row <= lastRow; ++row) {
        double left = 0, right = 0;
        if (!line.cut(row + 0.5, left, right)) continue;
        const double first = std::max<double>(std::floor(left - 0.5) + 1, clip_->left());
        const double last = std::min<double>(std::floor(right - 0.5), clip_->right());
        if (first > last) continue;
        auto* pixels = reinterpret_cast<QRgb*>(bits + row * stride);
        std::fill(pixels + static_cast<int>(first), pixels + static_cast<int>(last) + 1, pixel);
    }
}

}  // namespace hg
