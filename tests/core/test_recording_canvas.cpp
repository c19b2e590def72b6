#include <gtest/gtest.h>

#include "platform/canvas.h"
#include "platform/recording_canvas.h"

namespace hg {
namespace {

TEST(Palette, SixteenColoursAndSixHexDigitsReadBlueGreenRed) {
    const Rgb expected[16] = {
        {0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128},
        {128, 0, 0},     {128, 0, 128}, {128, 128, 0}, {192, 192, 192},
        {128, 128, 128}, {0, 0, 255},   {0, 255, 0},   {0, 255, 255},
        {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
    };
    for (int i = 0; i < 16; ++i) EXPECT_EQ(paletteRgb(i), expected[i]) << i;
    EXPECT_EQ(rgbFromBgrHex("900000"), (Rgb{0, 0, 144}));
    EXPECT_EQ(rgbFromBgrHex("123456"), (Rgb{0x56, 0x34, 0x12}));
    for (const char* bad : {"90000", "90000G", "-90000"}) EXPECT_FALSE(rgbFromBgrHex(bad)) << bad;
}

// Each call keeps the state it was drawn in; texts move the current point by their cells (half
// the font size wide, full-width characters two), which places the labels of every graph.
TEST(RecordingCanvas, CallsKeepTheirStateAndTextsMoveTheCurrentPoint) {
    RecordingCanvas canvas(2350, 640);
    canvas.setFont(kGothicFont, 12);
    canvas.setLineStyle(LineStyle::Dotted);
    canvas.line(100, 318, 2000, 318, rgbFromBgrHex("808080").value());
    canvas.setForeColor(Colour::palette(12));
    canvas.text(100, 200, "ab");
    canvas.textAtCurrent("時");
    EXPECT_EQ(canvas.currentPoint(), (Point{124, 200}));
    EXPECT_EQ(canvas.foreColor().paletteIndex, 12);  // a colour given to one call stays its own
    EXPECT_EQ(describe(canvas.calls()[0]), "line (100,318)-(2000,318) #808080 dotted w1");
    EXPECT_EQ(describe(*canvas.findText("ab")),
              "text (100,200) #FF0000[12] \"ＭＳ ゴシック\" 12 \"ab\"");
    EXPECT_DOUBLE_EQ(canvas.textWidth("ﾌｧｲﾙ名:"), 5 * 6 + 12);  // half-width katakana: one cell
    EXPECT_DOUBLE_EQ(canvas.textWidth("\xff\xfe"), 12);         // malformed bytes: a cell each
    EXPECT_FALSE(canvas.setScale(100, 0));
    EXPECT_EQ(canvas.scaleHeight(), 640);
}

}  // namespace
}  // namespace hg
