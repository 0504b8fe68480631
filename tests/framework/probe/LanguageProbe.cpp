// Checks that run inside a prepared program folder (see ProgramCopy).
#include "framework/IniFile.h"
#include "framework/LanguageResource.h"
#include "framework/ResourceString.h"
#include "tests/framework/TestDialog.h"
#include "tests/framework/TestResourceIds.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ProgramFileName() {
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string full(path);
    return full.substr(full.rfind('\\') + 1);
}

std::string CaptionOf(HWND hwnd) {
    char text[64] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

}  // namespace

TEST(LanguageProbe, OnlyBuiltIn) {
    LanguageResource languages;
    LanguageInfo info;
    EXPECT_FALSE(languages.GetFirst(&info));  // nothing before the scan
    ASSERT_EQ(languages.Enumerate(GetModuleHandleA(NULL)), 1);
    ASSERT_TRUE(languages.GetFirst(&info));
    EXPECT_EQ(info.id, 0x8200u);
    EXPECT_STREQ(info.name, "English");
    EXPECT_STREQ(info.helpFile, "veldra.chm");
    EXPECT_STREQ(info.statusText, "Change indication language to English.");
    EXPECT_EQ(info.fileName, ProgramFileName());
    EXPECT_FALSE(languages.GetNext(&info));

    // The program's own language loads nothing.
    EXPECT_EQ(languages.Select(0x8200), GetModuleHandleA(NULL));
    EXPECT_EQ(languages.GetModule(), GetModuleHandleA(NULL));
    EXPECT_FALSE(languages.Release());
    EXPECT_EQ(languages.GetModule(), (HMODULE)NULL);
}

TEST(LanguageProbe, ScanAcceptsOnlyValidModules) {
    LanguageResource languages;
    // The program, Valid.dll, and SameId.dll (counted, not listed); refused:
    // another version, an id outside the language range, another product.
    EXPECT_EQ(languages.Enumerate(GetModuleHandleA(NULL)), 3);
    LanguageInfo info;
    ASSERT_TRUE(languages.GetFirst(&info));
    EXPECT_EQ(info.id, 0x8200u);
    EXPECT_EQ(info.fileName, ProgramFileName());  // the program's own entry wins its id
    ASSERT_TRUE(languages.GetNext(&info));
    EXPECT_EQ(info.id, 0x8201u);
    EXPECT_STREQ(info.fileName, "Valid.dll");
    EXPECT_STREQ(info.name, "Testish");
    EXPECT_STREQ(info.helpFile, "testish.chm");
    EXPECT_FALSE(languages.GetNext(&info));
    EXPECT_FALSE(languages.GetNext(&info));
    for (DWORD refused : {0x8202u, 0x8203u, 0x9000u})
        EXPECT_FALSE(languages.GetInfo(refused, &info)) << refused;
    ASSERT_TRUE(languages.GetInfo(0x8201, &info));
    EXPECT_STREQ(info.fileName, "Valid.dll");

    char version[64];
    std::string module = ProgramFileName();
    EXPECT_TRUE(languages.GetVersionString(module.c_str(), "ProductVersion", version, sizeof version));
    EXPECT_STREQ(version, "1.0.0b11");
    EXPECT_TRUE(languages.GetVersionString(module.c_str(), "ProductName", version, 5));
    EXPECT_STREQ(version, "ZOR ");  // cut to size - 1
    EXPECT_FALSE(languages.GetVersionString(module.c_str(), "NoSuchKey", version, sizeof version));
}

TEST(LanguageProbe, SelectedModuleServesStringsAndTemplates) {
    LanguageResource languages;
    ASSERT_EQ(languages.Enumerate(GetModuleHandleA(NULL)), 3);
    HMODULE module = languages.Select(0x8201);
    ASSERT_NE(module, (HMODULE)NULL);
    EXPECT_EQ(languages.GetModule(), module);
    EXPECT_EQ(GetModuleHandleA("Valid.dll"), (HMODULE)NULL);  // loaded as data only

    ResourceString text(languages.GetModule());
    EXPECT_STREQ(text.Load(2), "Testish");
    EXPECT_STREQ(text.Load(IDS_TEST_PROGRAM_ONLY), "");  // no fall-back to the program
    {
        TestDialog dlg("ModuleDlg", IDD_TEST_EXTENDED);
        EXPECT_EQ(CaptionOf(dlg.Create(NULL, NULL)), "Module extended");
    }
    {
        TestDialog damaged("DamagedDlg", IDD_TEST_DAMAGED);
        EXPECT_EQ(damaged.Create(NULL, NULL), (HWND)NULL);
        EXPECT_EQ(damaged.DoModal(MAKEINTRESOURCEA(IDD_TEST_DAMAGED), NULL), -1);
    }

    EXPECT_EQ(languages.Select(0x9000), (HMODULE)NULL);  // refused at the scan
    EXPECT_EQ(languages.GetModule(), module);
    EXPECT_EQ(languages.Select(0x8200), GetModuleHandleA(NULL));
    {
        TestDialog dlg("ModuleDlg", IDD_TEST_EXTENDED);
        EXPECT_EQ(CaptionOf(dlg.Create(NULL, NULL)), "Built-in extended");
    }
    ASSERT_NE(languages.Select(0x8201), (HMODULE)NULL);
    EXPECT_TRUE(languages.Release());
    EXPECT_EQ(languages.GetModule(), (HMODULE)NULL);
    EXPECT_FALSE(languages.Release());
}

TEST(SettingsProbe, MoveDialog) {
    IniFile settings;
    ASSERT_TRUE(settings.SetFileName("zorcfg.ini"));
    TestDialog dlg("PlacementDlg", IDD_TEST_EXTENDED);
    HWND hwnd = dlg.Create(NULL, NULL);
    ASSERT_NE(hwnd, (HWND)NULL);
    SetWindowPos(hwnd, NULL, 222, 111, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

TEST(SettingsProbe, DialogOpensWhereItWasLeft) {
    IniFile settings;
    ASSERT_TRUE(settings.SetFileName("zorcfg.ini"));
    TestDialog dlg("PlacementDlg", IDD_TEST_EXTENDED);
    RECT r = {};
    GetWindowRect(dlg.Create(NULL, NULL), &r);
    EXPECT_EQ(r.left, 222);
    EXPECT_EQ(r.top, 111);
}
