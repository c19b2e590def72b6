// A canvas that draws nothing and keeps every call, so that a composed graph or page can be
// checked exactly: which lines in which style and colour, which texts at which corner.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

namespace hg {

struct DrawCall {
    enum class Kind { Clear, Line, Box, FilledBox, Point, Text };
    Kind kind = Kind::Line;
    Point from;     // line and box: first corner; point: the point; text: top-left corner
    Point to;       // line and box: last corner; point and text: same as from
    Colour colour;  // the colour drawn in (the fore colour unless the call gave one)
    LineStyle style = LineStyle::Solid;
    int width = 1;     // as set (the width on A4)
    double pen = 1;    // as drawn: the width times the paper scale
    FontSpec font;     // as drawn: its size times the paper scale
    std::string text;  // text calls only

    bool horizontal() const { return from.y == to.y; }
    bool vertical() const { return from.x == to.x; }
};

// "line (100,318)-(2000,318) #808080 dotted w1", "text (0,310) #000000[0] "ＭＳ ゴシック" 12 "
// 90"".
std::string describe(const DrawCall& call);
std::ostream& operator<<(std::ostream& out, const DrawCall& call);

class RecordingCanvas : public Canvas {
  public:
    RecordingCanvas(double width, double height) : Canvas(width, height) {}

    // Text extent without a font: every character is one cell, or two cells when it is
    // full width (anything outside ASCII and the half-width katakana U+FF61..U+FF9F); a cell is
    // half the font size in points wide, and a line is the font size high, each times the user
    // units per point (1 unless set).
    double textWidth(std::string_view utf8) const override;
    double textHeight() const override;
    // The width and height a recorded text call covers, by the same rule in the call's font.
    Point textExtent(const DrawCall& call) const;
    void setUnitsPerPoint(double x, double y) {
        unitsPerPointX_ = x;
        unitsPerPointY_ = y;
    }
    // Portrait unless set.
    bool landscape() const override { return landscape_; }
    void setLandscape(bool landscape) { landscape_ = landscape; }

    const std::vector<DrawCall>& calls() const { return calls_; }
    void forget() { calls_.clear(); }

    std::vector<DrawCall> select(const std::function<bool(const DrawCall&)>& keep) const;
    std::vector<DrawCall> ofKind(DrawCall::Kind kind) const;
    std::vector<DrawCall> lines() const { return ofKind(DrawCall::Kind::Line); }
    std::vector<DrawCall> boxes() const { return ofKind(DrawCall::Kind::Box); }
    std::vector<DrawCall> filledBoxes() const { return ofKind(DrawCall::Kind::FilledBox); }
    std::vector<DrawCall> points() const { return ofKind(DrawCall::Kind::Point); }
    std::vector<DrawCall> texts() const { return ofKind(DrawCall::Kind::Text); }
    std::vector<DrawCall> lines(LineStyle style) const;
    std::vector<DrawCall> lines(Rgb colour) const;
    std::vector<DrawCall> horizontalLinesAt(double y) const;
    std::vector<DrawCall> verticalLinesAt(double x) const;
    // The first text call of exactly this text, or nullptr.
    const DrawCall* findText(std::string_view text) const;
    // Every text call of exactly this text, in drawing order.
    std::vector<DrawCall> findTexts(std::string_view text) const;
    int count(DrawCall::Kind kind) const;

    // One line per call, for test failure messages.
    std::string dump() const;

  protected:
    void drawClear(Rgb back) override;
    void drawLine(Point from, Point to, const Colour& colour) override;
    void drawBox(Point a, Point b, const Colour& colour) override;
    void drawFilledBox(Point a, Point b, const Colour& colour) override;
    void drawPoint(Point at, const Colour& colour) override;
    void drawText(Point topLeft, std::string_view utf8) override;

  private:
    void record(DrawCall::Kind kind, Point from, Point to, const Colour& colour,
                std::string_view text = {});

    std::vector<DrawCall> calls_;
    double unitsPerPointX_ = 1;
    double unitsPerPointY_ = 1;
    bool landscape_ = false;
};

}  // namespace hg
