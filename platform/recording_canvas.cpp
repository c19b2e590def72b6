#include "platform/recording_canvas.h"

#include <cstdio>
#include <ostream>
#include <utility>

namespace hg {
namespace {

// Half-width cells of a UTF-8 text: ASCII and half-width katakana take one, the rest two.
// A malformed byte counts as one cell of its own.
int cells(std::string_view utf8) {
    int total = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 1;
        char32_t code = lead;
        if (lead >= 0xF0 && lead < 0xF8) {
            length = 4;
            code = lead & 0x07;
        } else if (lead >= 0xE0) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xC0) {
            length = 2;
            code = lead & 0x1F;
        }
        bool wellFormed = lead < 0x80 || (lead >= 0xC0 && lead < 0xF8);
        if (i + length > utf8.size()) wellFormed = false;
        for (std::size_t k = 1; wellFormed && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) wellFormed = false;
            code = (code << 6) | (next & 0x3F);
        }
        if (!wellFormed) {
            total += 1;
            i += 1;
            continue;
        }
        const bool halfWidth = code < 0x80 || (code >= 0xFF61 && code <= 0xFF9F);
        total += halfWidth ? 1 : 2;
        i += length;
    }
    return total;
}

const char* kindName(DrawCall::Kind kind) {
    switch (kind) {
        case DrawCall::Kind::Clear:
            return "clear";
        case DrawCall::Kind::Line:
            return "line";
        case DrawCall::Kind::Box:
            return "box";
        case DrawCall::Kind::FilledBox:
            return "filled box";
        case DrawCall::Kind::Point:
            return "point";
        case DrawCall::Kind::Text:
            return "text";
    }
    return "?";
}

const char* styleName(LineStyle style) {
    switch (style) {
        case LineStyle::Solid:
            return "solid";
        case LineStyle::Dotted:
            return "dotted";
        case LineStyle::DashDot:
            return "dash-dot";
    }
    return "?";
}

std::string number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return buffer;
}

std::string colourText(const Colour& c) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", c.rgb.r, c.rgb.g, c.rgb.b);
    std::string out = buffer;
    if (c.paletteIndex >= 0) out.append("[").append(std::to_string(c.paletteIndex)).append("]");
    return out;
}

}  // namespace

std::string describe(const DrawCall& call) {
    std::string out = kindName(call.kind);
    if (call.kind == DrawCall::Kind::Clear) return out;
    out += " (" + number(call.from.x) + "," + number(call.from.y) + ")";
    if (call.kind == DrawCall::Kind::Line || call.kind == DrawCall::Kind::Box ||
        call.kind == DrawCall::Kind::FilledBox) {
        out += "-(" + number(call.to.x) + "," + number(call.to.y) + ")";
    }
    out.append(" ").append(colourText(call.colour));
    if (call.kind == DrawCall::Kind::Text) {
        out += " \"" + call.font.name + "\" " + number(call.font.size);
        if (call.font.bold) out += " bold";
        out += " \"" + call.text + "\"";
    } else {
        out += std::string(" ") + styleName(call.style) + " w" + std::to_string(call.width);
    }
    return out;
}

std::ostream& operator<<(std::ostream& out, const DrawCall& call) {
    return out << describe(call);
}

double RecordingCanvas::textWidth(std::string_view utf8) const {
    return cells(utf8) * drawnFont().size / 2 * unitsPerPointX_;
}

double RecordingCanvas::textHeight() const {
    return drawnFont().size * unitsPerPointY_;
}

Point RecordingCanvas::textExtent(const DrawCall& call) const {
    return {cells(call.text) * call.font.size / 2 * unitsPerPointX_,
            call.font.size * unitsPerPointY_};
}

std::vector<DrawCall> RecordingCanvas::select(
    const std::function<bool(const DrawCall&)>& keep) const {
    std::vector<DrawCall> out;
    for (const DrawCall& call : calls_) {
        if (keep(call)) out.push_back(call);
    }
    return out;
}

std::vector<DrawCall> RecordingCanvas::ofKind(DrawCall::Kind kind) const {
    return select([kind](const DrawCall& c) { return c.kind == kind; });
}

std::vector<DrawCall> RecordingCanvas::lines(LineStyle style) const {
    return select(
        [style](const DrawCall& c) { return c.kind == DrawCall::Kind::Line && c.style == style; });
}

std::vector<DrawCall> RecordingCanvas::lines(Rgb colour) const {
    return select([colour](const DrawCall& c) {
        return c.kind == DrawCall::Kind::Line && c.colour.rgb == colour;
    });
}

std::vector<DrawCall> RecordingCanvas::horizontalLinesAt(double y) const {
    return select([y](const DrawCall& c) {
        return c.kind == DrawCall::Kind::Line && c.horizontal() && c.from.y == y;
    });
}

std::vector<DrawCall> RecordingCanvas::verticalLinesAt(double x) const {
    return select([x](const DrawCall& c) {
        return c.kind == DrawCall::Kind::Line && c.vertical() && c.from.x == x;
    });
}

const DrawCall* RecordingCanvas::findText(std::string_view text) const {
    for (const DrawCall& call : calls_) {
        if (call.kind == DrawCall::Kind::Text && call.text == text) return &call;
    }
    return nullptr;
}

std::vector<DrawCall> RecordingCanvas::findTexts(std::string_view text) const {
    return select(
        [text](const DrawCall& c) { return c.kind == DrawCall::Kind::Text && c.text == text; });
}

int RecordingCanvas::count(DrawCall::Kind kind) const {
    int n = 0;
    for (const DrawCall& call : calls_) n += call.kind == kind ? 1 : 0;
    return n;
}

std::string RecordingCanvas::dump() const {
    std::string out;
    for (const DrawCall& call : calls_) out += describe(call) + "\n";
    return out;
}

void RecordingCanvas::record(DrawCall::Kind kind, Point from, Point to, const Colour& colour,
                             std::string_view text) {
    DrawCall call;
    call.kind = kind;
    call.from = from;
    call.to = to;
    call.colour = colour;
    call.style = lineStyle();
    call.width = lineWidth();
    call.pen = drawnLineWidth();
    call.font = drawnFont();
    call.text = std::string(text);
    calls_.push_back(std::move(call));
}

void RecordingCanvas::drawClear(Rgb back) {
    record(DrawCall::Kind::Clear, {}, {}, Colour(back));
}

void RecordingCanvas::drawLine(Point from, Point to, const Colour& colour) {
    record(DrawCall::Kind::Line, from, to, colour);
}

void RecordingCanvas::drawBox(Point a, Point b, const Colour& colour) {
    record(DrawCall::Kind::Box, a, b, colour);
}

void RecordingCanvas::drawFilledBox(Point a, Point b, const Colour& colour) {
    record(DrawCall::Kind::FilledBox, a, b, colour);
}

void RecordingCanvas::drawPoint(Point at, const Colour& colour) {
    record(DrawCall::Kind::Point, at, at, colour);
}

void RecordingCanvas::drawText(Point topLeft, std::string_view utf8) {
    record(DrawCall::Kind::Text, topLeft, topLeft, foreColor(), utf8);
}

}  // namespace hg
