#include "framework/MsgBox.h"

#include "tests/framework/ModalCloser.h"
#include "tests/framework/TestResourceIds.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class DefaultsGuard {
public:
    DefaultsGuard() {}
    ~DefaultsGuard() {
        MsgBox box;
        box.SetOwner(NULL);
        box.SetCaption("");
        box.SetModule(NULL);
    }
};

// A language module of the tests, loaded as the program loads one.
HMODULE LoadTestModule(const char* name) {
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string folder(path);
    folder.erase(folder.rfind('\\') + 1);
    return LoadLibraryExA((folder + "modules\\" + name).c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
}

}  // namespace

TEST(MsgBox_Show, TextWithDefaultOwnerAndCaption) {
    DefaultsGuard guard;
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 50, 50, NULL, NULL, NULL, NULL);
    ASSERT_NE(owner, (HWND)NULL);
    MsgBox box;
    box.SetOwner(owner);
    box.SetCaption("TIV Configurator");
    ModalCloser closer(IDNO);
    EXPECT_EQ(box.ShowText("Port %d: %s", MB_YESNO, 4, "busy"), IDNO);
    EXPECT_EQ(closer.caption, "TIV Configurator");
    EXPECT_EQ(closer.owner, owner);
    EXPECT_NE(closer.texts.find("Port 4: busy"), std::string::npos) << closer.texts;
    DestroyWindow(owner);
}

TEST(MsgBox_Show, IdLoadsTheFormatFromTheModule) {
    DefaultsGuard guard;
    MsgBox box;
    box.SetCaption("default");
    ModalCloser closer(IDOK);
    EXPECT_EQ(box.ShowIdCaption(IDS_TEST_FORMAT, "given", MB_OK, "area", 7), IDOK);
    EXPECT_EQ(closer.caption, "given");
    EXPECT_EQ(closer.owner, (HWND)NULL);
    EXPECT_NE(closer.texts.find("Built-in area 7"), std::string::npos) << closer.texts;
}

TEST(MsgBox_Show, MissingIdShowsEmptyTextAndLongTextIsCut) {
    DefaultsGuard guard;
    MsgBox box;
    {
        ModalCloser closer(IDOK);
        EXPECT_EQ(box.ShowId(0x7FF0, MB_OK), IDOK);
        EXPECT_EQ(closer.texts.find("Built-in"), std::string::npos);
    }
    std::string huge(5000, 'w');
    ModalCloser closer(IDOK);
    EXPECT_EQ(box.ShowTextOwnerCaption(NULL, "%s|end", "cut", MB_OK, huge.c_str()), IDOK);
    EXPECT_EQ(closer.texts.find("|end"), std::string::npos);
    EXPECT_NE(closer.texts.find(std::string(1000, 'w')), std::string::npos);
}

TEST(MsgBox_Show, ModuleTextIsTheFormatOnlyWhenItReadsTheProgramsArguments) {
    DefaultsGuard guard;
    HMODULE module = LoadTestModule("Valid.dll");
    ASSERT_NE(module, (HMODULE)NULL);
    MsgBox box;
    box.SetModule(module);
    {
        ModalCloser closer(IDOK);
        EXPECT_EQ(box.ShowId(IDS_TEST_FORMAT, MB_OK, "area", 7), IDOK);
        EXPECT_NE(closer.texts.find("Module area 7"), std::string::npos) << closer.texts;
    }
    {
        // The module's text would read four strings where the caller passes one number.
        ModalCloser closer(IDOK);
        EXPECT_EQ(box.ShowId(IDS_TEST_MISMATCH, MB_OK, 5), IDOK);
        EXPECT_NE(closer.texts.find("Built-in 5"), std::string::npos) << closer.texts;
    }
    box.SetModule(NULL);
    FreeLibrary(module);
}
