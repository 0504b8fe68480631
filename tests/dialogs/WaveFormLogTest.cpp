#include "dialogs/WaveFormLog.h"

#include "tests/TestFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const int kSmall[WaveFormLog::kValues] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
const char kSmallLine[] = "\n    1,    2,   3,  4,  5,    6,    7,   8,  9, 10";  // 50 characters

}  // namespace

TEST(WaveFormLogTest, LinesAreRightAlignedAndBegunByALineFeed) {
    WaveFormLog log;
    const int wide[WaveFormLog::kValues] = {65535, 65535, 65535, 255, 255, 20, 0, 12345, 99, 100};
    ASSERT_TRUE(log.AppendLine(kSmall));
    ASSERT_TRUE(log.AppendLine(wide));
    // A value wider than its field is written whole.
    EXPECT_EQ(log.GetText(), std::string(kSmallLine) + "\n65535,65535,65535,255,255,   20,    0,12345, 99,100");
}

TEST(WaveFormLogTest, ALineThatWouldNotFitIsDroppedWhole) {
    WaveFormLog log;
    ASSERT_EQ(sizeof kSmallLine - 1, 50u);
    for (int i = 0; i < 81; ++i) ASSERT_TRUE(log.AppendLine(kSmall)) << i;
    EXPECT_EQ(log.GetText().size(), 4050u);
    EXPECT_FALSE(log.AppendLine(kSmall));  // 4100 would pass the 4095 characters
    EXPECT_EQ(log.GetText().size(), 4050u);
    EXPECT_EQ(log.GetText().substr(4000), kSmallLine);
}

TEST(WaveFormLogTest, SavedFileIsTheHeaderAndTheLinesByteForByte) {
    TestFolder folder;
    const std::string path = folder.Path("log.csv");
    ASSERT_TRUE(WriteBytes(path, "an older and much longer file that the log replaces entirely\r\n"));
    WaveFormLog log;
    log.AppendLine(kSmall);
    log.AppendLine(kSmall);
    ASSERT_TRUE(log.Save(path.c_str()));
    EXPECT_EQ(ReadBytes(path),
              std::string("Distance0,Level0,AGC0,FMAX0,BMAX0,Distance1,Level1,AGC1,FMAX1,BMAX1") + kSmallLine +
                  kSmallLine);

    WaveFormLog empty;
    ASSERT_TRUE(empty.Save(path.c_str()));
    EXPECT_EQ(ReadBytes(path), WaveFormLog::kHeader);
}

TEST(WaveFormLogTest, SaveIntoAMissingFolderFailsAndKeepsTheText) {
    TestFolder folder;
    WaveFormLog log;
    log.AppendLine(kSmall);
    EXPECT_FALSE(log.Save(folder.Path("missing\\log.csv").c_str()));
    EXPECT_EQ(log.GetText(), kSmallLine);
    EXPECT_TRUE(folder.Files().empty());
}
