#include <gtest/gtest.h>

#include "platform/canvas.h"
#include "platform/recording_canvas.h"

namespace hg {
namespace {

using Kind = DrawCall::Kind;

TEST(Palette, SixteenColoursInRedGreenBlue) {
    const Rgb expected[16] = {
        {0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128},
        {128, 0, 0},     {128, 0, 128}, {128, 128, 0}, {192, 192, 192},
        {128, 128, 128}, {0, 0, 255},   {0, 255, 0},   {0, 255, 255},
        {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
    };
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(paletteRgb(i), expected[i]);
        EXPECT_EQ(Colour::palette(i).paletteIndex, i);
    }
    EXPECT_EQ(paletteRgb(-1), Rgb{});
    EXPECT_EQ(paletteRgb(16), Rgb{});
}

TEST(Palette, SixHexDigitsReadBlueGreenRed) {
    struct Case {
        const char* digits;
        std::optional<Rgb> rgb;
    };
    const Case cases[] = {
        {"900000", Rgb{0, 0, 144}}, {"808080", Rgb{128, 128, 128}},    {"0000FF", Rgb{255, 0, 0}},
        {"00ff00", Rgb{0, 255, 0}}, {"123456", Rgb{0x56, 0x34, 0x12}}, {"90000", std::nullopt},
        {"9000000", std::nullopt},  {"90000G", std::nullopt},          {"", std::nullopt},
        {"-90000", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.digits);
        EXPECT_EQ(rgbFromBgrHex(c.digits), c.rgb);
    }
    static_assert(rgbFromBgrHex("900000").value() == Rgb{0, 0, 144});
}

TEST(RecordingCanvas, CurrentPointFollowsEveryCall) {
    RecordingCanvas canvas(2350, 640);
    canvas.point(260, 300);
    EXPECT_EQ(canvas.currentPoint(), (Point{260, 300}));
    canvas.lineTo(270, 310);
    canvas.lineTo(280, 305);
    EXPECT_EQ(canvas.currentPoint(), (Point{280, 305}));
    canvas.box(260, 50, 2260, 550);
    EXPECT_EQ(canvas.currentPoint(), (Point{2260, 550}));
    canvas.line(10, 20, 30, 40);
    EXPECT_EQ(canvas.currentPoint(), (Point{30, 40}));
    canvas.setFont(kGothicFont, 12);
    canvas.text(100, 200, "ab");  // two cells of 6 units
    EXPECT_EQ(canvas.currentPoint(), (Point{112, 200}));
    canvas.textAtCurrent("時");  // one full-width character, two cells
    EXPECT_EQ(canvas.currentPoint(), (Point{124, 200}));
    canvas.clear();
    EXPECT_EQ(canvas.currentPoint(), (Point{0, 0}));

    const auto lines = canvas.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].from, (Point{260, 300}));
    EXPECT_EQ(lines[0].to, (Point{270, 310}));
    EXPECT_EQ(lines[1].from, (Point{270, 310}));
    ASSERT_NE(canvas.findText("時"), nullptr);
    EXPECT_EQ(canvas.findText("時")->from, (Point{112, 200}));
    const Kind order[] = {Kind::Point, Kind::Line, Kind::Line, Kind::Box,
                          Kind::Line,  Kind::Text, Kind::Text, Kind::Clear};
    ASSERT_EQ(canvas.calls().size(), std::size(order)) << canvas.dump();
    for (std::size_t i = 0; i < std::size(order); ++i) EXPECT_EQ(canvas.calls()[i].kind, order[i]);
}

