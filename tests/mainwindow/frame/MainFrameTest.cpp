#include "mainwindow/frame/MainFrame.h"

#include "framework/IniFile.h"
#include "framework/LanguageResource.h"
#include "resources/MenuIds.h"
#include "tests/framework/TestSettings.h"
#include "tests/mainwindow/frame/FrameTestBench.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const DWORD kStopped = ERROR_CANCELLED;

// Stops before the window class, which is one per process and whose mutex
// the program itself holds when it runs beside the tests.
class FrameBeforeItsWindow : public MainFrame {
public:
    BOOL RegisterWindowClass(HINSTANCE) override {
        ++registrations;
        SetLastError(kStopped);
        return FALSE;
    }
    int Dialogs() const { return CountDialogs(); }
    int registrations = 0;
};

const WORD kInspectCommands[] = {
    ID_INSPECT_CORRECT,     ID_INSPECT_WRITE_FUNCTION,           ID_INSPECT_WAVE_FORM,
    ID_INSPECT_LED_TROUBLE, ID_INSPECT_PHOTOINTERRUPTER_TROUBLE, ID_INSPECT_MOTOR_TROUBLE};
const WORD kDevelopCommands[] = {ID_DEVELOP_RAM_EDITOR, ID_DEVELOP_FRAM_EDITOR, ID_DEVELOP_COM_MONITOR,
                                 ID_DEVELOP_ENCRYPT};

int HandledOf(MainFrame* frame, const WORD* ids, size_t count) {
    int handled = 0;
    for (size_t i = 0; i < count; ++i) handled += frame->HasCommandHandler(ids[i]);
    return handled;
}

// Every collaborator the application hands the frame, real, wired to each
// other but not started.
class MainFrameStart : public ::testing::Test {
protected:
    FrameParts<> m_with;
};

}  // namespace

TEST(MainFrameCommandLine, TakesExactlyTheThreeSwitches) {
    const struct {
        const char* line;
        BOOL stats, inspect, develop;
    } cases[] = {
        {"", FALSE, FALSE, FALSE},
        {"-stats", TRUE, FALSE, FALSE},
        {"-inspect", FALSE, TRUE, FALSE},
        {"-develop", FALSE, FALSE, TRUE},
        {"-stats -inspect -develop", TRUE, TRUE, TRUE},
        {"\t-develop\n-stats  ", TRUE, FALSE, TRUE},
        {"-Stats -INSPECT", FALSE, FALSE, FALSE},
        {"/stats /inspect /develop", FALSE, FALSE, FALSE},
        {"--stats -inspectx x-develop", FALSE, FALSE, FALSE},
        {"-stats-inspect", FALSE, FALSE, FALSE},
        {"\"-develop\"", FALSE, FALSE, FALSE},
        {"file.ara -inspect", FALSE, TRUE, FALSE},
    };
    for (const auto& c : cases) {
        TestSettings file;
        MainFrame frame;
        frame.ParseCommandLine(c.line);
        EXPECT_EQ(c.stats, frame.IsStatistics()) << c.line;
        EXPECT_EQ(c.inspect, frame.IsInspect()) << c.line;
        EXPECT_EQ(c.develop, frame.IsDevelop()) << c.line;
    }
}

