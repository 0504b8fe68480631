#include "dialogs/WaveFormLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Two fonts: 20 pixels (cells 10 x 20) and 10 pixels (cells 5 x 10).
const std::vector<WaveFormLayout::Font> kFonts = {{20, 10, 20}, {10, 5, 10}};

struct Placed {
    int source;
    RECT rect;
};

}  // namespace

// Worked by hand: paragraphs half a line apart, two cells between the columns
// of a text, three between texts, a cell clear of the left and right edges,
// everything to the right.
TEST(WaveFormLayout, LargestFontAndFewestColumnsThatFit) {
    const struct {
        const char* name;
        std::vector<std::string> texts;
        std::string note;
        SIZE display;
        int font;
        std::vector<Placed> pieces;  // right to left, top down
    } cases[] = {
        {"one column", {"ab\ncd\n\nef"}, "", {40, 100}, 0, {{0, {10, 0, 30, 40}}, {0, {10, 50, 30, 70}}}},
        {"too low for one", {"ab\ncd\n\nef"}, "", {100, 60}, 0, {{0, {70, 0, 90, 20}}, {0, {30, 0, 50, 40}}}},
        {"nothing fits", {"ab\ncd\n\nef"}, "", {15, 10}, 1, {{0, {0, 0, 10, 20}}, {0, {0, 25, 10, 35}}}},
        {"note at the bottom", {"ab"}, "x\ny", {100, 100}, 0, {{0, {70, 0, 90, 20}}, {-1, {70, 60, 90, 100}}}},
        {"two texts", {"a", "b"}, "", {100, 30}, 0, {{1, {80, 0, 90, 20}}, {0, {40, 0, 50, 20}}}},
        {"room flush, none with the edges", {"ab"}, "", {30, 20}, 1, {{0, {15, 0, 25, 10}}}},
    };
    for (const auto& c : cases) {
        WaveFormLayout layout;
        layout.Arrange(c.texts, c.note, c.display, kFonts);
        EXPECT_EQ(layout.GetFontIndex(), c.font) << c.name;
        const std::vector<WaveFormLayout::Piece>& pieces = layout.GetPieces();
        ASSERT_EQ(pieces.size(), c.pieces.size()) << c.name;
        for (size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_EQ(pieces[i].source, c.pieces[i].source) << c.name << " " << i;
            EXPECT_TRUE(EqualRect(&pieces[i].rect, &c.pieces[i].rect))
                << c.name << " " << i << ": " << pieces[i].rect.left << "," << pieces[i].rect.top << ","
                << pieces[i].rect.right << "," << pieces[i].rect.bottom;
        }
    }
}
