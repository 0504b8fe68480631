#include "dialogs/FirmwareConversion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "protocol/FirmwareFile.h"
#include "resources/DevelopDialogIds.h"
#include "resources/FirmwareIds.h"
#include "tests/TestFiles.h"

namespace {

// 16 bytes 00..0F at 0xA0010 and 16 bytes 0x11 across the page end at
// 0xA00F8; checksums worked by hand.
const char* const kMot =
    "S00600004844521B\r\n"
    "S2140A0010000102030405060708090A0B0C0D0E0F59\r\n"
    "S2140A00F811111111111111111111111111111111D9\r\n"
    "S804000000FB\r\n";

class FirmwareConversionTest : public ::testing::Test {
protected:
    std::string In() const { return m_folder.Path("in.mot"); }
    std::string Tiv() const { return m_folder.Path("out.tiv"); }
    std::string Back() const { return m_folder.Path("back.mot"); }
    int Encrypt(const std::string& in, const std::string& out) {
        return FirmwareConversion::Encrypt(in.c_str(), out.c_str(), &m_failure);
    }
    int Decrypt(const std::string& in, const std::string& out) {
        return FirmwareConversion::Decrypt(in.c_str(), out.c_str(), &m_failure);
    }

    TestFolder m_folder;
    FirmwareConversion::Failure m_failure = {};
};

}  // namespace

TEST_F(FirmwareConversionTest, SRecordsToUpdateFileAndBackGiveTheSamePages) {
    ASSERT_TRUE(WriteBytes(In(), kMot));
    ASSERT_EQ(Encrypt(In(), Tiv()), 1);
    EXPECT_EQ(ReadBytes(Tiv()).size(), 2u * 264);

    FirmwareFile::Pages pages;
    ASSERT_EQ(FirmwareFile::Read(Tiv().c_str(), &pages), 1);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].address, 0xA0000u);
    EXPECT_EQ(pages[0].data[15], 0xFF);
    EXPECT_EQ(pages[0].data[16], 0x00);
    EXPECT_EQ(pages[0].data[31], 0x0F);
    EXPECT_EQ(pages[0].data[248], 0x11);
    EXPECT_EQ(pages[1].address, 0xA0100u);
    EXPECT_EQ(pages[1].data[7], 0x11);
    EXPECT_EQ(pages[1].data[8], 0xFF);

    ASSERT_EQ(Decrypt(Tiv(), Back()), 1);
    const std::string back = ReadBytes(Back());
    // Header, 32 lines of 16 bytes (filler included), end; CR LF each.
    EXPECT_EQ(back.size(), 12u + 32 * 46 + 14);
    EXPECT_NE(back.find("S2140A0010000102030405060708090A0B0C0D0E0F59\r\n"), std::string::npos);
    EXPECT_NE(back.find("S2140A01001111111111111111FFFFFFFFFFFFFFFF"), std::string::npos);

    // The written text is itself a valid input and gives the same file.
    const std::string again = m_folder.Path("again.tiv");
    ASSERT_EQ(Encrypt(Back(), again), 1);
    EXPECT_EQ(ReadBytes(again), ReadBytes(Tiv()));
}

TEST_F(FirmwareConversionTest, RefusedInputsLeaveNoOutputAndKeepAnOldOne) {
    const struct {
        const char* text;
        UINT message;
        int line;
    } cases[] = {
        {"S00600004844521B\r\nS2050A0000AB45\r\n", IDS_CONVERT_NO_END, 2},
        {"S2050A0000AB45\r\nS804000000FB\r\nS804000000FB\r\n", IDS_CONVERT_SECOND_END, 3},
        {"S804000000FB\r\nS2050A0000AB45\r\n", IDS_CONVERT_AFTER_END, 2},
        {"S2140FFFF822222222222222222222222222222222C5\r\nS804000000FB\r\n", IDS_CONVERT_ABOVE_RANGE, 1},
        {"S2050A0000AB46\r\nS804000000FB\r\n", IDS_CONVERT_CHECKSUM, 1},
        {"S2050A0000 B45\r\nS804000000FB\r\n", IDS_CONVERT_HEX_DIGITS, 1},
        {"S1050000AB4F\r\nS804000000FB\r\n", IDS_CONVERT_RECORD_TYPE, 1},
        {"S2050A0010AB35\r\nS2050A0000AB45\r\nS804000000FB\r\n", IDS_CONVERT_DESCENDING, 2},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteBytes(In(), c.text));
        ASSERT_TRUE(WriteBytes(Tiv(), "old"));
        EXPECT_EQ(Encrypt(In(), Tiv()), 0) << c.text;
        EXPECT_EQ(m_failure.message, c.message) << c.text;
        EXPECT_EQ(m_failure.line, c.line) << c.text;
        EXPECT_EQ(ReadBytes(Tiv()), "old") << c.text;
        EXPECT_EQ(m_folder.Files().size(), 2u) << c.text;  // no temporary file stays
    }
    DeleteFileA(Tiv().c_str());
    ASSERT_TRUE(WriteBytes(In(), "S2050A0000AB45\r\n"));
    EXPECT_EQ(Encrypt(In(), Tiv()), 0);
    EXPECT_EQ(ReadBytes(Tiv()), "<missing>");
}

TEST_F(FirmwareConversionTest, DamagedUpdateFilesAreRefusedBeforeALineIsWritten) {
    ASSERT_TRUE(WriteBytes(In(), kMot));
    ASSERT_EQ(Encrypt(In(), Tiv()), 1);
    const std::string good = ReadBytes(Tiv());
    std::string bent = good;
    bent[264 + 100] ^= 0x01;  // a data block of the second unit
    const std::string damaged[] = {bent, good.substr(0, 264 + 200), good.substr(264) + good.substr(0, 264)};
    for (const std::string& bytes : damaged) {
        ASSERT_TRUE(WriteBytes(Tiv(), bytes));
        EXPECT_EQ(Decrypt(Tiv(), Back()), 0);
        EXPECT_EQ(m_failure.message, static_cast<UINT>(IDS_CONVERT_BAD_UNIT));
        EXPECT_EQ(ReadBytes(Back()), "<missing>");
    }
    EXPECT_EQ(Decrypt(m_folder.Path("none.tiv"), Back()), 0);
    EXPECT_EQ(m_failure.message, static_cast<UINT>(IDS_CANNOT_OPEN_FILE));
    EXPECT_EQ(Encrypt(m_folder.Path("none.mot"), Tiv()), 0);
    EXPECT_EQ(m_failure.message, static_cast<UINT>(IDS_CANNOT_OPEN_FILE));
}

TEST_F(FirmwareConversionTest, AnInputThatIsAlsoTheOutputIsRefused) {
    ASSERT_TRUE(WriteBytes(In(), kMot));
    const std::string otherSpelling = m_folder.Path(".\\IN.MOT");
    EXPECT_EQ(Encrypt(In(), In()), 0);
    EXPECT_EQ(m_failure.message, static_cast<UINT>(IDS_CONVERT_SAME_FILE));
    EXPECT_EQ(Decrypt(In(), otherSpelling), 0);
    EXPECT_EQ(m_failure.message, static_cast<UINT>(IDS_CONVERT_SAME_FILE));
    EXPECT_EQ(ReadBytes(In()), kMot);
    EXPECT_FALSE(FirmwareConversion::IsSameFile(In().c_str(), Tiv().c_str()));
}
