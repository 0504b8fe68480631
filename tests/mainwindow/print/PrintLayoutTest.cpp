#include "mainwindow/print/PrintLayout.h"

#include "mainwindow/print/PrinterHelper.h"

#include <gtest/gtest.h>

namespace {

// A4 at 300 dpi: 209 x 297 mm, 2479 x 3508 pixels, no unprintable border.
const int kA4[PrintLayout::kCapCount] = {209, 297, 2479, 3508, 300, 300, 2479, 3508, 0, 0};
// Letter at 600 dpi with a quarter-inch border: 8.5 x 11 in less 0.5 in.
const int kLetter[PrintLayout::kCapCount] = {205, 266, 4800, 6300, 600, 600, 5100, 6600, 150, 150};
// Unequal resolutions: 600 dpi across, 300 dpi down.
const int kWide[PrintLayout::kCapCount] = {209, 297, 4958, 3508, 600, 300, 4958, 3508, 0, 0};
const int kNone[PrintLayout::kCapCount] = {};

RECT R(int l, int t, int r, int b) {
    RECT rect = {l, t, r, b};
    return rect;
}

void ExpectRect(const RECT& expected, const RECT& actual, const char* what) {
    EXPECT_EQ(expected.left, actual.left) << what;
    EXPECT_EQ(expected.top, actual.top) << what;
    EXPECT_EQ(expected.right, actual.right) << what;
    EXPECT_EQ(expected.bottom, actual.bottom) << what;
}

}  // namespace

TEST(PrintLayout, MinimumMarginsAreTheSheetsUnprintableBorder) {
    RECT out;
    PrintLayout::MinMargins(kLetter, &out);
    // 150 pixels at 600 dpi = 0.25 in = 635 hundredths of a millimetre.
    ExpectRect(R(635, 635, 635, 635), out, "letter");
    PrintLayout::MinMargins(kA4, &out);
    ExpectRect(R(0, 0, 0, 0), out, "A4");
    PrintLayout::MinMargins(kNone, &out);
    ExpectRect(R(0, 0, 0, 0), out, "no metrics: zeros, no division by zero");
}

TEST(PrintLayout, PrintableAreaInsideTheMargins) {
    const struct {
        const char* what;
        const int* caps;
        RECT margins, minimum, printable;
        BOOL ok;
    } cases[] = {
        // 2500 x 600 / 2540 = 590.55: MulDiv rounds to 591.
        {"25 mm at 600 dpi, no border", kWide, R(2500, 2500, 2500, 2500), R(0, 0, 0, 0), R(591, 295, 4958 - 591, 3508 - 295), TRUE},
        // Margins equal to the border start at the printable corner.
        {"margins at the border", kLetter, R(635, 635, 635, 635), R(635, 635, 635, 635), R(0, 0, 4800, 6300), TRUE},
        {"one inch on letter", kLetter, R(2540, 2540, 2540, 2540), R(635, 635, 635, 635), R(450, 450, 4350, 5850), TRUE},
        {"margins meeting in the middle", kA4, R(10500, 2500, 10500, 2500), R(0, 0, 0, 0), R(1240, 295, 1239, 3213), FALSE},
        {"no metrics", kNone, R(2500, 2500, 2500, 2500), R(0, 0, 0, 0), R(0, 0, 0, 0), FALSE},
    };
    for (const auto& c : cases) {
        RECT printable;
        EXPECT_EQ(c.ok, PrintLayout::Printable(c.margins, c.minimum, c.caps, &printable)) << c.what;
        ExpectRect(c.printable, printable, c.what);
    }
}

TEST(PrintLayout, PreviewPageKeepsTheSheetsAspectWithEightPixelBorders) {
    const struct {
        const char* what;
        int width, height, pageW, pageH;
        RECT page;
    } cases[] = {
        // 584 high; MulDiv(584, 2479, 3508) = 413 wide, from (800 - 413) / 2.
        {"tall sheet in a wide view", 800, 600, 2479, 3508, R(193, 8, 606, 592)},
        // 284 wide; MulDiv(284, 2479, 3508) = 200.7 -> 201 high, from (1000 - 201) / 2.
        {"wide sheet in a tall view", 300, 1000, 3508, 2479, R(8, 399, 292, 600)},
        {"same aspect", 416, 316, 400, 300, R(8, 8, 408, 308)},
        // Nothing left inside the borders: an empty page, centred.
        {"view smaller than the borders", 10, 12, 2479, 3508, R(8, 6, 8, 6)},
        {"no sheet", 800, 600, 0, 0, R(8, 8, 792, 592)},
    };
    for (const auto& c : cases) ExpectRect(c.page, PrintLayout::FitPage(c.width, c.height, c.pageW, c.pageH), c.what);
}

