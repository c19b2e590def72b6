// The drawing surface that the graph picture and the printed page are composed on.
//
// Coordinates are user units of a window laid over the whole picture: the screen picture uses its
// pixels, the printed page 2350 units across and 640 or 1970 down. x and y are mapped separately
// onto the device, so the two factors may differ; fonts and pens are never stretched by them.
//
// The surface keeps a current point the way the classic picture and printer objects do: a line,
// box or point leaves it at its last corner, text leaves it just after the text on the same line,
// and lineTo continues from it. Texts are placed by their top-left corner.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace hg {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

// The standard 16-colour palette (red, green, blue) used by every text, line and curve.
inline constexpr std::array<Rgb, 16> kPalette = {{
    {0, 0, 0},        // 0 black
    {0, 0, 128},      // 1 blue
    {0, 128, 0},      // 2 green
    {0, 128, 128},    // 3 cyan
    {128, 0, 0},      // 4 red
    {128, 0, 128},    // 5 magenta
    {128, 128, 0},    // 6 yellow
    {192, 192, 192},  // 7 light grey
    {128, 128, 128},  // 8 grey
    {0, 0, 255},      // 9 light blue
    {0, 255, 0},      // 10 light green
    {0, 255, 255},    // 11 light cyan
    {255, 0, 0},      // 12 light red
    {255, 0, 255},    // 13 light magenta
    {255, 255, 0},    // 14 light yellow
    {255, 255, 255},  // 15 white
}};

// Palette colour of an index 0..15; black for any other index.
constexpr Rgb paletteRgb(int index) {
    return index >= 0 && index < 16 ? kPalette[static_cast<std::size_t>(index)] : Rgb{};
}

// A colour written as six hexadecimal digits: blue, green, red from the left, so "900000" is
// RGB(0, 0, 144), a dark blue, and "808080" grey. Empty unless exactly six hexadecimal digits.
constexpr std::optional<Rgb> rgbFromBgrHex(std::string_view digits) {
    if (digits.size() != 6) return std::nullopt;
    int bytes[3] = {0, 0, 0};
    for (std::size_t i = 0; i < 6; ++i) {
        const char c = digits[i];
        int v = 0;
        if (c >= '0' && c <= '9') {
            v = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            v = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            v = c - 'a' + 10;
        } else {
            return std::nullopt;
        }
        bytes[i / 2] = bytes[i / 2] * 16 + v;
    }
    return Rgb{static_cast<uint8_t>(bytes[2]), static_cast<uint8_t>(bytes[1]),
               static_cast<uint8_t>(bytes[0])};
}

// A drawing colour: its RGB value, and the palette index when it was given as one (-1 otherwise).
struct Colour {
    Rgb rgb;
    int paletteIndex = -1;

    Colour() = default;
    constexpr Colour(Rgb value) : rgb(value) {}  // NOLINT: an RGB value is a colour
    static constexpr Colour palette(int index) {
        Colour c(paletteRgb(index));
        c.paletteIndex = index;
        return c;
    }
    // Same drawn colour, whichever way it was given.
    friend constexpr bool operator==(const Colour& a, const Colour& b) { return a.rgb == b.rgb; }
};

enum class LineStyle { Solid, Dotted, DashDot };

struct FontSpec {
    std::string name;
    double size = 12;  // points; fractions allowed (13.5)
    bool bold = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// The two font names the windows and pages ask for.
inline constexpr std::string_view kGothicFont = "ＭＳ ゴシック";
inline constexpr std::string_view kProportionalGothicFont = "ＭＳ Ｐゴシック";

struct Point {
    double x = 0;
    double y = 0;
    friend constexpr bool operator==(Point, Point) = default;
};

class Canvas {
  public:
    virtual ~Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Fills the picture with the back colour; the current point goes to (0, 0).
    void clear();

    // Lines, boxes and points in the given colour, or in the fore colour when none is given,
    // in the current line style and width. Each leaves the current point at its last corner.
    void line(double x1, double y1, double x2, double y2, std::optional<Colour> colour = {});
    void lineTo(double x, double y, std::optional<Colour> colour = {});  // from the current point
    void box(double x1, double y1, double x2, double y2, std::optional<Colour> colour = {});
    // A box filled in the colour with no outline: exactly the area from (x1, y1) to (x2, y2).
    void fillBox(double x1, double y1, double x2, double y2, std::optional<Colour> colour = {});
    void point(double x, double y, std::optional<Colour> colour = {});
    void moveTo(double x, double y) { current_ = {x, y}; }
    Point currentPoint() const { return current_; }

