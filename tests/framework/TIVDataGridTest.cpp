#include "framework/TIVDataGrid.h"

#include "framework/WindowDc.h"
#include "tests/PrivateDesktop.h"
#include "tests/framework/GridDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const UINT kGridId = 0x2000;
const int kColumns = 5;  // 50 pixels each
const int kRows = 10;    // 16 pixels each

struct EndEdit {
    HWND from;
    UINT_PTR id;
    int row, col;
    std::string text;
};
std::vector<EndEdit> g_ends;  // test thread only

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NOTIFY) {
        const NMLVDISPINFOA* info = reinterpret_cast<const NMLVDISPINFOA*>(lParam);
        if (info->hdr.code == LVN_ENDLABELEDITA)
            g_ends.push_back({info->hdr.hwndFrom, info->hdr.idFrom, info->item.iItem, info->item.iSubItem,
                              info->item.pszText != NULL ? info->item.pszText : "(null)"});
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND CreateParent() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "GridParentTest";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "GridParentTest", "grid", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

std::string WindowText(HWND hwnd) {
    char text[512] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

class TIVDataGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The editor closes when it loses the focus: no other test may take it.
        PrivateDesktop::Enter();
        g_ends.clear();
        m_parent = CreateParent();
        ASSERT_NE(m_parent, (HWND)NULL);
        m_grid.Register(GetModuleHandleA(NULL));
        ASSERT_NE(Create(300, 200, WS_VSCROLL | WS_HSCROLL), (HWND)NULL);
        for (int c = 0; c < kColumns; ++c) m_grid.InsertColumn(-1, 50);
        for (int r = 0; r < kRows; ++r) {
            m_grid.InsertRow(-1);
            for (int c = 0; c < kColumns; ++c)
                m_grid.SetCellText(r, c, (std::to_string(r) + "," + std::to_string(c)).c_str());
            m_grid.SetCellFlag(r, 0, 1);
        }
        for (int c = 0; c < kColumns; ++c) m_grid.SetCellFlag(0, c, 1);
        m_grid.Refresh();
        PumpQueued();
    }
    void TearDown() override {
        m_grid.Destroy();
        DestroyWindow(m_parent);
        PumpQueued();
    }
    HWND Create(int cx, int cy, DWORD bars) {
        return m_grid.Create(0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | bars, 0, 0, cx, cy, m_parent, kGridId,
                             GetModuleHandleA(NULL));
    }
    void Click(LPARAM point) { ClickGrid(m_grid, point); }
    HWND OpenEditor(int row, int col) { return OpenGridEditor(m_grid, row, col); }
    void Key(HWND target, WPARAM key) { PostKey(target, key); }

    HWND m_parent = NULL;
    TIVDataGrid m_grid;
};

}  // namespace

TEST_F(TIVDataGridTest, AClickOnAFixedCellNeitherSelectsNorEdits) {
    Click(GridPoint(0, 2));
    Click(GridPoint(0, 2));
    Click(GridPoint(3, 0));
    Click(GridPoint(3, 0));
    EXPECT_EQ(m_grid.GetCurrentRow(), -1);
    EXPECT_EQ(m_grid.GetEditorHwnd(), (HWND)NULL);
}

TEST_F(TIVDataGridTest, ClicksMoveTheSelectionAndAClickBesideTheTableClearsIt) {
    Click(GridPoint(2, 1));
    EXPECT_EQ(m_grid.GetCurrentRow(), 2);
    EXPECT_EQ(m_grid.GetCurrentColumn(), 1);
    Click(GridPoint(5, 3));
    EXPECT_EQ(m_grid.GetCurrentRow(), 5);
    EXPECT_EQ(m_grid.GetCurrentColumn(), 3);
    EXPECT_EQ(m_grid.GetEditorHwnd(), (HWND)NULL);  // one click selects only
    // A press on one cell and its release on another opens nothing.
    m_grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, GridPoint(5, 3));
    m_grid.SendMessage(WM_LBUTTONUP, 0, GridPoint(5, 4));
    EXPECT_EQ(m_grid.GetEditorHwnd(), (HWND)NULL);
    Click(MAKELPARAM(kColumns * 50 + 10, 20));
    EXPECT_EQ(m_grid.GetCurrentRow(), -1);
    EXPECT_EQ(m_grid.GetCurrentColumn(), -1);
}

