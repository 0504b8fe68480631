#include "tests/mainwindow/frame/FrameTestBench.h"

#include "framework/LanguageResource.h"
#include "mainwindow/frame/FrameMessages.h"
#include "mainwindow/frame/StatusBar.h"
#include "mainwindow/view/ViewMessages.h"
#include "protocol/DeviceMessages.h"
#include "resources/MenuIds.h"
#include "tests/framework/TestSettings.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

class FrameWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(static_cast<HWND>(NULL), m_bench.Start(""));
        m_status = GetDlgItem(Frame().GetHwnd(), StatusBar::kControlId);
        ASSERT_NE(static_cast<HWND>(NULL), m_status);
    }

    NotedFrame& Frame() { return m_bench.frame; }
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return m_bench.Send(msg, wParam, lParam); }
    std::string PaneText(int part) {
        char text[256] = {};
        SendMessageA(m_status, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
        return text;
    }
    // A wheel turn at the centre of a child window.
    void WheelOver(HWND child, short delta) {
        RECT rect;
        GetWindowRect(child, &rect);
        Send(WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
    }

    NotedBench m_bench;
    HWND m_status = NULL;
};

}  // namespace

TEST(FrameHints, TextByCommandLanguageAndPort) {
    TestSettings file;
    ASSERT_GE(LanguageResource().Enumerate(GetModuleHandleA(NULL)), 1);
    const struct {
        UINT id;
        const char* text;
    } cases[] = {
        {0x8102, "Open COM3 and start communication."},
        {0x8100, "Open COM1 and start communication."},
        {0x81FF, "Open COM256 and start communication."},
        {0x8200, "Change indication language to English."},
        {0x8201, ""},  // no such language
        {32814, "Select Area1."},
        {32817, "Select Area4."},
        {32819, ""},  // areas 5 to 7 have no hint of their own,
        {32772, "Open measuring data."},
        {8962, "Edit in 100mm unit with Shift key"},
        {40000, ""},  // a command without help text
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, MainFrame::HintText(c.id)) << std::hex << c.id;
}

TEST_F(FrameWindow, StatusMessagesFillTheirPanes) {
    // The status bar's own texts, routed to their panes.
    const POINT cursor = {1000, 0};
    Send(WM_STATUS_CURSOR, 1000, 0);
    EXPECT_EQ(StatusBar::CursorText(cursor), PaneText(StatusBar::kCursorPart));
    POINT a = {100, 200}, b = {-400, 1200};
    Send(WM_STATUS_ZOOM_SIZE, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ("500x1000", PaneText(StatusBar::kCursorPart));
    Send(WM_STATUS_HINT, ID_FILE_OPEN_MEASUREMENT);
    EXPECT_EQ("Open measuring data.", PaneText(StatusBar::kHintPart));
    Send(WM_STATUS_CLEAR_HINT, 0);
    EXPECT_EQ("", PaneText(StatusBar::kHintPart));
    Send(WM_STATUS_EDIT_HANDLE, 7, MAKELONG(0, 800));
    EXPECT_EQ(StatusBar::EditText(7, MAKELONG(0, 800)), PaneText(StatusBar::kHintPart));
    // Commands from 0x8000 up show their hint; popups (by position) clear it.
    Send(WM_MENUSELECT, MAKEWPARAM(0x8103, 0));
    EXPECT_EQ("Open COM4 and start communication.", PaneText(StatusBar::kHintPart));
    Send(WM_MENUSELECT, MAKEWPARAM(2, MF_POPUP));
    EXPECT_EQ("", PaneText(StatusBar::kHintPart));
    Send(WM_MENUSELECT, MAKEWPARAM(ID_FILE_OPEN_MEASUREMENT, 0));
    EXPECT_EQ("Open measuring data.", PaneText(StatusBar::kHintPart));
}

TEST_F(FrameWindow, PortPaneCarriesPortLevelAndRate) {
    m_bench.port.level = 2;
    m_bench.port.requests.push_back(5);
    Send(WM_DEVICE_PORT_OPENED, 5, 1);
    Send(WM_STATUS_UPDATE_PORT);
    // Owner-drawn: the part's data is port | level << 16 | rate << 24.
    EXPECT_EQ(static_cast<LRESULT>(0xFF020005), SendMessageA(m_status, SB_GETTEXTA, StatusBar::kPortPart, 0));
}

TEST_F(FrameWindow, TheBenchsWindowShowsWithoutTakingTheForeground) {
    EXPECT_TRUE(IsWindowVisible(Frame().GetHwnd()));
    EXPECT_NE(Frame().GetHwnd(), GetForegroundWindow());
}

TEST_F(FrameWindow, CloseInPreviewOnlyLeavesThePreview) {
    Frame().SetPrintPreviewActive(TRUE);
    Send(WM_CLOSE);
    EXPECT_TRUE(IsWindow(Frame().GetHwnd()));
    EXPECT_EQ(1, Frame().previewLeaves);
    EXPECT_FALSE(Frame().IsPrintPreview());
    HWND hwnd = Frame().GetHwnd();
    Send(WM_CLOSE);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(FrameWindow, WheelZoomsOverTheViewAndStepsAreasElsewhere) {
    HWND view = m_bench.view.GetHwnd();
    ASSERT_NE(static_cast<HWND>(NULL), view);
    WheelOver(view, 120);
    WheelOver(view, -240);
    EXPECT_EQ(std::vector<int>({1, 0}), m_bench.view.zooms);
    RECT client;
    GetClientRect(view, &client);
    EXPECT_NEAR(client.right / 2, m_bench.view.lastZoomPoint.x, 1);
    WheelOver(m_status, -120);
    WheelOver(m_status, 120);
    WheelOver(m_status, 0);
    EXPECT_EQ(1, Frame().nextAreas);
    EXPECT_EQ(2, Frame().previousAreas);
    EXPECT_EQ(2u, m_bench.view.zooms.size());
}

TEST_F(FrameWindow, EscCancelsADragAndDeviceChangesRescanPorts) {
    Send(WM_CHAR, 'a');
    Send(WM_CHAR, 27);
    EXPECT_EQ(1, m_bench.view.cancels);
    const int scans = m_bench.port.scans;
    Send(WM_DEVICECHANGE, 0x8000, 0);
    Send(WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(scans + 2, m_bench.port.scans);
}

TEST_F(FrameWindow, PureMovesReachTheViewAndHiddenSizesLayNothingOut) {
    const int rects = m_bench.view.windowRects;
    RECT before;
    GetWindowRect(Frame().GetHwnd(), &before);
    SetWindowPos(Frame().GetHwnd(), NULL, before.left + 10, before.top + 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(Frame().GetHwnd(), NULL, before.left + 20, before.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_GE(m_bench.view.windowRects, rects + 1);

    RECT viewBefore;
    GetWindowRect(m_bench.view.GetHwnd(), &viewBefore);
    ShowWindow(Frame().GetHwnd(), SW_HIDE);
    Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 80));
    RECT viewAfter;
    GetWindowRect(m_bench.view.GetHwnd(), &viewAfter);
    EXPECT_EQ(viewBefore.right - viewBefore.left, viewAfter.right - viewAfter.left);
}
