#include "framework/TemplateDialog.h"

#include "tests/framework/TestResourceIds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Template bytes written out by hand from the published layouts.
void Words(std::vector<BYTE>* out, std::initializer_list<WORD> words) {
    for (WORD w : words) {
        out->push_back(static_cast<BYTE>(w & 0xFF));
        out->push_back(static_cast<BYTE>(w >> 8));
    }
}

// DLGTEMPLATE without DS_SETFONT: WS_POPUP | WS_CAPTION, one static item.
std::vector<BYTE> PlainWithoutFont() {
    std::vector<BYTE> t;
    Words(&t, {0x0000, 0x80C0, 0, 0, 1, 1, 2, 100, 50, 0, 0, 'T', 0});                 // 26 bytes
    Words(&t, {0});                                                                    // to 28
    Words(&t, {0x0000, 0x5000, 0, 0, 7, 7, 40, 10, 1001, 0xFFFF, 0x0082, 'a', 0, 0});  // 28 bytes
    return t;
}

// DLGTEMPLATEEX with DS_SETFONT, font 9 "Co" weight 700 italic charset 0x80,
// two items: a button with an ordinal title and 3 bytes of creation data,
// and an edit.
std::vector<BYTE> ExtendedWithFont() {
    std::vector<BYTE> t;
    Words(&t, {1, 0xFFFF, 0, 0, 0, 0, 0x0040, 0x80C8, 2, 0, 0, 160, 60, 0, 0, 'X', 0});  // 34
    Words(&t, {9, 700, 0x8001, 'C', 'o', 0});                                            // 46
    Words(&t, {0});                                                                      // 48
    // item 1: help id, ex style, style, x, y, cx, cy, id DWORD
    Words(&t, {0, 0, 0, 0, 0x0001, 0x5001, 1, 2, 3, 4, 1, 0});     // 24 -> 72
    Words(&t, {0xFFFF, 0x0080, 0xFFFF, 0x0007});                   // class BUTTON, ordinal title -> 80
    Words(&t, {3, 0x2211, 0x0033});                                // 3 bytes of data -> 86
    Words(&t, {0});                                                // -> 88
    Words(&t, {0, 0, 0, 0, 0x0080, 0x5081, 5, 6, 7, 8, 1001, 0});  // -> 112
    Words(&t, {0xFFFF, 0x0081, 'e', 0, 0});                        // -> 122
    return t;
}

const std::wstring kFace = L"Tahoma";

DWORD DwordAt(const std::vector<DWORD>& built, size_t offset) {
    DWORD v;
    memcpy(&v, reinterpret_cast<const BYTE*>(built.data()) + offset, sizeof v);
    return v;
}

WORD WordAt(const std::vector<DWORD>& built, size_t offset) {
    WORD v;
    memcpy(&v, reinterpret_cast<const BYTE*>(built.data()) + offset, sizeof v);
    return v;
}

std::vector<BYTE> BytesAt(const std::vector<DWORD>& built, size_t offset, size_t size) {
    const BYTE* p = reinterpret_cast<const BYTE*>(built.data()) + offset;
    return std::vector<BYTE>(p, p + size);
}

class Probe : public TemplateDialog {
public:
    void UseInstance(HINSTANCE instance) { SetInstance(instance); }
};

std::string ModulePath(const char* file) {
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1) + "modules\\" + file;
}

}  // namespace

TEST(TemplateDialog_Build, PlainWithoutFontGainsFontBlockAndStyleBit) {
    Probe p;
    std::vector<BYTE> t = PlainWithoutFont();
    std::vector<DWORD> built;
    ASSERT_TRUE(p.BuildTemplate(t.data(), static_cast<DWORD>(t.size()), kFace, 8, 400, 0, &built));
    ASSERT_GE(built.size() * 4, 72u);
    EXPECT_EQ(DwordAt(built, 0), 0x80C00040u);  // DS_SETFONT added
    EXPECT_EQ(BytesAt(built, 4, 22), std::vector<BYTE>(t.begin() + 4, t.begin() + 26));
    EXPECT_EQ(WordAt(built, 26), 8);
    EXPECT_EQ(
        std::wstring(reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(built.data()) + 28)),
        kFace);
    EXPECT_EQ(BytesAt(built, 44, 28), std::vector<BYTE>(t.begin() + 28, t.end()));
}