TEST_F(TIVDataGridTest, SecondClickEditsWithTheTextSelectedAndEscapeSendsNothing) {
    HWND editor = OpenEditor(2, 1);
    ASSERT_NE(editor, (HWND)NULL);
    EXPECT_EQ(GetParent(editor), m_grid.GetHwnd());
    EXPECT_EQ(GetFocus(), editor);
    EXPECT_EQ(WindowText(editor), "2,1");
    DWORD start = 0, end = 0;
    SendMessageA(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 3u);
    RECT rect;
    GetWindowRect(editor, &rect);
    MapWindowPoints(NULL, m_grid.GetHwnd(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 51);  // the cell shrunk by one pixel
    EXPECT_EQ(rect.top, 33);
    EXPECT_EQ(rect.right, 99);
    EXPECT_EQ(rect.bottom, 47);

    SetWindowTextA(editor, "1a");
    Key(editor, VK_ESCAPE);
    EXPECT_FALSE(IsWindow(editor));
    EXPECT_FALSE(TransientEditBox::IsAnyOpen());
    EXPECT_TRUE(g_ends.empty());
    char text[16];
    EXPECT_STREQ(m_grid.GetCellText(2, 1, text, sizeof text), "2,1");
}

TEST_F(TIVDataGridTest, EnterSendsOneEndOfEditAndTheGridKeepsItsText) {
    HWND editor = OpenEditor(4, 3);
    ASSERT_NE(editor, (HWND)NULL);
    SetWindowTextA(editor, "1a");
    Key(editor, VK_TAB);  // swallowed: the editor stays
    EXPECT_TRUE(IsWindow(editor));
    EXPECT_TRUE(g_ends.empty());
    Key(editor, VK_RETURN);
    EXPECT_FALSE(IsWindow(editor));
    ASSERT_EQ(g_ends.size(), 1u);
    EXPECT_EQ(g_ends[0].from, m_grid.GetHwnd());
    EXPECT_EQ(g_ends[0].id, kGridId);
    EXPECT_EQ(g_ends[0].row, 4);
    EXPECT_EQ(g_ends[0].col, 3);
    EXPECT_EQ(g_ends[0].text, "1a");
    char text[16];
    EXPECT_STREQ(m_grid.GetCellText(4, 3, text, sizeof text), "4,3");  // the parent stores, not the grid
    // The next edit opens again.
    EXPECT_NE(OpenEditor(4, 3), (HWND)NULL);
}

TEST_F(TIVDataGridTest, ClickingAnotherCellWhileEditingCommitsAndMoves) {
    HWND editor = OpenEditor(2, 1);
    ASSERT_NE(editor, (HWND)NULL);
    SetWindowTextA(editor, "beef");
    Click(GridPoint(6, 2));
    EXPECT_FALSE(IsWindow(editor));
    ASSERT_EQ(g_ends.size(), 1u);
    EXPECT_EQ(g_ends[0].row, 2);
    EXPECT_EQ(g_ends[0].col, 1);
    EXPECT_EQ(g_ends[0].text, "beef");
    EXPECT_EQ(m_grid.GetCurrentRow(), 6);
    EXPECT_EQ(m_grid.GetCurrentColumn(), 2);
    EXPECT_EQ(m_grid.GetEditorHwnd(), (HWND)NULL);
}

TEST_F(TIVDataGridTest, TheEditorHoldsAtMost255Characters) {
    m_grid.SetCellText(3, 3, std::string(300, '7').c_str());
    HWND editor = OpenEditor(3, 3);
    ASSERT_NE(editor, (HWND)NULL);
    EXPECT_EQ(GetWindowTextLengthA(editor), 255);
    SendMessageA(editor, EM_SETSEL, 0, -1);
    SendMessageA(editor, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(std::string(400, 'f').c_str()));
    EXPECT_EQ(GetWindowTextLengthA(editor), 255);
    Key(editor, VK_RETURN);
    ASSERT_EQ(g_ends.size(), 1u);
    EXPECT_EQ(g_ends[0].text, std::string(255, 'f'));
}

TEST_F(TIVDataGridTest, OnlyOneEditorIsOpenAtATime) {
    ASSERT_NE(OpenEditor(2, 1), (HWND)NULL);
    TransientEditBox other;
    SetLastError(0);
    EXPECT_EQ(other.Begin(0, "x", WS_CHILD, 0, 0, 40, 14, m_parent, GetModuleHandleA(NULL)), (HWND)NULL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BUSY));
}

