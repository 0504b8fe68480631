#include "dialogs/AboutDlg.h"

#include "resources/DialogIds.h"
#include "tests/framework/TestSettings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ItemText(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

// The test program carries the program's version block.
TEST(AboutDlg, ShowsNameVersionAndNoticeOfTheVersionBlock) {
    TestSettings file;
    AboutDlg about;
    HWND box = about.Create(GetModuleHandleA(NULL), NULL);
    ASSERT_NE(static_cast<HWND>(NULL), box);
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_EQ("Veldra Ver.1.0.0b11\nCopyright (C) TIV Configurator Project", ItemText(box, IDC_ABOUT_TEXT));
    char caption[64] = {};
    GetWindowTextA(box, caption, sizeof caption);
    EXPECT_STREQ("About Veldra", caption);
    EXPECT_NE(static_cast<LRESULT>(0), SendDlgItemMessageA(box, IDC_ABOUT_ICON, STM_GETICON, 0, 0));
    EXPECT_EQ(box, about.Create(GetModuleHandleA(NULL), NULL)) << "no second box";

    SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    Pump();
    EXPECT_FALSE(IsWindow(box));
    EXPECT_FALSE(about.IsOpen());
}

TEST(AboutDlg, VersionStringsByKeyCutToTheBuffer) {
    AboutDlg about;
    char text[32];
    ASSERT_TRUE(about.GetVersionString("ProductName", text, sizeof text));
    EXPECT_STREQ("ZOR Configurator", text);
    ASSERT_TRUE(about.GetVersionString("ProductName", text, 4));
    EXPECT_STREQ("ZOR", text);
    EXPECT_FALSE(about.GetVersionString("NoSuchKey", text, sizeof text));
    EXPECT_FALSE(about.GetVersionString(NULL, text, sizeof text));
}

TEST(AboutDlg, ReopensWhereItWasClosedAtItsTemplateSize) {
    TestSettings file;
    SIZE size;
    {
        AboutDlg about;
        HWND box = about.Create(GetModuleHandleA(NULL), NULL);
        ASSERT_NE(static_cast<HWND>(NULL), box);
        RECT rect;
        GetWindowRect(box, &rect);
        size.cx = rect.right - rect.left;
        size.cy = rect.bottom - rect.top;
        MoveWindow(box, 123, 77, size.cx + 50, size.cy + 20, TRUE);
        SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    AboutDlg again;
    HWND box = again.Create(GetModuleHandleA(NULL), NULL);
    ASSERT_NE(static_cast<HWND>(NULL), box);
    RECT rect;
    GetWindowRect(box, &rect);
    EXPECT_EQ(123, rect.left);
    EXPECT_EQ(77, rect.top);
    EXPECT_EQ(size.cx, rect.right - rect.left) << "not resizable: the template's size";
    EXPECT_EQ(size.cy, rect.bottom - rect.top);
}