TEST(TemplateDialog_Build, ExtendedGetsNewFontCharsetZeroItemsUnchanged) {
    Probe p;
    std::vector<BYTE> t = ExtendedWithFont();
    std::vector<DWORD> built;
    ASSERT_TRUE(p.BuildTemplate(t.data(), static_cast<DWORD>(t.size()), kFace, 8, 400, 0, &built));
    EXPECT_EQ(BytesAt(built, 0, 34), std::vector<BYTE>(t.begin(), t.begin() + 34));
    EXPECT_EQ(WordAt(built, 34), 8);    // points
    EXPECT_EQ(WordAt(built, 36), 400);  // weight
    EXPECT_EQ(WordAt(built, 38), 0);    // italic 0, charset 0
    // face at 40, 14 bytes -> 54, padded to 56, then the 74 bytes of items
    EXPECT_EQ(BytesAt(built, 56, 74), std::vector<BYTE>(t.begin() + 48, t.end()));
    EXPECT_LE(built.size() * 4, 132u);
}

TEST(TemplateDialog_Build, EveryCutShortTemplateIsRefused) {
    Probe p;
    struct Case {
        const char* name;
        std::vector<BYTE> bytes;
    } cases[] = {{"plain", PlainWithoutFont()}, {"extended", ExtendedWithFont()}};
    for (const Case& c : cases) {
        for (size_t size = 0; size < c.bytes.size(); ++size) {
            std::vector<BYTE> cut(c.bytes.begin(), c.bytes.begin() + size);
            std::vector<DWORD> built;
            EXPECT_FALSE(p.BuildTemplate(cut.data(), static_cast<DWORD>(size), kFace, 8, 400, 0, &built))
                << c.name << " cut to " << size;
        }
        // The extended one ends without the pad after its last item.
        std::vector<DWORD> built;
        EXPECT_TRUE(
            p.BuildTemplate(c.bytes.data(), static_cast<DWORD>(c.bytes.size()), kFace, 8, 400, 0, &built))
            << c.name;
    }
}

TEST(TemplateDialog_Build, DamagedFieldsAreRefused) {
    Probe p;
    std::vector<DWORD> built;
    std::vector<BYTE> tooManyItems = PlainWithoutFont();
    tooManyItems[8] = 2;
    EXPECT_FALSE(p.BuildTemplate(tooManyItems.data(), static_cast<DWORD>(tooManyItems.size()), kFace, 8, 400,
                                 0, &built));
    std::vector<BYTE> hugeCreationData = ExtendedWithFont();
    hugeCreationData[80] = 0xFF;
    hugeCreationData[81] = 0xFF;
    EXPECT_FALSE(p.BuildTemplate(hugeCreationData.data(), static_cast<DWORD>(hugeCreationData.size()), kFace,
                                 8, 400, 0, &built));
    std::vector<BYTE> unterminatedTitle;
    Words(&unterminatedTitle, {0x0000, 0x80C0, 0, 0, 0, 1, 2, 100, 50, 0, 0, 'T', 'T', 'T'});
    EXPECT_FALSE(p.BuildTemplate(unterminatedTitle.data(), static_cast<DWORD>(unterminatedTitle.size()),
                                 kFace, 8, 400, 0, &built));
    EXPECT_FALSE(p.BuildTemplate(nullptr, 100, kFace, 8, 400, 0, &built));
}

TEST(TemplateDialog_Create, DialogUsesTheGuiFontWhateverTheTemplateNames) {
    HFONT gui = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA guiFont = {};
    GetObjectA(gui, sizeof guiFont, &guiFont);
    for (WORD id : {IDD_TEST_EXTENDED, IDD_TEST_PLAIN_NOFONT, IDD_TEST_PLAIN_FONT}) {
        Probe p;
        ASSERT_TRUE(p.CreateIndirect(NULL, MAKEINTRESOURCEA(id), NULL)) << id;
        HWND dialog = p.GetHwnd();
        ASSERT_NE(dialog, (HWND)NULL);
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        ASSERT_NE(font, (HFONT)NULL) << id;
        LOGFONTA lf = {};
        GetObjectA(font, sizeof lf, &lf);
        EXPECT_STREQ(lf.lfFaceName, guiFont.lfFaceName) << id;
        EXPECT_EQ(lf.lfItalic, 0) << id;
        EXPECT_LT(lf.lfWeight, 700) << id;
        EXPECT_FALSE(p.CreateIndirect(NULL, MAKEINTRESOURCEA(id), NULL));  // one at a time
        DestroyWindow(dialog);
        EXPECT_EQ(p.GetHwnd(), (HWND)NULL);
    }
}