TEST_F(MainFrameStart, EachMissingCollaboratorFailsWithTheOutOfMemoryCode) {
    typedef void (*Clear)(MainFrame*, Workspace*);
    const Clear clears[] = {
        [](MainFrame* f, Workspace*) { f->SetApplication(NULL); },
        [](MainFrame* f, Workspace*) { f->SetDevicePort(NULL); },
        [](MainFrame* f, Workspace*) { f->SetScanView(NULL); },
        [](MainFrame* f, Workspace*) { f->SetRebar(NULL); },
        [](MainFrame* f, Workspace*) { f->SetPrintView(NULL); },
        [](MainFrame*, Workspace* w) { w->areaSet = NULL; },
        [](MainFrame*, Workspace* w) { w->realtimeScan = NULL; },
        [](MainFrame*, Workspace* w) { w->measuringData = NULL; },
        [](MainFrame*, Workspace* w) { w->waveFormRecord = NULL; },
        [](MainFrame*, Workspace* w) { w->sensorCaps = NULL; },
    };
    int index = 0;
    for (Clear clear : clears) {
        FrameBeforeItsWindow frame;
        m_with.WireInto(&frame);
        Workspace data = m_with.Data();
        clear(&frame, &data);
        frame.SetWorkspace(data);
        SetLastError(0);
        EXPECT_EQ(NULL, frame.Initialize(GetModuleHandleA(NULL), "-inspect -develop", SW_SHOW)) << index;
        EXPECT_EQ(14u, GetLastError()) << index;
        EXPECT_EQ(0, frame.Dialogs()) << index;
        EXPECT_EQ(0, frame.registrations) << index;
        ++index;
    }
}

TEST_F(MainFrameStart, WithoutSwitchesOnlyTheAlwaysPresentDialogsExist) {
    FrameBeforeItsWindow frame;
    m_with.WireInto(&frame);
    EXPECT_EQ(NULL, frame.Initialize(GetModuleHandleA(NULL), "", SW_SHOW));
    EXPECT_EQ(kStopped, GetLastError());
    EXPECT_EQ(1, frame.registrations);
    EXPECT_EQ(9, frame.Dialogs());
    EXPECT_EQ(1, frame.HasCommandHandler(ID_SETTING_FILTER_SWITCH));
    EXPECT_EQ(0, HandledOf(&frame, kInspectCommands, 6));
    EXPECT_EQ(0, HandledOf(&frame, kDevelopCommands, 4));
}

TEST_F(MainFrameStart, SwitchesAddTheirDialogsAndCommands) {
    const struct {
        const char* line;
        int dialogs;
        int inspectCommands;
        int developCommands;
    } cases[] = {
        {"-stats", 9, 0, 0},
        {"-inspect", 12, 6, 0},
        {"-develop", 13, 0, 4},
        {"-inspect -develop", 16, 6, 4},
    };
    for (const auto& c : cases) {
        FrameBeforeItsWindow frame;
        m_with.WireInto(&frame);
        EXPECT_EQ(NULL, frame.Initialize(GetModuleHandleA(NULL), c.line, SW_SHOW));
        EXPECT_EQ(c.dialogs, frame.Dialogs()) << c.line;
        EXPECT_EQ(c.inspectCommands, HandledOf(&frame, kInspectCommands, 6)) << c.line;
        EXPECT_EQ(c.developCommands, HandledOf(&frame, kDevelopCommands, 4)) << c.line;
    }
}

TEST_F(MainFrameStart, EveryListedLanguageBecomesACommand) {
    FrameBeforeItsWindow frame;
    m_with.WireInto(&frame);
    frame.Initialize(GetModuleHandleA(NULL), "", SW_SHOW);
    EXPECT_EQ(1, frame.HasCommandHandler(ID_LANGUAGE_FIRST));  // the built-in English
    EXPECT_EQ(0, frame.HasCommandHandler(ID_LANGUAGE_FIRST + 1));
}

TEST_F(MainFrameStart, MissingLanguageFallsBackToTheFirstAndKeepsItsIndex) {
    IniFile().WriteInt("Window", "Language", 5);
    {
        FrameBeforeItsWindow frame;
        m_with.WireInto(&frame);
        EXPECT_EQ(5, frame.GetSettings().language);
        frame.Initialize(GetModuleHandleA(NULL), "", SW_SHOW);
        EXPECT_EQ(1, frame.registrations);
        EXPECT_EQ(0, frame.GetSettings().language);
        EXPECT_EQ(GetModuleHandleA(NULL), LanguageResource().GetModule());
    }
    EXPECT_NE(std::string::npos, m_with.settings.Contents().find("Language=0"));
}

