#include "dialogs/SRecordImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Records worked by hand: count, address, data, checksum.
const char* const kHeader = "S00600004844521B";
const char* const kEnd = "S804000000FB";
const char* const kOneByteAtA0000 = "S2050A0000AB45";                         // 0xAB
const char* const kByteAtA0005 = "S2050A000501EA";                            // 0x01
const char* const kSixteenAtA0010 = "S2140A0010000102030405060708090A0B0C0D0E0F59";  // 00..0F
const char* const kByteAtA0300 = "S2050A03007776";                            // 0x77

std::string Times(const char* part, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += part;
    return s;
}

int Feed(SRecordImage* image, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (!image->AddLine(line.c_str(), line.size())) return 0;
    }
    return image->Finish();
}

std::vector<BYTE> Filler(size_t n) {
    return std::vector<BYTE>(n, 0xFF);
}

std::vector<BYTE> PageBytes(const FirmwareFile::Page& page, size_t from, size_t count) {
    return std::vector<BYTE>(page.data + from, page.data + from + count);
}

}  // namespace

TEST(SRecordImage, OnlyHeaderAndEndGiveOneBlankPage) {
    SRecordImage image;
    ASSERT_EQ(Feed(&image, {kHeader, kEnd}), 1);
    ASSERT_EQ(image.GetPages().size(), 1u);
    EXPECT_EQ(image.GetPages()[0].address, 0xA0000u);
    EXPECT_EQ(PageBytes(image.GetPages()[0], 0, 256), Filler(256));
}

TEST(SRecordImage, DataLandAtTheirOffsetsAndHolesAreFilled) {
    SRecordImage image;
    ASSERT_EQ(Feed(&image, {kHeader, kSixteenAtA0010, kEnd}), 1);
    ASSERT_EQ(image.GetPages().size(), 1u);
    const FirmwareFile::Page& page = image.GetPages()[0];
    EXPECT_EQ(page.address, 0xA0000u);
    EXPECT_EQ(PageBytes(page, 0, 16), Filler(16));
    const std::vector<BYTE> counting = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    EXPECT_EQ(PageBytes(page, 16, 16), counting);
    EXPECT_EQ(PageBytes(page, 32, 224), Filler(224));
}

TEST(SRecordImage, ARecordAcrossAPageEndFillsTwoPages) {
    SRecordImage image;
    ASSERT_EQ(Feed(&image, {"S2140A00F8" + Times("11", 16) + "D9", kEnd}), 1);
    ASSERT_EQ(image.GetPages().size(), 2u);
    EXPECT_EQ(image.GetPages()[0].address, 0xA0000u);
    EXPECT_EQ(PageBytes(image.GetPages()[0], 0, 248), Filler(248));
    EXPECT_EQ(PageBytes(image.GetPages()[0], 248, 8), std::vector<BYTE>(8, 0x11));
    EXPECT_EQ(image.GetPages()[1].address, 0xA0100u);
    EXPECT_EQ(PageBytes(image.GetPages()[1], 0, 8), std::vector<BYTE>(8, 0x11));
    EXPECT_EQ(PageBytes(image.GetPages()[1], 8, 248), Filler(248));
}

TEST(SRecordImage, PagesWithoutDataAreLeftOutAndTheLastPageEndsAtFFFFF) {
    SRecordImage image;
    ASSERT_EQ(Feed(&image, {kOneByteAtA0000, kByteAtA0005, "", kByteAtA0300, "S2140FFFF0" + Times("22", 16) + "CD", kEnd}),
              1);
    ASSERT_EQ(image.GetPages().size(), 3u);
    const FirmwareFile::Page& first = image.GetPages()[0];
    EXPECT_EQ(first.address, 0xA0000u);
    const std::vector<BYTE> start = {0xAB, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0xFF};
    EXPECT_EQ(PageBytes(first, 0, 7), start);
    EXPECT_EQ(image.GetPages()[1].address, 0xA0300u);
    EXPECT_EQ(image.GetPages()[1].data[0], 0x77);
    EXPECT_EQ(image.GetPages()[2].address, 0xFFF00u);
    EXPECT_EQ(PageBytes(image.GetPages()[2], 240, 16), std::vector<BYTE>(16, 0x22));
}

