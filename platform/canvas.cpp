#include "platform/canvas.h"

#include <cmath>

namespace hg {

Canvas::Canvas(double width, double height)
    : scaleW_(std::isfinite(width) && width > 0 ? width : 1),
      scaleH_(std::isfinite(height) && height > 0 ? height : 1) {}

void Canvas::clear() {
    drawClear(back_.rgb);
    current_ = {0, 0};
}

void Canvas::line(double x1, double y1, double x2, double y2, std::optional<Colour> colour) {
    drawLine({x1, y1}, {x2, y2}, colour.value_or(fore_));
    current_ = {x2, y2};
}

void Canvas::lineTo(double x, double y, std::optional<Colour> colour) {
    line(current_.x, current_.y, x, y, colour);
}

void Canvas::box(double x1, double y1, double x2, double y2, std::optional<Colour> colour) {
    drawBox({x1, y1}, {x2, y2}, colour.value_or(fore_));
    current_ = {x2, y2};
}

void Canvas::fillBox(double x1, double y1, double x2, double y2, std::optional<Colour> colour) {
    drawFilledBox({x1, y1}, {x2, y2}, colour.value_or(fore_));
    current_ = {x2, y2};
}

void Canvas::point(double x, double y, std::optional<Colour> colour) {
    drawPoint({x, y}, colour.value_or(fore_));
    current_ = {x, y};
}

void Canvas::text(double x, double y, std::string_view utf8) {
    drawText({x, y}, utf8);
    current_ = {x + textWidth(utf8), y};
}

bool Canvas::setScale(double width, double height) {
    if (!std::isfinite(width) || !std::isfinite(height) || width <= 0 || height <= 0) return false;
    scaleW_ = width;
    scaleH_ = height;
    return true;
}

}  // namespace hg
