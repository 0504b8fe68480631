#include "dialogs/RAMEditorDlg.h"

#include "resources/DialogIds.h"
#include "tests/PrivateDesktop.h"
#include "tests/dialogs/MemoryRequests.h"
#include "tests/dialogs/OwnedDialogFixture.h"
#include "tests/framework/GridDriver.h"
#include "tests/framework/ModalCloser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class RAMEditorDlgTest : public OwnedDialogFixture<RAMEditorDlg, MemoryRequests> {
protected:
    void SetUp() override {
        // The grid's editor closes when it loses the focus: no other test may take it.
        PrivateDesktop::Enter();
        OwnedDialogFixture::SetUp();
        m_dialog = Open();
        ASSERT_NE(m_dialog, (HWND)NULL);
    }
    void Press(int id, const char* first, const char* last) {
        SetDlgItemTextA(m_dialog, IDC_RAM_FIRST, first);
        SetDlgItemTextA(m_dialog, IDC_RAM_LAST, last);
        OwnedDialogFixture::Press(id);
    }
    std::string Shown(int id) {
        char text[32];
        GetDlgItemTextA(m_dialog, id, text, sizeof text);
        return text;
    }
    // count words from start, each 0x1000 plus its index.
    void Fill(WORD start, WORD count) {
        WORD words[300];
        for (int i = 0; i < 300; ++i) words[i] = static_cast<WORD>(0x1000 + i);
        m_dlg.FillGrid(words, start, count);
    }

    HWND m_dialog = NULL;
};

}  // namespace

TEST_F(RAMEditorDlgTest, OpensOnceAndOnlyWithADevicePort) {
    EXPECT_EQ(m_dlg.Create(GetModuleHandleA(NULL), m_owner), (HWND)NULL);  // already open
    RAMEditorDlg unlinked;
    EXPECT_EQ(unlinked.Create(GetModuleHandleA(NULL), m_owner), (HWND)NULL);
    EXPECT_EQ(GridText(m_dlg.GetGrid(), 0, 6), "a");  // the byte offset of the sixth word
}

TEST_F(RAMEditorDlgTest, ReadAlignsOrdersAndCutsTheRange) {
    const struct {
        const char *first, *last;
        const char *shownFirst, *shownLast;
        bool sent;
        WORD start, count;
    } cases[] = {
        {"100", "11f", "100", "11f", true, 0x100, 16}, {"100", "100", "100", "100", false, 0, 0},
        {"0", "ffff", "0", "ff", true, 0, 256},        {"120", "100", "100", "12f", true, 0x100, 24},
        {"105", "10a", "100", "10f", true, 0x100, 8},  {"zz", "10", "0", "1f", true, 0, 16},
    };
    for (const auto& c : cases) {
        m_port.ramReads.clear();
        Press(IDC_RAM_READ, c.first, c.last);
        EXPECT_EQ(Shown(IDC_RAM_FIRST), c.shownFirst) << c.first << "-" << c.last;
        EXPECT_EQ(Shown(IDC_RAM_LAST), c.shownLast) << c.first << "-" << c.last;
        ASSERT_EQ(m_port.ramReads.size(), c.sent ? 1u : 0u) << c.first << "-" << c.last;
        if (!c.sent) continue;
        EXPECT_EQ(m_port.ramReads[0].start, c.start) << c.first;
        EXPECT_EQ(m_port.ramReads[0].count, c.count) << c.first;
    }
}

