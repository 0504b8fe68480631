#include <gtest/gtest.h>

#include "framework/LittleEndian.h"

namespace {

TEST(LittleEndianTest, WordsTravelLowByteFirst) {
    struct Case {
        BYTE bytes[2];
        WORD word;
        short signedWord;
    };
    const Case cases[] = {
        {{0x34, 0x12}, 0x1234, 0x1234},
        {{0xFF, 0xFF}, 0xFFFF, -1},
        {{0x00, 0x80}, 0x8000, -32768},
        {{0xF0, 0xD8}, 0xD8F0, -10000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.word, ReadLeWord(c.bytes));
        EXPECT_EQ(c.signedWord, ReadLeShort(c.bytes));
        BYTE written[3] = {0xAA, 0xAA, 0xAA};
        WriteLeWord(written, static_cast<unsigned>(c.signedWord));
        EXPECT_EQ(c.bytes[0], written[0]);
        EXPECT_EQ(c.bytes[1], written[1]);
        EXPECT_EQ(0xAA, written[2]) << "only two bytes written";
    }
}

TEST(LittleEndianTest, AppendAddsTwoBytesAndKeepsTheHighBitsOut) {
    std::string out("A");
    AppendLeWord(&out, 0x12345);
    EXPECT_EQ(std::string("A\x45\x23", 3), out);
}

}  // namespace
