#include "mainwindow/program/ErrorBox.h"

#include <gtest/gtest.h>

#include <string>

TEST(ErrorBox, OwnCodesShowTheirNumber) {
    const struct {
        DWORD code;
        const char* text;
    } cases[] = {
        {0x20000000, "Error 20000000"},
        {0x20000001, "Error 20000001"},
        {0x20000003, "Error 20000003"},
        {0x20000100, "Error 20000100"},
    };
    for (const auto& c : cases) {
        char text[1024];
        ASSERT_TRUE(ErrorBox::Format(c.code, text, sizeof text));
        EXPECT_STREQ(c.text, text);
    }
}

TEST(ErrorBox, AnotherInstanceShowsNothing) {
    char text[64] = "x";
    EXPECT_FALSE(ErrorBox::Format(0x20000002, text, sizeof text));
    EXPECT_STREQ("", text);
}

TEST(ErrorBox, SystemCodesShowTheSystemsText) {
    char expected[1024] = {};
    ASSERT_NE(0u, FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, 14,
                                 MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), expected, sizeof expected, NULL));
    char text[1024];
    ASSERT_TRUE(ErrorBox::Format(14, text, sizeof text));
    EXPECT_STREQ(expected, text);
    EXPECT_EQ(std::string::npos, std::string(text).find("Error 0000000e"));
}

TEST(ErrorBox, TextIsCutToTheBuffer) {
    char text[8];
    memset(text, 'x', sizeof text);
    ASSERT_TRUE(ErrorBox::Format(0x20000003, text, sizeof text));
    EXPECT_STREQ("Error 2", text);
}