    // Text in the fore colour and current font with its top-left corner at (x, y); the current
    // point moves to (x + textWidth(text), y), where following text on the same line would go.
    void text(double x, double y, std::string_view utf8);
    // Keeps what is drawn next inside the box from (x1, y1) to (x2, y2) until unclip (a plot whose
    // value axis is set by hand has values beyond its frame). Surfaces without clipping ignore it.
    void clipTo(double x1, double y1, double x2, double y2) {
        applyClip(Point{x1, y1}, Point{x2, y2});
    }
    void unclip() { applyClip(std::nullopt, std::nullopt); }
    void textAtCurrent(std::string_view utf8) { text(current_.x, current_.y, utf8); }

    // Extent of a single-line text in the current font, in user units.
    virtual double textWidth(std::string_view utf8) const = 0;
    virtual double textHeight() const = 0;
    // Whether the device is wider than it is high: a sheet of paper lying landscape.
    virtual bool landscape() const { return false; }
    // The user-window x range outside which nothing drawn shows, by more than any pen's width
    // (a canvas that paints one part of the picture); none when it paints the whole.
    virtual std::optional<std::pair<double, double>> reachedX() const { return std::nullopt; }

    void setForeColor(Colour c) { fore_ = c; }
    Colour foreColor() const { return fore_; }
    void setBackColor(Colour c) { back_ = c; }
    Colour backColor() const { return back_; }
    void setLineStyle(LineStyle s) { style_ = s; }
    LineStyle lineStyle() const { return style_; }
    // Pen width in pixels of the screen picture; on paper 1 is a thin visible line.
    void setLineWidth(int w) { width_ = w < 1 ? 1 : w; }
    int lineWidth() const { return width_; }
    // Solid lines end square at any width, as a one-pixel line does on the screen (round ends,
    // the rule for wider lines, would blur short pieces and are slow to stroke on a fine screen).
    void setSquareEnds(bool on) { squareEnds_ = on; }
    bool squareEnds() const { return squareEnds_; }

    void setFont(std::string_view name, double size, bool bold = false) {
        font_ = FontSpec{std::string(name), size, bold};
    }
    void setFontName(std::string_view name) { font_.name = std::string(name); }
    void setFontSize(double points) { font_.size = points; }
    void setFontBold(bool bold) { font_.bold = bold; }
    const FontSpec& font() const { return font_; }

    // How large letters and lines come out: 1 on the screen and on an A4 sheet, the paper's
    // scale on larger or smaller paper. Font sizes and line widths are given as for A4 and drawn
    // times this scale; the user window is not affected.
    void setPaperScale(double scale) { paperScale_ = scale > 0 && scale < 100 ? scale : 1; }
    double paperScale() const { return paperScale_; }
    // The current font and line width as drawn: times the paper scale.
    FontSpec drawnFont() const {
        FontSpec f = font_;
        f.size *= paperScale_;
        return f;
    }
    double drawnLineWidth() const { return width_ * paperScale_; }

    // The user window: the picture is `width` units across and `height` units down. Refuses (and
    // keeps the previous window) anything but positive finite sizes.
    bool setScale(double width, double height);
    // The picture size in user units.
    double scaleWidth() const { return scaleW_; }
    double scaleHeight() const { return scaleH_; }

  protected:
    // A picture of the given size in user units, white background, black pen, solid, width 1,
    // "ＭＳ ゴシック" 12 pt.
    Canvas(double width, double height);

    virtual void drawClear(Rgb back) = 0;
    virtual void drawLine(Point from, Point to, const Colour& colour) = 0;
    virtual void drawBox(Point a, Point b, const Colour& colour) = 0;
    virtual void drawFilledBox(Point a, Point b, const Colour& colour) = 0;
    virtual void drawPoint(Point at, const Colour& colour) = 0;
    virtual void drawText(Point topLeft, std::string_view utf8) = 0;  // in the fore colour
    virtual void applyClip(std::optional<Point> /*a*/, std::optional<Point> /*b*/) {}

  private:
    Point current_;
    Colour fore_ = Colour::palette(0);
    Colour back_ = Colour::palette(15);
    LineStyle style_ = LineStyle::Solid;
    int width_ = 1;
    bool squareEnds_ = false;
    FontSpec font_{std::string(kGothicFont), 12, false};
    double paperScale_ = 1;
    double scaleW_;
    double scaleH_;
};

}  // namespace hg