TEST(TemplateDialog_Create, EveryItemOfAnIconTemplateIsMade) {
    Probe p;
    p.UseInstance(GetModuleHandleA(NULL));  // the icon comes from the dialog's instance
    ASSERT_TRUE(p.CreateIndirect(NULL, MAKEINTRESOURCEA(IDD_TEST_ICON), NULL));
    HWND dialog = p.GetHwnd();
    struct Item {
        int id;
        const char* text;
    } items[] = {{1023, "first line\nsecond line"},
                 {1030, "one"},
                 {1031, "two"},
                 {1032, "three"},
                 {1033, ""},
                 {1034, ""},
                 {1035, "group"},
                 {IDOK, "OK"}};
    for (const Item& item : items) {
        HWND control = GetDlgItem(dialog, item.id);
        ASSERT_NE(control, (HWND)NULL) << item.id;
        char text[64];
        GetWindowTextA(control, text, sizeof text);
        EXPECT_STREQ(text, item.text) << item.id;
    }
    EXPECT_NE(SendDlgItemMessageA(dialog, 1022, STM_GETICON, 0, 0), 0);
    DestroyWindow(dialog);
}

TEST(TemplateDialog_Create, MissingOrDamagedTemplateFailsCleanly) {
    Probe p;
    EXPECT_FALSE(p.CreateIndirect(NULL, MAKEINTRESOURCEA(0x7FF5), NULL));
    EXPECT_EQ(p.DoModalIndirect(NULL, MAKEINTRESOURCEA(0x7FF5), NULL), -1);

    HMODULE module = LoadLibraryExA(ModulePath("Valid.dll").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, (HMODULE)NULL);
    EXPECT_FALSE(p.CreateIndirect(module, MAKEINTRESOURCEA(IDD_TEST_DAMAGED), NULL));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_EQ(p.DoModalIndirect(module, MAKEINTRESOURCEA(IDD_TEST_DAMAGED), NULL), -1);
    EXPECT_EQ(p.GetHwnd(), (HWND)NULL);

    // The same object then works with a sound template of that module.
    ASSERT_TRUE(p.CreateIndirect(module, MAKEINTRESOURCEA(IDD_TEST_EXTENDED), NULL));
    char caption[64];
    GetWindowTextA(p.GetHwnd(), caption, sizeof caption);
    EXPECT_STREQ(caption, "Module extended");
    DestroyWindow(p.GetHwnd());
    FreeLibrary(module);
}

TEST(DialogWindow_Create, ModelessFromTheInstanceIsBoundToItsObject) {
    Probe p;
    p.UseInstance(GetModuleHandleA(NULL));
    ASSERT_TRUE(p.CreateModeless(MAKEINTRESOURCEA(IDD_TEST_EXTENDED), NULL));
    HWND dialog = p.GetHwnd();
    ASSERT_NE(dialog, (HWND)NULL);
    LPCSTR property = reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(GlobalFindAtomA("CLASSPOINTER")));
    EXPECT_EQ(GetPropA(dialog, property), static_cast<HANDLE>(static_cast<DialogWindow*>(&p)));
    EXPECT_FALSE(p.CreateModeless(MAKEINTRESOURCEA(IDD_TEST_EXTENDED), NULL));
    // A command without handler is left to the system.
    EXPECT_EQ(SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TEST_EDIT, EN_CHANGE), 0), 0);
    DestroyWindow(dialog);
    EXPECT_EQ(GetPropA(dialog, property), (HANDLE)NULL);
    EXPECT_NE(GlobalFindAtomA("CLASSPOINTER"), 0);
}
