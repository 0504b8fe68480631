// The print preview used with the real mouse and keyboard.
#include "tests/mainwindow/e2e/ProgramDriver.h"
#include "tests/mainwindow/e2e/RealInput.h"

#include "resources/MenuIds.h"
#include "resources/ToolBandIds.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindControl(HWND hwnd, LPARAM param) {
    ControlSearch* search = static_cast<ControlSearch*>(reinterpret_cast<void*>(param));
    if (GetDlgCtrlID(hwnd) != search->id) return TRUE;
    search->found = hwnd;
    return FALSE;
}

// A control of the program's tool bands, found by its id.
HWND Control(HWND main, int id) {
    ControlSearch search = {id, NULL};
    EnumChildWindows(main, &FindControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool WaitShown(HWND window, bool shown) {
    const DWORD start = GetTickCount();
    while ((IsWindowVisible(window) != FALSE) != shown) {
        if (GetTickCount() - start >= ProgramDriver::kTimeoutMs) return false;
        Sleep(20);
    }
    return true;
}

}  // namespace

// Print closes the preview as soon as the page is spooled. A click on the
// preview's close button made while it printed must not reach the area
// band's next-area button, which then sits under the pointer.
TEST(PreviewE2e, ACloseClickMadeWhilePrintingChangesNoArea) {
    ProgramRun program;
    // A window as wide as a user's, with every band on one row.
    program.WriteSetting("Window", "WindowRight", "1000");
    program.WriteSetting("Window", "WindowBottom", "700");
    ProgramDriver driver(program);
    ASSERT_TRUE(driver.Start());
    HWND print = Control(driver.Window(), ID_PRINT_START), close = Control(driver.Window(), ID_PRINT_EXIT);
    HWND next = Control(driver.Window(), ID_AREA_NEXT), area = Control(driver.Window(), IDC_AREA_CHOICE);
    ASSERT_TRUE(print != NULL && close != NULL && next != NULL && area != NULL);
    const std::string overWindow = RealInput::At(driver.Window());

    ASSERT_TRUE(RealInput::Xdotool("mousemove " + overWindow + " key ctrl+p"));
    ASSERT_TRUE(WaitShown(print, true));
    RECT closeButton;
    GetWindowRect(close, &closeButton);
    ASSERT_TRUE(RealInput::Xdotool("mousemove " + RealInput::At(print) + " click 1 mousemove " +
                                   RealInput::At(close) + " click 1"));
    ASSERT_TRUE(WaitShown(print, false)) << "printed, the preview closes";
    RECT nextArea, over;
    GetWindowRect(next, &nextArea);
    ASSERT_TRUE(IntersectRect(&over, &nextArea, &closeButton)) << "the close button lay over the next-area button";
    // Input after the clicks: once it shows the preview, the clicks have been handled.
    ASSERT_TRUE(RealInput::Xdotool("mousemove " + overWindow + " key ctrl+p"));
    ASSERT_TRUE(WaitShown(print, true));
    EXPECT_EQ("Area1", ProgramDriver::Texts(area).substr(0, 5));
    driver.Command(ID_PRINT_EXIT);
    EXPECT_EQ(1u, driver.Close());
}
