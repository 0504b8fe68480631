#include "mainwindow/frame/FrameSettings.h"

#include "framework/IniFile.h"
#include "tests/framework/TestSettings.h"

#include <gtest/gtest.h>

namespace {

const RECT kScreen = {0, 0, 1280, 1024};

void ExpectDefaultWindow(const FrameSettings& s) {
    EXPECT_EQ(0, s.window.left);
    EXPECT_EQ(0, s.window.top);
    EXPECT_EQ(512, s.window.right);
    EXPECT_EQ(384, s.window.bottom);
}

}  // namespace

TEST(FrameSettings, FreshFileGivesTheDefaults) {
    TestSettings file;
    IniFile settings;
    FrameSettings s;
    s.deviceType = 0;  // must be overwritten by the load
    s.Load(&settings);
    EXPECT_EQ(1, s.toolbarVisible);
    EXPECT_EQ(1, s.statusbarVisible);
    ExpectDefaultWindow(s);
    EXPECT_EQ(SW_SHOWNORMAL, s.showCommand);
    EXPECT_EQ(0, s.language);
    EXPECT_EQ(0, s.comPort);
    EXPECT_EQ(65535, s.deviceType);
}

TEST(FrameSettings, SaveWritesBothSectionsUnderTheirKeys) {
    TestSettings file;
    IniFile settings;
    FrameSettings s;
    s.toolbarVisible = 0;
    SetRect(&s.window, 10, 20, 610, 420);
    s.showCommand = SW_SHOWMAXIMIZED;
    s.language = 2;
    s.comPort = 5;
    s.deviceType = 1;
    s.Save(&settings);
    std::string text = file.Contents();
    for (const char* line : {"[Window]", "ToolbarVisible=0", "StatusbarVisible=1", "WindowLeft=10",
                             "WindowTop=20", "WindowRight=610", "WindowBottom=420", "ShowCommand=3",
                             "Language=2", "[Device]", "ComPort=5", "DeviceType=1"}) {
        EXPECT_NE(std::string::npos, text.find(line)) << line << " in\n" << text;
    }
    FrameSettings back;
    back.Load(&settings);
    EXPECT_EQ(10, back.window.left);
    EXPECT_EQ(420, back.window.bottom);
    EXPECT_EQ(SW_SHOWMAXIMIZED, back.showCommand);
    EXPECT_EQ(5, back.comPort);
    EXPECT_EQ(1, back.deviceType);
}

TEST(FrameSettings, UnknownDeviceTypesBecomeAutomaticRecognition) {
    const struct {
        int stored;
        int expected;
    } cases[] = {{0, 0},     {1, 1},      {2, 2},         {65535, 65535},
                 {3, 65535}, {-1, 65535}, {65534, 65535}, {0x1FFFF, 65535}};
    for (const auto& c : cases) {
        FrameSettings s;
        s.deviceType = c.stored;
        s.Check(kScreen);
        EXPECT_EQ(c.expected, s.deviceType) << c.stored;
    }
}

TEST(FrameSettings, OnlyNormalAndMaximisedShowCommandsStay) {
    const struct {
        int stored;
        int expected;
    } cases[] = {{1, 1}, {3, 3}, {0, 1}, {2, 1}, {5, 1}, {6, 1}, {-1, 1}};
    for (const auto& c : cases) {
        FrameSettings s;
        s.showCommand = c.stored;
        s.Check(kScreen);
        EXPECT_EQ(c.expected, s.showCommand) << c.stored;
    }
}

TEST(FrameSettings, EmptyOrUnreachableWindowRectangleGivesTheDefault) {
    const struct {
        RECT stored;
        bool kept;
    } cases[] = {
        {{100, 100, 700, 500}, true},      {{-300, -200, 100, 100}, true},  // partly on the screen
        {{1200, 1000, 1900, 1500}, true},                                   // one corner on the screen
        {{100, 100, 100, 500}, false},                                      // no width
        {{100, 500, 700, 500}, false},                                      // no height
        {{700, 100, 100, 500}, false},                                      // turned over
        {{2000, 100, 2600, 500}, false},                                    // right of the screen
        {{-900, -900, -100, -100}, false},                                  // above and left
        {{100, 1024, 700, 1400}, false},                                    // just below
    };
    for (const auto& c : cases) {
        FrameSettings s;
        s.window = c.stored;
        s.Check(kScreen);
        if (c.kept) {
            EXPECT_TRUE(EqualRect(&s.window, &c.stored)) << c.stored.left << "," << c.stored.top;
        } else {
            ExpectDefaultWindow(s);
        }
    }
}

TEST(FrameSettings, LoadChecksWhatTheFileHolds) {
    TestSettings file;
    IniFile settings;
    settings.WriteInt("Device", "DeviceType", 7);
    settings.WriteInt("Window", "ShowCommand", 0);
    settings.WriteInt("Window", "WindowLeft", 40000);
    settings.WriteInt("Window", "WindowRight", 40500);
    settings.WriteInt("Device", "ComPort", 4);
    FrameSettings s;
    s.Load(&settings);
    EXPECT_EQ(65535, s.deviceType);
    EXPECT_EQ(SW_SHOWNORMAL, s.showCommand);
    ExpectDefaultWindow(s);
    EXPECT_EQ(4, s.comPort);
}
