#include "mainwindow/frame/HtmlHelpControl.h"

#include "tests/TestFiles.h"
#include "tests/framework/TestOwnerWindow.h"

#include <cctype>
#include <gtest/gtest.h>

#include <string>

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

}  // namespace

TEST(HtmlHelpControl, RegistryNamesTheControlsFile) {
    const std::string file = HtmlHelpControl::Location();
    ASSERT_FALSE(file.empty());
    EXPECT_NE(std::string::npos, Lower(file).find("hhctrl.ocx")) << file;
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str())) << file;
}

TEST(HtmlHelpControl, ShowsTheTopicOfAHelpFile) {
    TestOwnerWindow owner;
    ASSERT_NE(static_cast<HWND>(NULL), owner.CreateTest(200, 100));
    HtmlHelpControl control;
    HWND help = control.DisplayTopic(owner.GetHwnd(), TIV_TEST_HELP_FILE, "index.html");
    ASSERT_NE(static_cast<HWND>(NULL), help);
    EXPECT_TRUE(IsWindow(help));
    printf("help window class %s\n", ClassOf(help).c_str());
    DestroyWindow(help);
}

TEST(HtmlHelpControl, AMissingFileShowsNothing) {
    TestFolder folder;
    HtmlHelpControl control;
    EXPECT_EQ(static_cast<HWND>(NULL),
              control.DisplayTopic(NULL, folder.Path("veldra.chm").c_str(), "index.html"));
}
