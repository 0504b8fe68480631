// The templates of the engineering dialogs and the About box as the program
// draws them: texts without mnemonic marks, the dialog and control sizes the
// dialogs are laid out for, and every control inside its dialog.
#include "resources/resource.h"
#include "tests/dialogs/NoActivation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

struct Findings {
    HWND dialog;
    std::string marked;   // texts with a mnemonic mark
    std::string outside;  // texts of controls reaching beyond the client area
};

BOOL CALLBACK Inspect(HWND control, LPARAM param) {
    Findings* found = reinterpret_cast<Findings*>(param);
    char text[256] = {};
    GetWindowTextA(control, text, sizeof text);
    if (strchr(text, '&') != NULL) found->marked += std::string(text) + "\n";
    RECT client, rect;
    GetClientRect(found->dialog, &client);
    GetWindowRect(control, &rect);
    MapWindowPoints(NULL, found->dialog, reinterpret_cast<POINT*>(&rect), 2);
    if (rect.left < 0 || rect.top < 0 || rect.right > client.right || rect.bottom > client.bottom)
        found->outside += std::string(text) + "\n";
    return TRUE;
}

// Dialog units of the dialog's font in pixels.
SIZE Pixels(HWND dialog, int cx, int cy) {
    RECT rect = {0, 0, cx, cy};
    MapDialogRect(dialog, &rect);
    SIZE size = {rect.right, rect.bottom};
    return size;
}

}  // namespace

TEST(TemplateTexts, NoMnemonicsTheGivenSizesAndEveryControlInside) {
    NoActivation noActivation;
    LoadLibraryA("riched32.dll");  // the monitor's log
    const struct {
        int id;
        int cx, cy;  // the dialog's client size in dialog units, 0 where not fixed here
    } cases[] = {
        {IDD_RAM_EDITOR, 0, 0}, {IDD_FRAM_EDITOR, 0, 0}, {IDD_COM_MONITOR, 0, 0},
        {IDD_ENCRYPTION, 0, 0}, {IDD_CORRECTION, 127, 171}, {IDD_ABOUT, 192, 46},
    };
    for (const auto& c : cases) {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(c.id), NULL, &Quiet, 0);
        ASSERT_NE(dialog, (HWND)NULL) << c.id;
        Findings found = {dialog, "", ""};
        EnumChildWindows(dialog, &Inspect, reinterpret_cast<LPARAM>(&found));
        EXPECT_EQ(found.marked, "") << c.id;
        EXPECT_EQ(found.outside, "") << c.id;
        if (c.cx != 0) {
            RECT client;
            GetClientRect(dialog, &client);
            const SIZE want = Pixels(dialog, c.cx, c.cy);
            EXPECT_EQ(client.right, want.cx) << c.id;
            EXPECT_EQ(client.bottom, want.cy) << c.id;
        }
        if (c.id == IDD_ABOUT) {
            RECT text;
            GetWindowRect(GetDlgItem(dialog, IDC_ABOUT_TEXT), &text);
            const SIZE want = Pixels(dialog, 160, 20);
            EXPECT_EQ(text.right - text.left, want.cx);
            EXPECT_EQ(text.bottom - text.top, want.cy);
        }
        DestroyWindow(dialog);
    }
}