TEST(SRecordImage, MalformedLinesAreRefusedWithTheirLine) {
    const struct {
        std::vector<std::string> lines;
        SRecordImage::Error error;
        int line;
    } cases[] = {
        {{kHeader, "S1050000AB4F", kEnd}, SRecordImage::kRecordType, 2},
        {{kHeader, "S3070000A0000AB4F", kEnd}, SRecordImage::kRecordType, 2},
        {{"X2050A0000AB45"}, SRecordImage::kNotRecord, 1},
        {{"S2050"}, SRecordImage::kNotRecord, 1},
        {{kHeader, "", "S2050A0000AB46", kEnd}, SRecordImage::kChecksum, 3},
        {{"S2050A0000AG45", kEnd}, SRecordImage::kHexDigits, 1},
        {{"S2050A0000 B45", kEnd}, SRecordImage::kHexDigits, 1},  // one digit and a blank
        {{"S2050A0000+B45", kEnd}, SRecordImage::kHexDigits, 1},
        {{"S2060A0000AB45", kEnd}, SRecordImage::kRecordLength, 1},
        {{"S2040A0000F1", kEnd}, SRecordImage::kRecordLength, 1},  // no data byte
        {{"S20509FFFF01F2", kEnd}, SRecordImage::kDescending, 1},   // below 0xA0000
        {{kSixteenAtA0010, kByteAtA0005, kEnd}, SRecordImage::kDescending, 2},
        {{kOneByteAtA0000, kOneByteAtA0000, kEnd}, SRecordImage::kDescending, 2},
        {{"S2140FFFF8" + Times("22", 16) + "C5", kEnd}, SRecordImage::kAboveRange, 1},
        {{"S20510000001E9", kEnd}, SRecordImage::kAboveRange, 1},
        {{kHeader, kOneByteAtA0000}, SRecordImage::kNoEnd, 2},
        {{kHeader, kEnd, kEnd}, SRecordImage::kSecondEnd, 3},
        {{kHeader, kEnd, kByteAtA0300}, SRecordImage::kAfterEnd, 3},
        {{kHeader, kEnd, kHeader}, SRecordImage::kAfterEnd, 3},
        {{"S0" + std::string(600, '0'), kEnd}, SRecordImage::kLineTooLong, 1},
    };
    for (const auto& c : cases) {
        SRecordImage image;
        EXPECT_EQ(Feed(&image, c.lines), 0) << c.lines[0];
        EXPECT_EQ(image.GetError(), c.error) << c.lines[0];
        EXPECT_EQ(image.GetLine(), c.line) << c.lines[0];
    }
    SRecordImage image;
    ASSERT_EQ(Feed(&image, {kSixteenAtA0010, kOneByteAtA0000}), 0);
    EXPECT_EQ(image.GetErrorAddress(), 0xA0000u);
    // Nothing more is taken after a refusal.
    EXPECT_EQ(image.AddLine(kEnd, strlen(kEnd)), 0);
    EXPECT_EQ(image.GetLine(), 2);
}

TEST(SRecordImage, FormatWritesSixteenBytesPerLineWithTheirChecksums) {
    FirmwareFile::Pages pages(1);
    pages[0].address = 0xA0000;
    memset(pages[0].data, 0xFF, sizeof pages[0].data);
    std::string text;
    SRecordImage::Format(pages, &text);
    const std::string ff = Times("FF", 16);
    EXPECT_EQ(text.compare(0, 12, "S0030000FC\r\n"), 0);
    EXPECT_EQ(text.substr(12, 46), "S2140A0000" + ff + "F1\r\n");
    EXPECT_EQ(text.substr(58, 46), "S2140A0010" + ff + "E1\r\n");
    EXPECT_EQ(text.size(), 12u + 16 * 46 + 14);
    EXPECT_EQ(text.substr(text.size() - 14), "S804000000FB\r\n");

    SRecordImage::Format(FirmwareFile::Pages(), &text);
    EXPECT_EQ(text, "S0030000FC\r\nS804000000FB\r\n");
}

TEST(SRecordImage, FormattedTextReadsBackToTheSamePages) {
    FirmwareFile::Pages pages(3);
    const DWORD addresses[] = {0xA0000, 0xC1200, 0xFFF00};
    for (int p = 0; p < 3; ++p) {
        pages[p].address = addresses[p];
        for (int i = 0; i < 256; ++i) pages[p].data[i] = static_cast<BYTE>(i * 7 + p);
    }
    std::string text;
    SRecordImage::Format(pages, &text);
    SRecordImage image;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        ASSERT_EQ(image.AddLine(text.data() + start, end - start), 1) << text.substr(start, end - start);
    }
    ASSERT_EQ(image.Finish(), 1);
    ASSERT_EQ(image.GetPages().size(), 3u);
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(image.GetPages()[p].address, addresses[p]);
        EXPECT_EQ(memcmp(image.GetPages()[p].data, pages[p].data, 256), 0) << p;
    }
}