TEST(PrintLayout, ScalesGuardTheirDivisors) {
    EXPECT_DOUBLE_EQ(1.5625, PrintLayout::PaperScale(300, 50, 96));
    EXPECT_DOUBLE_EQ(0.0, PrintLayout::PaperScale(300, 100, 0));
    EXPECT_DOUBLE_EQ(0.0, PrintLayout::PreviewScale(300, 100, 96, 413, 0));
    EXPECT_EQ(0, PrintLayout::MulDivOrZero(5, 7, 0));
    const SIZE none = {0, 0};
    RECT frame = PrintLayout::MetaFileFrame(R(0, 0, 800, 600), none);
    EXPECT_TRUE(IsRectEmpty(&frame));
}

// A4 at 300 dpi with 25 mm margins: printable (295, 295, 2184, 3213), 2918
// high. An 800 x 600 view at 96 dpi is 1250 x 937 on paper at 50 % (centred
// from 614, 1285) and 2500 x 1875 at 100 % (from 816 down, cut to the
// sides); a 1900 x 940 view at 100 % fills the area. Texts: a header of two
// lines (80 pixels) and a footer of one (40).
TEST(PrintLayout, ContentKeepsItsPlaceWhereTheTextsHaveRoomElseMovesClearOfThem) {
    const RECT printable = R(295, 295, 2184, 3213);
    const struct {
        const char* what;
        RECT placed;
        int header, footer;
        RECT content;
    } cases[] = {
        {"50 %, no texts", R(614, 1285, 1864, 2222), 0, 0, R(614, 1285, 1864, 2222)},
        {"50 %, both texts", R(614, 1285, 1864, 2222), 80, 40, R(614, 1285, 1864, 2222)},
        {"100 %, room for both", R(295, 816, 2184, 2691), 80, 40, R(295, 816, 2184, 2691)},
        {"100 % filling, no texts", printable, 0, 0, printable},
        {"100 % filling, both texts", printable, 80, 40, R(295, 375, 2184, 3173)},
        {"100 % filling, a header only", printable, 80, 0, R(295, 375, 2184, 3213)},
        // 2708 high, centred from 400 to 3108: moved by 55 just clear of 160.
        {"pushed down by a tall header", R(614, 400, 1864, 3108), 160, 0, R(614, 455, 1864, 3163)},
        {"pushed up by a tall footer", R(614, 400, 1864, 3108), 0, 160, R(614, 345, 1864, 3053)},
        {"taller than the room between", R(614, 400, 1864, 3108), 160, 160, R(614, 455, 1864, 3053)},
        {"texts taller than the page", printable, 2000, 2000, R(295, 2295, 2184, 2295)},
    };
    for (const auto& c : cases) {
        ExpectRect(c.content, PrintLayout::ClearOfHeaderAndFooter(printable, c.placed, c.header, c.footer), c.what);
    }
}

TEST(PrintLayout, FitZoomTakesTheTighterSideWithItsOwnResolution) {
    const SIZE screen = {96, 96};
    const struct {
        const char* what;
        const int* caps;
        RECT printable, content;
        int zoom;
    } cases[] = {
        // 1889 x 96 x 100 / (800 x 300) = 75.6: the width is tighter.
        {"wide content on A4", kA4, R(295, 295, 2184, 3213), R(0, 0, 800, 600), 76},
        // 3508 x 96 x 100 / (1000 x 300) = 112.3 by the height, with the vertical resolution.
        {"tall content on a wide sheet", kWide, R(0, 0, 4958, 3508), R(0, 0, 400, 1000), 112},
        {"empty content", kA4, R(295, 295, 2184, 3213), R(0, 0, 0, 600), 0},
        {"no metrics", kNone, R(0, 0, 0, 0), R(0, 0, 800, 600), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.zoom, PrintLayout::FitZoom(c.printable, c.content, c.caps, screen)) << c.what;
}

TEST(PrinterHelperMargins, QuarterTurnsAndRaisingToTheMinimum) {
    const struct {
        int turns;
        RECT expected;
    } cases[] = {
        {1, R(40, 10, 20, 30)}, {-1, R(20, 30, 40, 10)}, {3, R(20, 30, 40, 10)},
        {0, R(10, 20, 30, 40)}, {4, R(10, 20, 30, 40)}, {2, R(30, 40, 10, 20)},
    };
    for (const auto& c : cases) {
        RECT margins = R(10, 20, 30, 40);
        PrinterHelper::RotateMargins(&margins, c.turns);
        ExpectRect(c.expected, margins, "turn");
    }
    RECT a = R(100, 700, 300, 50);
    const RECT b = R(635, 635, 200, 635);
    EXPECT_EQ(&a, PrinterHelper::RaiseToMin(&a, &b));
    ExpectRect(R(635, 700, 300, 635), a, "raised");
}