TEST_F(MainFrameStart, DestructionWritesTheWindowAndDeviceSections) {
    IniFile().WriteInt("Device", "DeviceType", 9);
    IniFile().WriteInt("Device", "ComPort", 3);
    { MainFrame frame; }
    std::string text = m_with.settings.Contents();
    EXPECT_NE(std::string::npos, text.find("DeviceType=65535")) << text;
    EXPECT_NE(std::string::npos, text.find("ComPort=3")) << text;
    EXPECT_NE(std::string::npos, text.find("WindowRight=512")) << text;
    EXPECT_NE(std::string::npos, text.find("ShowCommand=1")) << text;
}

TEST(MainFrameDispatch, EveryDeviceNotificationButTwoHasItsHandler) {
    TestSettings file;
    MainFrame frame;
    for (UINT n = 0; n <= 36; ++n) {
        // WM_USER + 20 (forced I/O confirmed) and + 24 reach no handler;
        // + 23 is the device port's mark of a switch.
        int expected = n == 20 || n == 24 || n == 36 ? 0 : 1;
        EXPECT_EQ(expected, frame.HasMessageHandler(WM_USER + n)) << "WM_USER + " << n;
    }
}

TEST(MainFrameDispatch, WindowAndStatusMessagesHaveTheirHandlers) {
    TestSettings file;
    MainFrame frame;
    const struct {
        UINT message;
        int handled;
    } cases[] = {
        {WM_CREATE, 1},   {WM_SYSCOLORCHANGE, 1}, {WM_SYSCOMMAND, 1}, {WM_DEVICECHANGE, 1}, {WM_SETTINGCHANGE, 1},
        {WM_SETFOCUS, 1}, {WM_MENUSELECT, 1},     {WM_DRAWITEM, 1},   {WM_NOTIFY, 1},       {WM_MOVE, 1},
        {WM_SIZE, 1},     {WM_CLOSE, 1},          {WM_DESTROY, 1},    {WM_CHAR, 1},         {WM_MOUSEWHEEL, 1},
        {WM_PAINT, 0},    {0x580, 1},             {0x581, 1},         {0x582, 0},           {0x600, 0},
        {0x601, 1},       {0x604, 1},             {0x607, 1},         {0x608, 1},         {0x609, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.handled, frame.HasMessageHandler(c.message)) << std::hex << c.message;
    }
}

TEST(MainFrameDispatch, MenuCommandsAreRegisteredAtConstruction) {
    TestSettings file;
    MainFrame frame;
    const struct {
        WORD id;
        int handled;
    } cases[] = {
        {40084, 1}, {32769, 1}, {32773, 1}, {40095, 1},  // File, and the develop menu's second open
        {32774, 1}, {32775, 1}, {32780, 1}, {32781, 1},  // print, the print band, exit
        {32782, 0}, {32786, 0},                          // editing keys without handler
        {32787, 1}, {32788, 1}, {32793, 1}, {32803, 1}, {40094, 1},  // View and its bands
        {32804, 1}, {0x8100, 1}, {0x81FF, 1}, {32810, 1},           // Disconnect, COM1, COM256
        {32812, 1}, {32813, 1}, {32814, 1}, {32820, 1}, {32821, 0}, {32828, 0},  // Area, Alt+8 .. Alt+F
        {32829, 1}, {32830, 1}, {32831, 1}, {32833, 1},                          // output shapes
        {32834, 1}, {32836, 1}, {32837, 0}, {32838, 0}, {32839, 1},              // numerical input's boxes
        {32840, 1}, {40074, 1}, {40076, 1}, {32845, 1},                          // Setting, F11
        {32846, 1}, {32847, 1}, {40077, 1}, {32848, 1},                          // Help
        // Registered by the start-up: the languages, the filter switch and
        // the engineering commands of the switches.
        {0x8200, 0}, {40072, 0}, {32849, 0}, {32858, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.handled, frame.HasCommandHandler(c.id)) << c.id;
    }
}
