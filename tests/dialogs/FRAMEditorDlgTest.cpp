#include "dialogs/FRAMEditorDlg.h"

#include "resources/DialogIds.h"
#include "tests/PrivateDesktop.h"
#include "tests/dialogs/MemoryRequests.h"
#include "tests/dialogs/OwnedDialogFixture.h"
#include "tests/framework/GridDriver.h"
#include "tests/framework/ModalCloser.h"
#include "tests/protocol/TestHost.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class FRAMEditorDlgTest : public OwnedDialogFixture<FRAMEditorDlg, MemoryRequests> {
protected:
    void SetUp() override {
        // The grid's editor closes when it loses the focus: no other test may take it.
        PrivateDesktop::Enter();
        OwnedDialogFixture::SetUp();
        m_dlg.SetApplication(&m_host);
    }
    // Words 0..63 read as w * 0x0101.
    void ShowRead() {
        WORD words[64];
        for (int w = 0; w < 64; ++w) words[w] = static_cast<WORD>(w * 0x0101);
        m_dlg.ShowWords(words, 0, 64);
    }

    TestHost m_host;
};

}  // namespace

TEST_F(FRAMEditorDlgTest, OpensWithDecimalHeadersAndForgetsAnEarlierRead) {
    m_host.SetValue5(1);
    m_dlg.Reset();
    EXPECT_EQ(Open(), (HWND)NULL);  // no device port
    m_dlg.SetDevicePort(&m_port);
    m_dlg.SetApplication(&m_host);
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(Open(), (HWND)NULL);  // already open
    EXPECT_EQ(m_host.GetValue5(), 0u);
    char caption[32];
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ(caption, "FRAM Editor");

    TIVDataGrid& grid = m_dlg.GetGrid();
    EXPECT_EQ(GetDlgItem(dialog, 0x2000), grid.GetHwnd());
    EXPECT_EQ(grid.GetRowCount(), 17);
    EXPECT_EQ(grid.GetColumnCount(), 17);
    const struct {
        int row, col;
        const char* text;
        int flag;
    } cells[] = {{0, 0, "", 1}, {0, 1, "0", 1}, {0, 16, "15", 1}, {10, 0, "9", 1}, {16, 0, "15", 1}, {1, 1, "", 0}};
    for (const auto& c : cells) {
        EXPECT_EQ(GridText(grid, c.row, c.col), c.text) << c.row << "," << c.col;
        EXPECT_EQ(grid.GetCellFlag(c.row, c.col), c.flag) << c.row << "," << c.col;
    }
}

TEST_F(FRAMEditorDlgTest, ReadWordsFillTheirCellsAndOthersKeepTheirs) {
    ASSERT_NE(Open(), (HWND)NULL);
    TIVDataGrid& grid = m_dlg.GetGrid();
    grid.SetCellText(5, 1, "abcd");
    ShowRead();
    EXPECT_EQ(GridText(grid, 1, 1), "0000");
    EXPECT_EQ(GridText(grid, 1, 2), "0101");
    EXPECT_EQ(GridText(grid, 2, 1), "1010");   // word 16
    EXPECT_EQ(GridText(grid, 4, 16), "3f3f");  // word 63
    EXPECT_EQ(GridText(grid, 5, 1), "abcd");
    EXPECT_EQ(m_host.GetValue5(), 1u);

    const WORD wrapped[3] = {0xa, 0xb, 0xc};
    m_dlg.ShowWords(wrapped, 0xFE, 3);
    EXPECT_EQ(GridText(grid, 16, 15), "000a");
    EXPECT_EQ(GridText(grid, 16, 16), "000b");
    EXPECT_EQ(GridText(grid, 1, 1), "000c");
}

TEST_F(FRAMEditorDlgTest, ReadAsksForTheFirstBlock) {
    ASSERT_NE(Open(), (HWND)NULL);
    Press(IDC_FRAM_READ);
    ASSERT_EQ(m_port.framReads.size(), 1u);
    EXPECT_EQ(m_port.framReads[0].start, 0);
    EXPECT_EQ(m_port.framReads[0].count, 0);  // one block of 64
}

TEST_F(FRAMEditorDlgTest, WriteBeforeAReadIsRefused) {
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    ModalCloser closer(IDOK);
    Press(IDC_FRAM_WRITE);
    EXPECT_NE(closer.texts.find("Please read before writing in."), std::string::npos) << closer.texts;
    EXPECT_EQ(closer.owner, dialog);
    EXPECT_TRUE(m_port.framWrites.empty());
}

TEST_F(FRAMEditorDlgTest, EditsShowFourDigitsAndTyposAreRefused) {
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    TIVDataGrid& grid = m_dlg.GetGrid();
    ShowRead();
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {{"1a", "001a"}, {"BEEF", "beef"}, {"12345", "beef"}, {"xyz", "beef"}, {"", "beef"}, {"0", "0000"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(EditGridCell(grid, 2, 3, c.typed, VK_RETURN, dialog)) << c.typed;
        EXPECT_EQ(GridText(grid, 2, 3), c.shown) << c.typed;
    }
    // Keys in the editor never reach the dialog: Escape closes the editor only.
    ASSERT_TRUE(EditGridCell(grid, 2, 3, "77", VK_ESCAPE, dialog));
    EXPECT_EQ(GridText(grid, 2, 3), "0000");
    EXPECT_TRUE(IsWindow(dialog));
}

TEST_F(FRAMEditorDlgTest, WriteSendsTheTableWithTheEdits) {
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    ShowRead();
    ASSERT_TRUE(EditGridCell(m_dlg.GetGrid(), 2, 3, "beef", VK_RETURN, dialog));  // word 18
    Press(IDC_FRAM_WRITE);
    ASSERT_EQ(m_port.framWrites.size(), 1u);
    const MemoryRequests::Request& write = m_port.framWrites[0];
    EXPECT_EQ(write.start, 0);
    EXPECT_EQ(write.count, 0);
    for (int w = 0; w < 64; ++w) EXPECT_EQ(write.words[w], w == 18 ? 0xbeef : w * 0x0101) << w;
    EXPECT_EQ(write.words[64], 0);  // never read: not sent
}

TEST_F(FRAMEditorDlgTest, AWordOfTheBlockThatIsNoWordStopsTheWrite) {
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    ShowRead();
    TIVDataGrid& grid = m_dlg.GetGrid();
    grid.SetCellText(1, 11, "");  // word 10
    {
        ModalCloser closer(IDOK);
        Press(IDC_FRAM_WRITE);
        EXPECT_NE(closer.texts.find("Row 0, column 10"), std::string::npos) << closer.texts;
    }
    EXPECT_TRUE(m_port.framWrites.empty());

    grid.SetCellText(1, 11, "a");
    grid.SetCellText(7, 5, "zz");  // word 100 is not sent
    Press(IDC_FRAM_WRITE);
    ASSERT_EQ(m_port.framWrites.size(), 1u);
    EXPECT_EQ(m_port.framWrites[0].words[10], 0xa);
    EXPECT_EQ(m_port.framWrites[0].words[100], 0);
}