TEST_F(TIVDataGridTest, ScrollBarsAppearOnlyForWhatDoesNotFit) {
    m_grid.Destroy();
    TIVDataGrid grid;  // without a client edge: the client is the window
    ASSERT_NE(grid.Create(0, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, 200, 100, m_parent, kGridId,
                          GetModuleHandleA(NULL)),
              (HWND)NULL);
    auto style = [&] { return GetWindowLongA(grid.GetHwnd(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL); };
    for (int r = 0; r < 6; ++r) grid.InsertRow(-1);  // 96 of 100 pixels high
    for (int c = 0; c < 4; ++c) grid.InsertColumn(-1, 50);
    EXPECT_EQ(style(), 0);  // 200 of 200 pixels wide: it fits
    grid.InsertColumn(-1, 50);
    // Wider than the client: the horizontal bar takes height, so the rows
    // no longer fit and the vertical bar comes too.
    EXPECT_EQ(style(), WS_HSCROLL | WS_VSCROLL);
    grid.DeleteColumn(-1);
    EXPECT_EQ(style(), 0);
    grid.DeleteColumn(-1);
    for (int r = 0; r < 3; ++r) grid.InsertRow(-1);
    EXPECT_EQ(style(), WS_VSCROLL);  // 144 pixels high; 150 wide still fits beside the bar
    grid.Destroy();
}

TEST_F(TIVDataGridTest, PaintingColoursFixedCurrentAndNormalCellsAndTheRoomBeyond) {
    Click(GridPoint(2, 1));
    UpdateWindow(m_grid.GetHwnd());
    WindowDc dc(m_grid.GetHwnd());
    // Right of each cell's short text, away from its edges.
    EXPECT_EQ(GetPixel(dc, 40, 8), GetSysColor(COLOR_BTNFACE));            // header row
    EXPECT_EQ(GetPixel(dc, 40, 3 * 16 + 8), GetSysColor(COLOR_BTNFACE));   // header column
    EXPECT_EQ(GetPixel(dc, 90, 2 * 16 + 8), GetSysColor(COLOR_HIGHLIGHT));  // current
    EXPECT_EQ(GetPixel(dc, 140, 2 * 16 + 8), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(GetPixel(dc, 50 * kColumns + 10, 20), GetSysColor(COLOR_APPWORKSPACE));
    EXPECT_EQ(GetPixel(dc, 20, 16 * kRows + 10), GetSysColor(COLOR_APPWORKSPACE));
}

TEST_F(TIVDataGridTest, ArrowsAndPagesScrollTheContent) {
    for (int r = kRows; r < 100; ++r) m_grid.InsertRow(-1);  // 1600 pixels
    m_grid.Refresh();
    int col = -1, row = -1;
    m_grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    m_grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    m_grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    m_grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);  // 16 pixels: one row
    EXPECT_EQ(GetScrollPos(m_grid.GetHwnd(), SB_VERT), 16);
    EXPECT_TRUE(m_grid.HitTest(MAKELPARAM(60, 0), &col, &row));
    EXPECT_EQ(row, 1);
    m_grid.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    RECT client;
    GetClientRect(m_grid.GetHwnd(), &client);
    EXPECT_EQ(GetScrollPos(m_grid.GetHwnd(), SB_VERT), 1600 - client.bottom);
    EXPECT_TRUE(m_grid.HitTest(MAKELPARAM(60, client.bottom - 1), &col, &row));
    EXPECT_EQ(row, 99);
    m_grid.SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(GetScrollPos(m_grid.GetHwnd(), SB_VERT), 1600 - 2 * client.bottom - 1);
    m_grid.SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);  // everything fits across: nothing moves
    EXPECT_EQ(GetScrollPos(m_grid.GetHwnd(), SB_HORZ), 0);
    m_grid.SendMessage(WM_VSCROLL, SB_TOP, 0);
    EXPECT_TRUE(m_grid.HitTest(MAKELPARAM(60, 0), &col, &row));
    EXPECT_EQ(row, 0);
}

// Drags the vertical thumb to the bottom of a table taller than 16 bits of
// pixels: the tracking loop of the scroll bar reads the posted mouse moves.
TEST_F(TIVDataGridTest, ThumbTrackingReachesPositionsBeyond16Bits) {
    m_grid.Destroy();
    // Filled while hidden: a visible bar redraws at every row.
    TIVDataGrid grid;
    HWND hwnd = grid.Create(0, WS_CHILD | WS_VSCROLL | WS_HSCROLL, 0, 0, 300, 200, m_parent, kGridId,
                            GetModuleHandleA(NULL));
    ASSERT_NE(hwnd, (HWND)NULL);
    grid.InsertColumn(-1, 50);
    for (int r = 0; r < 5000; ++r) grid.InsertRow(-1);  // 80000 pixels
    ShowWindow(hwnd, SW_SHOW);
    grid.Refresh();
    SCROLLBARINFO bar = {};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(GetScrollBarInfo(hwnd, OBJID_VSCROLL, &bar));
    POINT thumb = {(bar.rcScrollBar.left + bar.rcScrollBar.right) / 2,
                   bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2};
    // Just below the bar: a pointer far beside it puts the thumb back.
    POINT end = {thumb.x, bar.rcScrollBar.bottom + 4};
    ScreenToClient(hwnd, &end);
    PostMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(end.x, end.y));
    PostMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(end.x, end.y));
    grid.SendMessage(WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(thumb.x, thumb.y));
    PumpQueued();

    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(GetScrollPos(hwnd, SB_VERT), 80000 - client.bottom);
    int col = -1, row = -1;
    EXPECT_TRUE(grid.HitTest(MAKELPARAM(20, client.bottom - 1), &col, &row));
    EXPECT_EQ(row, 4999);
    grid.Destroy();
}
