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

// The columns of the clip whose centres lie in (left, right]; false when there is none.
bool columnsOf(double left, double right, const QRect& clip, int& first, int& last) {
    const double from = left - 0.5, to = right - 0.5;  // first = floor(from) + 1, last = floor(to)
    if (!(to >= clip.left()) || !(from < clip.right())) return false;
    first = from < clip.left() ? clip.left() : static_cast<int>(from) + 1;  // whole from 0 up
    last = to >= clip.right() + 1 ? clip.right() : static_cast<int>(to);
    return first <= last;
}

// The x from `left` to `right` of one row of the round-ended line from `a` to `b` (image pixels):
// the union of the circles at its ends and of the band between them, each cut by the row.
class RowCut {
  public:
    RowCut(QPointF a, QPointF b, double radius)
        : ax_(a.x()), ay_(a.y()), bx_(b.x()), by_(b.y()), r_(radius), squared_(radius * radius) {
        const double dx = bx_ - ax_, dy = by_ - ay_;
        top_ = std::min(ay_, by_);
        bottom_ = std::max(ay_, by_);
        if (dx == 0 || dy == 0) return;
        const double length = std::hypot(dx, dy);
        slanted_ = true;
        acrossPerRise_ = dx / dy;
        acrossHalf_ = radius * length / std::abs(dy);
        alongPerRise_ = dy / dx;
        alongLength_ = length * length / dx;
    }

    bool upright() const { return ax_ == bx_ && ay_ != by_; }
    bool betweenEnds(double y) const { return y >= top_ && y <= bottom_; }
    // The last row whose centre lies between the line's ends.
    int lastRowBetweenEnds() const {
        return static_cast<int>(std::clamp(std::floor(bottom_ - 0.5), -kFarOut, kFarOut));
    }

    // False when the row at height y misses the line. Between the ends of an upright line the row
    // is its band alone, the circles lying within it: a run of records in one pixel column gives
    // the same pixels drawn whole or record by record.
    bool cut(double y, double& left, double& right) const {
        if (upright() && betweenEnds(y)) {
            left = ax_ - r_;
            right = ax_ + r_;
            return true;
        }
        left = kInfinity;
        right = -kInfinity;
        circle(ax_, ay_, y, left, right);
        circle(bx_, by_, y, left, right);
        if (slanted_) {
            band(y, left, right);
        } else if (ay_ == by_ && ax_ != bx_ && y > ay_ - r_ && y <= ay_ + r_) {  // level
            left = std::min(left, std::min(ax_, bx_));
            right = std::max(right, std::max(ax_, bx_));
        }
        return left <= right;
    }

  private:
    void circle(double cx, double cy, double y, double& left, double& right) const {
        const double d = y - cy;
        const double q = squared_ - d * d;
        if (q <= 0) return;  // a circle touching the row leaves it no pixel
        const double h = std::sqrt(q);
        left = std::min(left, cx - h);
        right = std::max(right, cx + h);
    }

    // A slanted line's band by its two pairs of edges: along the line between its ends, across it
    // within the radius.
    void band(double y, double& left, double& right) const {
        const double rise = y - ay_;
        const double across = ax_ + rise * acrossPerRise_;
        const double along0 = ax_ - rise * alongPerRise_;
        const double along1 = along0 + alongLength_;
        const double from = std::max(across - acrossHalf_, std::min(along0, along1));
        const double to = std::min(across + acrossHalf_, std::max(along0, along1));
        if (from > to) return;
        left = std::min(left, from);
        right = std::max(right, to);
    }

    double ax_, ay_, bx_, by_, r_, squared_;
    double top_ = 0, bottom_ = 0;
    bool slanted_ = false;
    double acrossPerRise_ = 0, acrossHalf_ = 0, alongPerRise_ = 0, alongLength_ = 0;
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
    const int lastBetween = line.lastRowBetweenEnds();
    uchar* const bits = image_->bits();  // the painter's own pixels: it holds the image unshared
    const qsizetype stride = image_->bytesPerLine();
    for (int row = firstRow; row <= lastRow; ++row) {
        double left = 0, right = 0;
        int first = 0, last = 0;
        if (!line.cut(row + 0.5, left, right) || !columnsOf(left, right, *clip_, first, last))
            continue;
        // An upright line has the same columns in every row between its ends.
        const int through =
            line.upright() && line.betweenEnds(row + 0.5) ? std::min(lastBetween, lastRow) : row;
        for (; row <= through; ++row) {
            auto* pixels = reinterpret_cast<QRgb*>(bits + row * stride);
            std::fill(pixels + first, pixels + last + 1, pixel);
        }
        --row;
    }
}

}  // namespace hg
