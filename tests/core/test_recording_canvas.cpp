#include <gtest/gtest.h>

#include <limits>

#include "platform/canvas.h"
#include "platform/recording_canvas.h"

namespace hg {
namespace {

using Kind = DrawCall::Kind;

TEST(Palette, SixteenColoursAndSixHexDigitsReadBlueGreenRed) {
    const Rgb expected[16] = {
        {0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128},
        {128, 0, 0},     {128, 0, 128}, {128, 128, 0}, {192, 192, 192},
        {128, 128, 128}, {0, 0, 255},   {0, 255, 0},   {0, 255, 255},
        {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
    };
    for (int i = 0; i < 16; ++i) EXPECT_EQ(paletteRgb(i), expected[i]) << i;
    EXPECT_EQ(paletteRgb(16), Rgb{});
    const std::pair<const char*, std::optional<Rgb>> cases[] = {
        {"900000", Rgb{0, 0, 144}}, {"00ff00", Rgb{0, 255, 0}}, {"123456", Rgb{0x56, 0x34, 0x12}},
        {"90000", std::nullopt},    {"90000G", std::nullopt},   {"-90000", std::nullopt},
    };
    for (auto [digits, rgb] : cases) EXPECT_EQ(rgbFromBgrHex(digits), rgb) << digits;
}

TEST(RecordingCanvas, CallsKeepTheirStateAndMoveTheCurrentPoint) {
    RecordingCanvas canvas(2350, 640);
    canvas.setFont(kGothicFont, 12);
    canvas.setLineStyle(LineStyle::Dotted);
    canvas.line(100, 318, 2000, 318, rgbFromBgrHex("808080").value());
    canvas.setLineStyle(LineStyle::Solid);
    canvas.setLineWidth(2);
    canvas.setForeColor(Colour::palette(12));
    canvas.point(260, 300);
    canvas.lineTo(270, 310);
    EXPECT_EQ(canvas.currentPoint(), (Point{270, 310}));
    canvas.text(100, 200, "ab");  // two cells of 6 units
    canvas.textAtCurrent("時");   // one full-width character, two cells
    EXPECT_EQ(canvas.currentPoint(), (Point{124, 200}));
    // A colour given to one call does not become the fore colour.
    EXPECT_EQ(canvas.foreColor().paletteIndex, 12);
    EXPECT_EQ(describe(canvas.calls()[0]), "line (100,318)-(2000,318) #808080 dotted w1");
    EXPECT_EQ(canvas.lines(Rgb{255, 0, 0}).at(0).from, (Point{260, 300}));
    EXPECT_EQ(canvas.findText("時")->from, (Point{112, 200}));
    EXPECT_EQ(describe(*canvas.findText("ab")),
              "text (100,200) #FF0000[12] \"ＭＳ ゴシック\" 12 \"ab\"");
}

TEST(RecordingCanvas, TextExtentAndRefusedSizes) {
    RecordingCanvas canvas(2350, 640);
    canvas.setFont(kGothicFont, 12);
    const std::pair<const char*, double> cases[] = {
        {" 90", 18},
        {"ﾌｧｲﾙ名:", 5 * 6 + 12},  // half-width katakana and colon one cell, 名 two
        {"電圧歪率(%)", 4 * 12 + 3 * 6},
        {"\xff\xfe", 12},  // malformed bytes count one cell each
    };
    for (auto [text, width] : cases) EXPECT_DOUBLE_EQ(canvas.textWidth(text), width) << text;
    canvas.setUnitsPerPoint(2, 3);
    EXPECT_DOUBLE_EQ(canvas.textHeight(), 36);
    EXPECT_TRUE(canvas.setScale(2350, 1970));
    for (double bad : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(canvas.setScale(100, bad)) << bad;
    EXPECT_EQ(canvas.scaleHeight(), 1970);
    canvas.setLineWidth(0);
    EXPECT_EQ(canvas.lineWidth(), 1);
}

}  // namespace
}  // namespace hg
