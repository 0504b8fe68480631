#include "dialogs/HexWordGrid.h"

#include <gtest/gtest.h>

TEST(HexWordGrid_Parse, OneToFourHexadecimalDigitsAndNothingElse) {
    struct Case {
        const char* text;
        BOOL valid;
        WORD word;
    } cases[] = {
        {"0", TRUE, 0},         {"1a", TRUE, 0x1a},     {"1A", TRUE, 0x1a},    {"ffff", TRUE, 0xffff},
        {"0000", TRUE, 0},      {"BeEf", TRUE, 0xbeef}, {"", FALSE, 0},        {"12345", FALSE, 0},
        {"00001", FALSE, 0},    {"0x1a", FALSE, 0},     {" 1a", FALSE, 0},     {"1a ", FALSE, 0},
        {"-1", FALSE, 0},       {"+1", FALSE, 0},       {"g", FALSE, 0},       {"1 2", FALSE, 0},
    };
    for (const Case& c : cases) {
        WORD word = 0x5555;
        EXPECT_EQ(HexWordGrid::ParseWord(c.text, &word), c.valid) << '"' << c.text << '"';
        EXPECT_EQ(word, c.valid ? c.word : 0x5555) << '"' << c.text << '"';
    }
    WORD word = 0;
    EXPECT_FALSE(HexWordGrid::ParseWord(NULL, &word));
}
