// The dialog templates as the program draws them: the engineering dialogs
// and the About box without mnemonic marks, at the sizes they are laid out
// for, with every control inside; and no dialog with two controls on one
// mnemonic.
#include "resources/resource.h"
#include "tests/dialogs/NoActivation.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <vector>

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

// The texts of a dialog's controls by the character they underline (upper
// case); "&&" shows an ampersand and underlines nothing.
BOOL CALLBACK ByMnemonic(HWND control, LPARAM param) {
    auto* texts = reinterpret_cast<std::map<char, std::vector<std::string>>*>(param);
    char text[256] = {};
    GetWindowTextA(control, text, sizeof text);
    for (const char* p = text; p[0] != '\0' && p[1] != '\0'; ++p) {
        if (p[0] != '&') continue;
        if (p[1] != '&') {
            (*texts)[static_cast<char>(toupper(static_cast<unsigned char>(p[1])))].push_back(text);
            break;
        }
        ++p;
    }
    return TRUE;
}

BOOL CALLBACK CollectDialog(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
    reinterpret_cast<std::vector<LPCSTR>*>(param)->push_back(name);  // all are numbered
    return TRUE;
}

}  // namespace

// The dialog manager takes the first control after the focus that underlines
// the key, so a key on two controls reaches one or the other by where the
// focus stands.
TEST(TemplateTexts, NoTwoControlsOfADialogShareAMnemonic) {
    NoActivation noActivation;
    LoadLibraryA("riched32.dll");
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    std::vector<LPCSTR> templates;
    EnumResourceNamesA(NULL, RT_DIALOG, &CollectDialog, reinterpret_cast<LONG_PTR>(&templates));
    ASSERT_GE(templates.size(), 18u);
    // The tool strip's template is a child's.
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    for (LPCSTR id : templates) {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), id, parent, &Quiet, 0);
        ASSERT_NE(dialog, (HWND)NULL) << reinterpret_cast<UINT_PTR>(id);
        std::map<char, std::vector<std::string>> texts;
        EnumChildWindows(dialog, &ByMnemonic, reinterpret_cast<LPARAM>(&texts));
        std::string shared;
        for (const auto& key : texts) {
            if (key.second.size() < 2) continue;
            shared += std::string(1, key.first) + ":";
            for (const std::string& text : key.second) shared += " \"" + text + "\"";
            shared += "\n";
        }
        EXPECT_EQ(shared, "") << "template " << reinterpret_cast<UINT_PTR>(id);
        DestroyWindow(dialog);
    }
    DestroyWindow(parent);
}

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