TEST(RecordingCanvas, EachCallKeepsTheStateItWasDrawnIn) {
    RecordingCanvas canvas(800, 600);
    canvas.setForeColor(Colour::palette(0));
    canvas.setFont(kGothicFont, 13.5);
    canvas.text(0, 310, " 90");
    canvas.setLineStyle(LineStyle::Dotted);
    canvas.line(100, 318, 2000, 318, rgbFromBgrHex("808080").value());
    canvas.setLineStyle(LineStyle::Solid);
    canvas.setLineWidth(2);
    canvas.setFontBold(true);
    canvas.setForeColor(Colour::palette(12));
    canvas.text(240, 5, " 3次");
    canvas.point(60, 400);
    canvas.lineTo(70, 410);
    canvas.line(60, 400, 60, 380, Colour::palette(9));

    // A colour given to one call does not become the fore colour.
    EXPECT_EQ(canvas.foreColor().paletteIndex, 12);

    const DrawCall* label = canvas.findText(" 90");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->from, (Point{0, 310}));
    EXPECT_EQ(label->colour.paletteIndex, 0);
    EXPECT_EQ(label->font, (FontSpec{std::string(kGothicFont), 13.5, false}));

    const auto grid = canvas.horizontalLinesAt(318);
    ASSERT_EQ(grid.size(), 1u);
    EXPECT_EQ(grid[0].style, LineStyle::Dotted);
    EXPECT_EQ(grid[0].colour, Colour(Rgb{128, 128, 128}));
    EXPECT_EQ(grid[0].colour.paletteIndex, -1);
    EXPECT_EQ(grid[0].width, 1);

    const DrawCall* legend = canvas.findText(" 3次");
    ASSERT_NE(legend, nullptr);
    EXPECT_TRUE(legend->font.bold);
    EXPECT_EQ(legend->colour.rgb, (Rgb{255, 0, 0}));

    const auto red = canvas.lines(Rgb{255, 0, 0});
    ASSERT_EQ(red.size(), 1u);
    EXPECT_EQ(red[0].width, 2);
    EXPECT_EQ(canvas.points()[0].colour.paletteIndex, 12);
    EXPECT_EQ(canvas.verticalLinesAt(60).at(0).colour.paletteIndex, 9);
    EXPECT_EQ(canvas.lines(LineStyle::Dotted).size(), 1u);
    EXPECT_EQ(canvas.lines(LineStyle::Solid).size(), 2u);
    EXPECT_EQ(describe(grid[0]), "line (100,318)-(2000,318) #808080 dotted w1");
    EXPECT_EQ(describe(*label), "text (0,310) #000000[0] \"ＭＳ ゴシック\" 13.5 \" 90\"");
}

TEST(RecordingCanvas, TextExtentCountsHalfAndFullWidthCells) {
    RecordingCanvas canvas(2350, 640);
    canvas.setFont(kGothicFont, 12);
    struct Case {
        const char* text;
        double width;
    };
    const Case cases[] = {
        {"", 0},
        {" 90", 18},
        {"ﾌｧｲﾙ名:", 5 * 6 + 12},  // half-width katakana and colon one cell, 名 two
        {"電圧歪率(%)", 4 * 12 + 3 * 6},
        {"\xff\xfe", 12},  // malformed bytes count one cell each
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(canvas.textWidth(c.text), c.width);
    }
    EXPECT_DOUBLE_EQ(canvas.textHeight(), 12);
    canvas.setUnitsPerPoint(2, 3);
    EXPECT_DOUBLE_EQ(canvas.textWidth(" 90"), 36);
    EXPECT_DOUBLE_EQ(canvas.textHeight(), 36);
}

TEST(RecordingCanvas, UserWindowRefusesEmptyOrBrokenSizes) {
    RecordingCanvas canvas(2350, 640);
    EXPECT_TRUE(canvas.setScale(2350, 1970));
    for (double bad : {0.0, -1.0, std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_FALSE(canvas.setScale(bad, 100));
        EXPECT_FALSE(canvas.setScale(100, bad));
    }
    EXPECT_EQ(canvas.scaleWidth(), 2350);
    EXPECT_EQ(canvas.scaleHeight(), 1970);
    canvas.setLineWidth(0);
    EXPECT_EQ(canvas.lineWidth(), 1);
}

TEST(RecordingCanvas, QueriesFindAndForget) {
    RecordingCanvas canvas(100, 100);
    canvas.text(0, 0, "進み");
    canvas.text(0, 90, "遅れ");
    canvas.text(50, 0, "進み");
    EXPECT_EQ(canvas.findText("遅"), nullptr);
    EXPECT_EQ(canvas.findTexts("進み").size(), 2u);
    EXPECT_EQ(canvas.count(Kind::Text), 3);
    EXPECT_EQ(canvas.select([](const DrawCall& c) { return c.from.y > 50; }).size(), 1u);
    canvas.forget();
    EXPECT_TRUE(canvas.calls().empty());
}

}  // namespace
}  // namespace hg
