#include "framework/ResourceString.h"

#include "resources/resource.h"
#include "tests/framework/TestResourceIds.h"

#include <gtest/gtest.h>

#include <string>

TEST(ResourceString_Load, ProgramStringsAndMissingIds) {
    ResourceString text;
    EXPECT_STREQ(text.Load(IDS_LANGUAGE_SIGNATURE), "ZOR Configurator Resource File");
    EXPECT_STREQ(text.Load(IDS_LANGUAGE_ID), "8200");
    EXPECT_STREQ(text.Load(IDS_LANGUAGE_STATUS), "Change indication language to English.");
    EXPECT_STREQ(text.Load(0x7FF0), "");
    EXPECT_STREQ(text.GetText(), "");
}

TEST(ResourceString_Format, FormatsAndTruncatesAt511) {
    ResourceString text;
    EXPECT_STREQ(text.Format("COM%d at %s", 3, "115.2k"), "COM3 at 115.2k");
    std::string longPath(2000, 'p');
    text.Format("Cannot open %s.", longPath.c_str());
    EXPECT_EQ(std::string(text.GetText()).size(), ResourceString::kBufferSize - 1);
    EXPECT_EQ(std::string(text.GetText()).substr(0, 12), "Cannot open ");
    // An outside text with conversions in it stays as it is when it is an argument.
    EXPECT_STREQ(text.Format("%s", "50%s %n done"), "50%s %n done");
    EXPECT_STREQ(text.Format("%s", ""), "");
}

TEST(ResourceString_Buffer, ReleasedBufferBecomesTheText) {
    ResourceString text;
    EXPECT_EQ(text.GetBuffer(0), nullptr);
    char* buffer = text.GetBuffer(4);
    ASSERT_NE(buffer, nullptr);
    memcpy(buffer, "abcd", 4);  // filled to the last byte, no terminator
    EXPECT_STREQ(text.ReleaseBuffer(), "abcd");
    EXPECT_STREQ(text.ReleaseBuffer(), "abcd");  // nothing out: the text stays
    text.GetBuffer(10);                          // left out: the destructor frees it
    EXPECT_STREQ(text.Assign("x"), "x");
}
