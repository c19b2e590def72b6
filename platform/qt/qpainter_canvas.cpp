#include "platform/qt/qpainter_canvas.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPen>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <mutex>

#include "platform/qt/qt_text.h"

namespace hg {
namespace {

constexpr double kScreenDpi = 96;

QColor toQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

bool isRaster(const QPaintDevice& device) {
    const int type = device.devType();
    return type == QInternal::Image || type == QInternal::Pixmap || type == QInternal::Widget;
}

// An image with a pixel ratio (the picture of a scaled screen) is drawn in its logical pixels: the
// painter maps them onto the image's finer ones, so lines and letters come out sharp.
double pixelRatio(const QPaintDevice& device) {
    const int type = device.devType();
    return type == QInternal::Image || type == QInternal::Pixmap ? device.devicePixelRatio() : 1.0;
}

int logical(int pixels, double ratio) {
    return static_cast<int>(std::lround(pixels / ratio));
}

bool finite(Point p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

}  // namespace

void installJapaneseFontSubstitutions() {
    static std::once_flag once;
    std::call_once(once, [] {
        const QStringList gothic{QStringLiteral("IPAGothic")};
        const QStringList proportional{QStringLiteral("IPAPGothic")};
        QFont::insertSubstitutions(toQString(kGothicFont), gothic);
        QFont::insertSubstitutions(toQString(kProportionalGothicFont), proportional);
        // The same names as they are often spelled in half-width letters.
        QFont::insertSubstitutions(QStringLiteral("MS Gothic"), gothic);
        QFont::insertSubstitutions(QStringLiteral("MS PGothic"), proportional);
    });
}

QImage whitePicture(QSize size, double ratio) {
    if (size.isEmpty()) return {};
    QImage image(size * ratio, QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    return image;
}

QPainterCanvas::QPainterCanvas(QPaintDevice& device, RoundLines lines)
    : Canvas(logical(device.width(), pixelRatio(device)),
             logical(device.height(), pixelRatio(device))),
      device_(device),
      deviceW_(logical(device.width(), pixelRatio(device))),
      deviceH_(logical(device.height(), pixelRatio(device))) {
    installJapaneseFontSubstitutions();
    const bool raster = isRaster(device);
    fontDpi_ = raster ? kScreenDpi : device.logicalDpiY();
    // Pens are as wide in logical pixels on a finer image as on a plain one.
    penScale_ = raster ? pixelRatio(device) : std::max(1.0, device.logicalDpiX() / kScreenDpi);
    painter_.begin(&device);
    if (painter_.isActive()) painter_.setRenderHint(QPainter::Antialiasing, false);
    if (painter_.isActive() && device.devType() == QInternal::Image)
        stamps_.emplace(static_cast<QImage&>(device));
    if (painter_.isActive() && device.devType() == QInternal::Image &&
        (pixelRatio(device) != 1 || lines == RoundLines::Filled))
        spans_.emplace(static_cast<QImage&>(device));
}

QPainterCanvas::~QPainterCanvas() {
    if (painter_.isActive()) painter_.end();
}

bool QPainterCanvas::finish() {
    return painter_.isActive() && painter_.end();
}

QPointF QPainterCanvas::toDevice(Point p) const {
    return QPointF(p.x * deviceW_ / scaleWidth(), p.y * deviceH_ / scaleHeight());
}

void QPainterCanvas::restrictTo(const QRectF& area) {
    area_ = area;
    if (painter_.isActive()) painter_.setClipRect(area);
    if (spans_) spans_->setClip(area);
}

// The area's edges fall on whole image pixels, so the intersection rounds to the same pixels as
// the drawing's own clip does alone.
void QPainterCanvas::applyClip(std::optional<Point> a, std::optional<Point> b) {
    if (!painter_.isActive()) return;
    std::optional<QRectF> clip = area_;
    if (a && b && finite(*a) && finite(*b)) {
        const QRectF own = QRectF(toDevice(*a), toDevice(*b)).normalized();
        clip = area_ ? own.intersected(*area_) : own;
    }
    if (clip) {
        painter_.setClipRect(*clip);
    } else {
        painter_.setClipping(false);
    }
    if (spans_) spans_->setClip(clip);
}

std::optional<std::pair<double, double>> QPainterCanvas::reachedX() const {
    if (!area_ || deviceW_ <= 0) return std::nullopt;
    constexpr double kBeyondAnyPen = 16;  // logical pixels
    const double perUnit = deviceW_ / scaleWidth();
    return std::pair{(area_->left() - kBeyondAnyPen) / perUnit,
                     (area_->right() + kBeyondAnyPen) / perUnit};
}

// Whether a line's pixels can fall inside the area: its box widened by the pen and a pixel.
bool QPainterCanvas::reaches(QPointF from, QPointF to) const {
    if (!area_) return true;
    const double m = drawnLineWidth() + 2;
    return QRectF(from, to).normalized().adjusted(-m, -m, m, m).intersects(*area_);
}

// The pen of the colour, the line width and (when styled) the line style. Curves are thousands of
// lines of one pen: it is made again only when one of these changes.
const QPen& QPainterCanvas::pen(const Colour& colour, bool styled) const {
    const double width = drawnLineWidth() * penScale_;
    const LineStyle style = styled ? lineStyle() : LineStyle::Solid;
    const PenKey key{colour.rgb.r, colour.rgb.g, colour.rgb.b, style, width, squareEnds()};
    if (penKey_ && *penKey_ == key) return pen_;
    penKey_ = key;
    pen_ = QPen(toQColor(colour.rgb));
    pen_.setCosmetic(true);
    pen_.setWidthF(width);
    pen_.setJoinStyle(Qt::RoundJoin);
    Qt::PenStyle penStyle = Qt::SolidLine;
    if (style == LineStyle::Dotted) penStyle = Qt::DotLine;
    if (style == LineStyle::DashDot) penStyle = Qt::DashDotLine;
    pen_.setStyle(penStyle);
    // Dashes keep their gaps with flat ends; a one-pixel solid line keeps its last pixel with
    // square ends; wider curves join smoothly with round ends, unless square ones are asked for.
    if (penStyle != Qt::SolidLine) {
        pen_.setCapStyle(Qt::FlatCap);
    } else {
        pen_.setCapStyle(width > 1.5 && !squareEnds() ? Qt::RoundCap : Qt::SquareCap);
    }
    return pen_;
}

const QFont& QPainterCanvas::qfont() const {
    if (!cacheValid_ || cachedSpec_ != drawnFont()) {
        cachedSpec_ = drawnFont();
        QFont f(toQString(cachedSpec_.name));
        // Qt converts points with the device's logical dpi; scale so they come out at fontDpi_.
        const double deviceDpi = device_.logicalDpiY() > 0 ? device_.logicalDpiY() : fontDpi_;
        const double points = cachedSpec_.size > 0 ? cachedSpec_.size : 1;
        f.setPointSizeF(points * fontDpi_ / deviceDpi);
        f.setBold(cachedSpec_.bold);
        cachedFont_ = f;
        cacheValid_ = true;
    }
    return cachedFont_;
}

QFont QPainterCanvas::currentQFont() const {
    return qfont();
}

double QPainterCanvas::textWidth(std::string_view utf8) const {
    const QFontMetricsF metrics(qfont(), &device_);
    if (deviceW_ <= 0) return 0;
    return metrics.horizontalAdvance(toQString(utf8)) * scaleWidth() / deviceW_;
}

double QPainterCanvas::textHeight() const {
    const QFontMetricsF metrics(qfont(), &device_);
    if (deviceH_ <= 0) return 0;
    return metrics.height() * scaleHeight() / deviceH_;
}

void QPainterCanvas::drawClear(Rgb back) {
    if (!painter_.isActive()) return;
    painter_.fillRect(QRect(0, 0, deviceW_, deviceH_), toQColor(back));
}

void QPainterCanvas::drawLine(Point from, Point to, const Colour& colour) {
    if (!painter_.isActive() || !finite(from) || !finite(to)) return;
    const QPointF a = toDevice(from), b = toDevice(to);
    if (!reaches(a, b)) return;
    const QPen& styled = pen(colour, true);
    if (spans_ && spans_->drawLine(a, b, styled)) return;
    if (stamps_ && stamps_->draw(painter_, QLineF(a, b), styled)) return;
    painter_.setPen(styled);
    painter_.drawLine(a, b);
}

void QPainterCanvas::drawBox(Point a, Point b, const Colour& colour) {
    if (!painter_.isActive() || !finite(a) || !finite(b)) return;
    painter_.setPen(pen(colour, true));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRectF(toDevice(a), toDevice(b)).normalized());
}

void QPainterCanvas::drawFilledBox(Point a, Point b, const Colour& colour) {
    if (!painter_.isActive() || !finite(a) || !finite(b)) return;
    const QColor fill = pen(colour, false).color();
    painter_.fillRect(QRectF(toDevice(a), toDevice(b)).normalized(), fill);
}

void QPainterCanvas::drawPoint(Point at, const Colour& colour) {
    if (!painter_.isActive() || !finite(at)) return;
    const QPointF p = toDevice(at);
    if (spans_ && spans_->drawPoint(p, pen(colour, false))) return;
    painter_.setPen(pen(colour, false));
    painter_.drawPoint(p);
}

void QPainterCanvas::drawText(Point topLeft, std::string_view utf8) {
    if (!painter_.isActive() || !finite(topLeft) || utf8.empty()) return;
    const QFont& f = qfont();
    painter_.setFont(f);
    painter_.setPen(toQColor(foreColor().rgb));
    const QFontMetricsF metrics(f, &device_);
    const QPointF corner = toDevice(topLeft);
    // QPainter places text by its baseline; the canvas by the top-left corner.
    painter_.drawText(QPointF(corner.x(), corner.y() + metrics.ascent()), toQString(utf8));
}

}  // namespace hg
