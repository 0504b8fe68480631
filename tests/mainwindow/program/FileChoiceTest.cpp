#include "mainwindow/program/FileChoice.h"

#include <commdlg.h>
#include <gtest/gtest.h>

#include <cstring>

TEST(FileChoice, DialogStartsInTheRememberedFilesFolder) {
    const struct {
        const char* remembered;
        const char* folder;
    } cases[] = {
        {"C:\\data\\areas\\hall.ara", "C:\\data\\areas"},
        {"C:\\hall.ara", "C:\\"},
        {"C:hall.ara", "C:"},
        {"\\hall.ara", "\\"},
        {"\\\\server\\share\\hall.ara", "\\\\server\\share"},
        {"areas\\hall.ara", "areas"},
        {"hall.ara", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.folder, FileChoice::FolderOf(c.remembered)) << c.remembered;
    EXPECT_EQ("", FileChoice::FolderOf(NULL));
}

TEST(FileChoice, ProposedNameIsTheTitleCutAtItsLastDot) {
    const struct {
        const char* remembered;
        const char* title;
    } cases[] = {
        {"C:\\data\\hall.ara", "hall"},
        {"C:\\data\\hall.v2.ara", "hall.v2"},
        {"C:\\data.d\\hall", "hall"},
        {"hall.ara", "hall"},
        {"C:\\data\\", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.title, FileChoice::TitleWithoutExtension(c.remembered)) << c.remembered;
}

TEST(FileChoice, SaveWithoutARememberedFileProposesUntitled) {
    FileChoice save(FileChoice::kSave, "Area File (*.ara)", "*.ara", "ara", "untitled.ara");
    FileChoice open(FileChoice::kOpen, "Area File (*.ara)", "*.ara", "ara", NULL);
    EXPECT_EQ("untitled.ara", save.InitialName(""));
    EXPECT_EQ("hall", save.InitialName("C:\\x\\hall.ara"));
    EXPECT_EQ("", open.InitialName(""));
    EXPECT_EQ("hall", open.InitialName("C:\\x\\hall.ara"));
}

TEST(FileChoice, OpenNeedsAnExistingFileAndSaveAsksBeforeOverwriting) {
    FileChoice save(FileChoice::kSave, "f", "*.csv", "csv", "untitled.csv");
    FileChoice open(FileChoice::kOpen, "f", "*.csv", "csv", NULL);
    const DWORD common = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
    EXPECT_EQ(common | OFN_FILEMUSTEXIST, open.Flags());
    EXPECT_EQ(common | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST, save.Flags());
}

TEST(FileChoice, ResultIsHandedOverWholeAndTerminatedOrNotAtAll) {
    const char path[] = "C:\\data\\hall.ara";  // 16 characters
    char buffer[32];

    memset(buffer, 'x', sizeof buffer);
    ASSERT_TRUE(FileChoice::CopyOut(path, buffer, 17));
    EXPECT_STREQ(path, buffer);
    EXPECT_EQ('x', buffer[17]);  // nothing written beyond the bound

    memset(buffer, 'x', sizeof buffer);
    SetLastError(0);
    EXPECT_FALSE(FileChoice::CopyOut(path, buffer, 16));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ('\0', buffer[0]);
    EXPECT_EQ('x', buffer[1]);

    EXPECT_FALSE(FileChoice::CopyOut(path, buffer, 0));
    EXPECT_FALSE(FileChoice::CopyOut(path, NULL, 10));
}