TEST_F(RAMEditorDlgTest, FillShowsOneRowPerSixteenBytes) {
    TIVDataGrid& grid = m_dlg.GetGrid();
    Fill(0x100, 16);
    ASSERT_EQ(grid.GetRowCount(), 3);
    EXPECT_EQ(GridText(grid, 1, 0), "0100");
    EXPECT_EQ(GridText(grid, 2, 0), "0110");
    EXPECT_EQ(GridText(grid, 2, 8), "100f");
    EXPECT_EQ(grid.GetCellFlag(2, 0), 1);
    EXPECT_EQ(grid.GetCellFlag(2, 1), 0);

    WORD nine[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    m_dlg.FillGrid(nine, 0x100, 9);
    ASSERT_EQ(grid.GetRowCount(), 3);
    EXPECT_EQ(GridText(grid, 2, 1), "0009");
    EXPECT_EQ(GridText(grid, 2, 2), "1009");  // beyond the words: kept

    m_dlg.FillGrid(nine, 0x100, 8);
    ASSERT_EQ(grid.GetRowCount(), 2);
    EXPECT_EQ(GridText(grid, 1, 8), "0008");
}

TEST_F(RAMEditorDlgTest, FillOfNoWordsIsIgnoredAndMoreThan256AreCut) {
    TIVDataGrid& grid = m_dlg.GetGrid();
    Fill(0x100, 8);
    Fill(0x100, 0);  // the row count would wrap to 4096
    ASSERT_EQ(grid.GetRowCount(), 2);
    EXPECT_EQ(GridText(grid, 1, 1), "1000");
    Fill(0, 300);
    ASSERT_EQ(grid.GetRowCount(), 33);
    EXPECT_EQ(GridText(grid, 32, 0), "01f0");
    EXPECT_EQ(GridText(grid, 32, 8), "10ff");  // word 255
}

TEST_F(RAMEditorDlgTest, FillWhileClosedLeavesTheNextOpeningWithItsHeaderAlone) {
    m_dlg.Destroy();
    Fill(0x100, 16);  // words that arrive after the window went
    m_dialog = m_dlg.Create(GetModuleHandleA(NULL), m_owner);
    ASSERT_NE(m_dialog, (HWND)NULL);
    TIVDataGrid& grid = m_dlg.GetGrid();
    EXPECT_EQ(grid.GetRowCount(), 1);
    EXPECT_EQ(GridText(grid, 0, 1), "0");
}

TEST_F(RAMEditorDlgTest, EditsShowFourDigits) {
    Fill(0x100, 8);
    ASSERT_TRUE(EditGridCell(m_dlg.GetGrid(), 1, 3, "1a", VK_RETURN, m_dialog));
    EXPECT_EQ(GridText(m_dlg.GetGrid(), 1, 3), "001a");
    ASSERT_TRUE(EditGridCell(m_dlg.GetGrid(), 1, 3, "1a2b3", VK_RETURN, m_dialog));
    EXPECT_EQ(GridText(m_dlg.GetGrid(), 1, 3), "001a");
}

TEST_F(RAMEditorDlgTest, WriteCoversOnlyTheRowsShown) {
    Fill(0x100, 16);  // 0x100..0x11f
    const struct {
        const char *first, *last;
        const char *shownFirst, *shownLast;
        bool sent;
        WORD start, count, firstWord;
    } cases[] = {
        {"104", "10b", "104", "10b", true, 0x104, 4, 0x1002}, {"0", "ffff", "100", "11f", true, 0x100, 16, 0x1000},
        {"103", "108", "102", "109", true, 0x102, 4, 0x1001}, {"11f", "104", "104", "11f", true, 0x104, 14, 0x1002},
        {"200", "300", "200", "300", false, 0, 0, 0},         {"110", "110", "110", "110", false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        m_port.ramWrites.clear();
        Press(IDC_RAM_WRITE, c.first, c.last);
        EXPECT_EQ(Shown(IDC_RAM_FIRST), c.shownFirst) << c.first << "-" << c.last;
        EXPECT_EQ(Shown(IDC_RAM_LAST), c.shownLast) << c.first << "-" << c.last;
        ASSERT_EQ(m_port.ramWrites.size(), c.sent ? 1u : 0u) << c.first << "-" << c.last;
        if (!c.sent) continue;
        const MemoryRequests::Request& write = m_port.ramWrites[0];
        EXPECT_EQ(write.start, c.start) << c.first;
        ASSERT_EQ(write.count, c.count) << c.first;
        for (int i = 0; i < c.count; ++i) EXPECT_EQ(write.words[i], c.firstWord + i) << c.first << " word " << i;
    }
}

TEST_F(RAMEditorDlgTest, WriteWithoutRowsOrOverACellWithoutAWordSendsNothing) {
    Press(IDC_RAM_WRITE, "0", "10");
    EXPECT_TRUE(m_port.ramWrites.empty());

    WORD nine[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    m_dlg.FillGrid(nine, 0x100, 9);  // the second row holds one word
    {
        ModalCloser closer(IDOK);
        Press(IDC_RAM_WRITE, "100", "11f");
        EXPECT_NE(closer.texts.find("Row 0110, column 2"), std::string::npos) << closer.texts;
    }
    EXPECT_TRUE(m_port.ramWrites.empty());
    Press(IDC_RAM_WRITE, "100", "111");
    ASSERT_EQ(m_port.ramWrites.size(), 1u);
    EXPECT_EQ(m_port.ramWrites[0].count, 9);
    EXPECT_EQ(m_port.ramWrites[0].words[8], 9);
}
