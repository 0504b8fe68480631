#include "mainwindow/frame/MainFrame.h"

#include "framework/LanguageResource.h"
#include "mainwindow/bands/Rebar.h"
#include "mainwindow/frame/StatusBar.h"
#include "mainwindow/print/PrintView.h"
#include "mainwindow/program/Application.h"
#include "mainwindow/view/ScanView.h"
#include "protocol/DevicePort.h"
#include "resources/MenuIds.h"
#include "resources/ToolBandIds.h"
#include "sensor/AreaSet.h"
#include "sensor/MeasuringData.h"
#include "sensor/ScanShape.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"
#include "tests/framework/TestSettings.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

const char kFrameClass[] = "MenuStateTestFrame";

// The link level the sensor side reports; the port is never opened.
class LinkedPort : public DevicePort {
public:
    BYTE GetLinkLevel() override { return level; }
    int SelectDevice(WORD) override { return 1; }
    int RequestOpen(int) override { return 1; }
    int RequestPortScan() override { return 1; }
    int SetRealtime(DWORD) override { return 1; }
    BYTE level = 0;
};

class Caps : public SensorCaps {
public:
    int HasCapability(int id) const override { return has.count(id) != 0 ? 1 : 0; }
    std::set<int> has;
};

class Records : public MeasuringData {
public:
    DWORD Count() const override { return count; }
    DWORD count = 0;
};

class View : public ScanView {
public:
    int TestDrawItem(WORD mask) override { return (layers & mask) != 0 ? 1 : 0; }
    int GetMode() override { return mode; }
    WORD layers = 0;
    int mode = 0;
};

class Shape : public ScanShape {
public:
    DWORD IsOutlineOnly() const override { return outline; }
    DWORD outline = 0;
};

// A frame under its own window class: the program's class is one per
// process and its name is the single-instance mutex.
class Frame : public MainFrame {
public:
    BOOL RegisterWindowClass(HINSTANCE instance) override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &ChildWindow::WindowProc;
        wc.hInstance = instance;
        wc.lpszClassName = kFrameClass;
        return RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }
    HWND CreateMainWindow(HMODULE resources) override {
        CREATESTRUCTA cs = {};
        cs.hInstance = GetModuleHandleA(NULL);
        cs.hMenu = LoadMenuA(resources, MAKEINTRESOURCEA(IDR_MAIN_MENU));
        cs.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        cs.lpszClass = kFrameClass;
        return Create(&cs);
    }
    using MainFrame::SetGridCircle;
    using MainFrame::SetSelectedBySensor;
    using MainFrame::Settings;
};

struct State {
    UINT enabled;  // 1 enabled, 0 grayed
    UINT checked;
    UINT radio;
};

// The frame with every collaborator, started with a command line; the
// state of each collaborator is the tests' to switch.
struct Program {
    ~Program() {
        if (frame.GetHwnd() != NULL) frame.Destroy();
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        }  // the frame ends the loop when its window goes
    }
    HWND Start(const char* commandLine) {
        frame.SetApplication(&application);
        frame.SetDevicePort(&port);
        frame.SetScanView(&view);
        frame.SetRebar(&rebar);
        frame.SetPrintView(&printView);
        frame.SetWorkspace(Workspace(&areas, &shape, &records, &waveForm, &caps));
        return frame.Initialize(GetModuleHandleA(NULL), commandLine, SW_SHOW);
    }

    TestSettings file;  // first: the objects below write into it when they go
    Application application;
    LinkedPort port;
    View view;
    Rebar rebar;
    PrintView printView;
    AreaSet areas;
    Shape shape;
    Records records;
    WaveFormRecord waveForm;
    Caps caps;
    Frame frame;
};

State StateIn(HMENU menu, UINT item, BOOL byPosition) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_FTYPE;
    State state = {2, 2, 2};  // 2: no such item
    if (!GetMenuItemInfoA(menu, item, byPosition, &info)) return state;
    state.enabled = (info.fState & MFS_GRAYED) ? 0 : 1;
    state.checked = (info.fState & MFS_CHECKED) ? 1 : 0;
    state.radio = (info.fType & MFT_RADIOCHECK) ? 1 : 0;
    return state;
}

class MenuState : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GE(LanguageResource().Enumerate(GetModuleHandleA(NULL)), 1);
        ASSERT_NE(static_cast<HWND>(NULL), m_program.Start(""));
    }

    void UpdateAll() {
        m_frame.UpdateViewMenu();
        m_frame.UpdateCommunicationMenu();
        m_frame.UpdateAreaMenu();
        m_frame.UpdateDeviceMenu();
        m_frame.UpdateHelpMenu();
        m_frame.UpdateInspectDevelopMenus();
    }
    HMENU Bar() { return GetMenu(m_frame.GetHwnd()); }
    State Of(UINT id) { return StateIn(Bar(), id, FALSE); }
    std::vector<UINT> Enabled(const std::vector<UINT>& ids) {
        std::vector<UINT> states;
        for (UINT id : ids) states.push_back(Of(id).enabled);
        return states;
    }
    std::vector<UINT> Checked(const std::vector<UINT>& ids) {
        std::vector<UINT> states;
        for (UINT id : ids) states.push_back(Of(id).checked);
        return states;
    }
    // "text id", with " *" for the marked item; "-" for the separator.
    std::vector<std::string> PortItems() {
        std::vector<std::string> items;
        HMENU ports = GetSubMenu(GetSubMenu(Bar(), 2), 0);
        for (int i = 0; i < GetMenuItemCount(ports); ++i) {
            char text[32] = {};
            GetMenuStringA(ports, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            UINT id = GetMenuItemID(ports, i);
            char line[64];
            snprintf(line, sizeof line, "%s %x%s", text, id,
                     StateIn(ports, static_cast<UINT>(i), TRUE).checked ? " *" : "");
            items.push_back(id == 0 ? "-" : line);
        }
        return items;
    }
    UINT BandChecked(UINT id) {
        return static_cast<UINT>(m_program.rebar.SendItemMessage(id, BM_GETCHECK, 0, 0));
    }
    // 1 for a band item that takes the user's choice: a combo box that is
    // enabled, a button whose click goes out as a command (held back here).
    std::vector<UINT> BandEnabled(const std::vector<UINT>& ids) {
        HWND rebar = m_program.rebar.GetHwnd();
        std::vector<WORD> commands;
        SetPropA(rebar, kCommandsProperty, &commands);
        s_rebarProc = reinterpret_cast<WNDPROC>(
            SetWindowLongA(rebar, GWL_WNDPROC, reinterpret_cast<LONG>(&HoldCommands)));
        std::vector<UINT> states;
        for (UINT id : ids) {
            HWND item = m_program.rebar.GetItemWindow(id);
            char type[32] = {};
            GetClassNameA(item, type, sizeof type);
            if (lstrcmpiA(type, "ComboBox") == 0) {
                states.push_back(IsWindowEnabled(item) ? 1 : 0);
            } else {
                commands.clear();
                SendMessageA(item, BM_CLICK, 0, 0);
                states.push_back(commands.size() == 1 && commands[0] == id ? 1 : 0);
            }
        }
        SetWindowLongA(rebar, GWL_WNDPROC, reinterpret_cast<LONG>(s_rebarProc));
        RemovePropA(rebar, kCommandsProperty);
        return states;
    }
    static LRESULT CALLBACK HoldCommands(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg != WM_COMMAND) return CallWindowProcA(s_rebarProc, hwnd, msg, wParam, lParam);
        static_cast<std::vector<WORD>*>(GetPropA(hwnd, kCommandsProperty))->push_back(LOWORD(wParam));
        return 0;
    }
    static constexpr const char* kCommandsProperty = "MenuStateCommands";
    static WNDPROC s_rebarProc;
    int ComboSelection(UINT id) { return static_cast<int>(m_program.rebar.SendItemMessage(id, CB_GETCURSEL, 0, 0)); }
    DWORD PortPane() {
        HWND bar = GetDlgItem(m_frame.GetHwnd(), StatusBar::kControlId);
        char unused[256];
        return static_cast<DWORD>(
            SendMessageA(bar, SB_GETTEXTA, StatusBar::kPortPart, reinterpret_cast<LPARAM>(unused)));
    }

    Program m_program;
    Frame& m_frame = m_program.frame;
    LinkedPort& m_port = m_program.port;
    View& m_view = m_program.view;
    AreaSet& m_areas = m_program.areas;
    Shape& m_shape = m_program.shape;
    Records& m_records = m_program.records;
    Caps& m_caps = m_program.caps;
};

WNDPROC MenuState::s_rebarProc = NULL;

const std::vector<UINT> kLinkedCommands = {ID_COMM_READ_AREA, ID_COMM_WRITE_AREA, ID_COMM_RECORD,
                                           ID_COMM_SENSOR_INFO, ID_COMM_IO_TEST};

}  // namespace

TEST_F(MenuState, LinkLevelEnablesTheSensorCommands) {
    m_caps.has = {SensorCaps::kCapHelp};
    const struct {
        BYTE level;
        DWORD scans;
        UINT linked, clear, playBack, bySensor, update;
    } cases[] = {
        {0, 0, 0, 0, 0, 0, 0},
        {0, 5, 0, 1, 1, 0, 0},  // recorded data is cleared and played back unlinked too
        {1, 0, 1, 0, 0, 1, 1},
        {2, 5, 1, 1, 1, 1, 1},
        {3, 0, 1, 0, 0, 1, 1},
        {0, 0, 0, 0, 0, 0, 0},  // and back
    };
    for (const auto& c : cases) {
        m_port.level = c.level;
        m_records.count = c.scans;
        UpdateAll();
        std::vector<UINT> expected(kLinkedCommands.size(), c.linked);
        EXPECT_EQ(expected, Enabled(kLinkedCommands)) << int(c.level);
        EXPECT_EQ(std::vector<UINT>(3, c.linked), BandEnabled({ID_COMM_READ_AREA, ID_COMM_WRITE_AREA, ID_COMM_RECORD}));
        EXPECT_EQ(c.clear, Of(ID_COMM_CLEAR_RECORD).enabled) << int(c.level);
        EXPECT_EQ(c.playBack, Of(ID_VIEW_PLAY_BACK).enabled) << int(c.level);
        EXPECT_EQ(c.bySensor, Of(ID_VIEW_SELECTED_BY_SENSOR).enabled) << int(c.level);
        EXPECT_EQ((std::vector<UINT>{c.update, c.update}), Enabled({ID_HELP_UPDATE, ID_HELP_UPDATE_BOOT}));
    }
    // Without the capability the firmware cannot be updated, linked or not.
    m_caps.has.clear();
    m_port.level = 2;
    m_frame.UpdateHelpMenu();
    EXPECT_EQ((std::vector<UINT>{0, 0}), Enabled({ID_HELP_UPDATE, ID_HELP_UPDATE_BOOT}));
}

TEST_F(MenuState, AreaChoiceIsLockedOnlyWhileTheLinkedSensorChooses) {
    const std::vector<UINT> choices = {ID_AREA_NUMERICAL_INPUT, ID_AREA_SELECT1, ID_AREA_SELECT2, ID_AREA_SELECT3,
                                       ID_AREA_SELECT4,         ID_AREA_SELECT5, ID_AREA_SELECT6, ID_AREA_SELECT7};
    const struct {
        BOOL bySensor;
        BYTE level;
        BYTE area;
        UINT free, next, previous;
    } cases[] = {
        {FALSE, 0, 0, 1, 1, 0},  // the first area has no previous one
        {FALSE, 2, 3, 1, 1, 1},
        {FALSE, 1, 6, 1, 0, 1},  // the seventh has no next one
        {TRUE, 0, 3, 1, 1, 1},   // not linked: the sensor chooses nothing
        {TRUE, 1, 3, 0, 0, 0},
        {TRUE, 3, 0, 0, 0, 0},
        {FALSE, 3, 0, 1, 1, 0},
    };
    for (const auto& c : cases) {
        m_frame.SetSelectedBySensor(c.bySensor);
        m_port.level = c.level;
        m_areas.SelectArea(c.area);
        m_frame.UpdateAreaMenu();
        m_frame.UpdateViewMenu();
        std::vector<UINT> expected(choices.size(), c.free);
        EXPECT_EQ(expected, Enabled(choices)) << c.bySensor << int(c.level);
        EXPECT_EQ(c.next, Of(ID_AREA_NEXT).enabled) << int(c.area);
        EXPECT_EQ(c.previous, Of(ID_AREA_PREVIOUS).enabled) << int(c.area);
        EXPECT_EQ((std::vector<UINT>{c.free, c.free, c.next, c.previous}),
                  BandEnabled({ID_AREA_NUMERICAL_INPUT, IDC_AREA_CHOICE, ID_AREA_NEXT, ID_AREA_PREVIOUS}));
        EXPECT_EQ(static_cast<int>(c.area), ComboSelection(IDC_AREA_CHOICE));
        EXPECT_EQ(static_cast<UINT>(c.bySensor), Of(ID_VIEW_SELECTED_BY_SENSOR).checked);
        // The area's radio mark sits on its own item alone.
        std::vector<UINT> marks(7, 0);
        marks[c.area] = 1;
        EXPECT_EQ(marks, Checked(std::vector<UINT>(choices.begin() + 1, choices.end())));
        EXPECT_EQ(1u, Of(ID_AREA_SELECT1 + c.area).radio);
    }
}

TEST_F(MenuState, ViewMenuFollowsLayersModeAndFlags) {
    const struct {
        WORD layers;
        int mode;
        DWORD outline;
        BOOL grid;
        std::vector<UINT> checks;  // realtime, line drawing, record, area, grid, edit, move, zoom
    } cases[] = {
        {ScanView::kDefaultDrawItem, 0, 0, FALSE, {1, 0, 0, 1, 0, 1, 0, 0}},
        {ScanView::kDrawRecord, 1, 1, TRUE, {0, 1, 1, 0, 1, 0, 1, 0}},
        {0, 2, 0, FALSE, {0, 0, 0, 0, 0, 0, 0, 1}},
        {ScanView::kDrawRealtime | ScanView::kDrawRecord, 3, 0, TRUE, {1, 0, 1, 0, 1, 0, 0, 0}},  // placing vertices
    };
    for (const auto& c : cases) {
        m_view.layers = c.layers;
        m_view.mode = c.mode;
        m_shape.outline = c.outline;
        m_frame.SetGridCircle(c.grid);
        m_frame.UpdateViewMenu();
        EXPECT_EQ(c.checks, Checked({ID_VIEW_REALTIME, ID_VIEW_LINE_DRAWING, ID_VIEW_RECORD, ID_VIEW_AREA,
                                     ID_VIEW_GRID_CIRCLE, ID_VIEW_EDIT_AREA, ID_VIEW_MOVE, ID_VIEW_ZOOM}))
            << c.mode;
        // The view band's buttons: realtime, record, area, grid, edit, move, zoom.
        std::vector<UINT> band = {c.checks[0], c.checks[2], c.checks[3], c.checks[4],
                                  c.checks[5], c.checks[6], c.checks[7]};
        EXPECT_EQ(band, (std::vector<UINT>{BandChecked(ID_VIEW_REALTIME), BandChecked(ID_VIEW_RECORD),
                                           BandChecked(ID_VIEW_AREA), BandChecked(ID_VIEW_GRID_CIRCLE),
                                           BandChecked(ID_VIEW_EDIT_AREA), BandChecked(ID_VIEW_MOVE),
                                           BandChecked(ID_VIEW_ZOOM)}))
            << c.mode;
    }
    EXPECT_EQ(1u, Of(ID_VIEW_MOVE).radio);
}

// The area band shows the area's options as the sensor treats them: a
// sensor without an option never shows it set.
TEST_F(MenuState, AreaBandShowsTheOptionsTheSensorHas) {
    m_areas.SetDevice(&m_caps);
    m_areas.SelectArea(2);
    m_areas.SetPartitionShape(2);
    m_areas.Set2ScanMode(5);
    m_areas.SetMirrorReflectionMode(1);
    m_areas.SetHalfHysteresis(1);
    const int kSelectable = SensorCaps::kCapShapeSelectable, kStraight = SensorCaps::kCapShapeStraight,
              kFan = SensorCaps::kCapShapeFan;
    const struct {
        std::set<int> caps;
        int shape;
        UINT shapeEnabled;
        std::vector<UINT> options;  // two-scan bits 0, 1, 2, mirror, half hysteresis
    } cases[] = {
        {{kSelectable, SensorCaps::kCap2ScanMode, SensorCaps::kCapMirrorReflection, SensorCaps::kCapHalfHysteresis},
         2, 1, {1, 0, 1, 1, 1}},
        {{kStraight}, 0, 0, {1, 1, 0, 0, 0}},  // bit 0 alone stands for the first two outputs
        {{kStraight, kFan}, 1, 0, {1, 1, 0, 0, 0}},
        {{}, -1, 0, {1, 1, 0, 0, 0}},  // no shape the sensor could have
    };
    const std::vector<UINT> indicators = {ID_AREA_TWO_SCAN0, ID_AREA_TWO_SCAN1, ID_AREA_TWO_SCAN2, ID_AREA_MIRROR,
                                          ID_AREA_HALF_HYSTERESIS};
    for (const auto& c : cases) {
        m_caps.has = c.caps;
        m_frame.UpdateAreaMenu();
        EXPECT_EQ(2, ComboSelection(IDC_AREA_CHOICE));
        EXPECT_EQ(c.shape, ComboSelection(IDC_OUTPUT_SHAPE)) << c.caps.size();
        EXPECT_EQ(std::vector<UINT>{c.shapeEnabled}, BandEnabled({IDC_OUTPUT_SHAPE}));
        std::vector<UINT> shown;
        for (UINT id : indicators) shown.push_back(BandChecked(id));
        EXPECT_EQ(c.options, shown) << c.caps.size();
        EXPECT_EQ(std::vector<UINT>(5, 0), BandEnabled(indicators));  // they only show
    }
}

TEST_F(MenuState, ToolBarAndStatusBarAreShownAsTheirChecks) {
    HWND statusBar = GetDlgItem(m_frame.GetHwnd(), StatusBar::kControlId);
    ASSERT_NE(static_cast<HWND>(NULL), statusBar);
    const struct {
        int toolbar, statusbar;
    } cases[] = {{1, 1}, {0, 1}, {1, 0}, {0, 0}, {1, 1}};
    for (const auto& c : cases) {
        m_frame.Settings().toolbarVisible = c.toolbar;
        m_frame.Settings().statusbarVisible = c.statusbar;
        m_frame.UpdateViewMenu();
        EXPECT_EQ(static_cast<UINT>(c.toolbar), Of(ID_VIEW_TOOLBAR).checked);
        EXPECT_EQ(static_cast<UINT>(c.statusbar), Of(ID_VIEW_STATUSBAR).checked);
        EXPECT_EQ(c.toolbar != 0, IsWindowVisible(m_program.rebar.GetHwnd()) != 0);
        EXPECT_EQ(c.statusbar != 0, IsWindowVisible(statusBar) != 0);
    }
}

// Each item of a radio group is marked on its own: switching from one rate
// to automatic recognition leaves exactly one mark.
TEST_F(MenuState, DeviceRadioAndPortPaneFollowTheDeviceType) {
    const struct {
        int type;
        std::vector<UINT> marks;  // automatic, 19.2, 57.6, 115.2
    } cases[] = {
        {2, {0, 0, 0, 1}}, {0xFFFF, {1, 0, 0, 0}}, {0, {0, 1, 0, 0}}, {1, {0, 0, 1, 0}}, {7, {1, 0, 0, 0}},
    };
    const std::vector<UINT> group = {ID_SETTING_AUTO_RECOGNITION, ID_SETTING_19200, ID_SETTING_57600,
                                     ID_SETTING_115200};
    m_frame.Settings().comPort = 4;
    m_port.level = 1;
    for (const auto& c : cases) {
        m_frame.Settings().deviceType = c.type;
        m_frame.UpdateDeviceMenu();
        EXPECT_EQ(c.marks, Checked(group)) << c.type;
        for (UINT id : group) EXPECT_EQ(1u, Of(id).radio) << id;
        EXPECT_EQ(StatusBar::PackPort(4, 1, c.type), PortPane()) << c.type;
    }
}

TEST_F(MenuState, PortPopupListsTheFoundPortsAndMarksTheSelectedOne) {
    m_frame.Settings().comPort = 3;
    DWORD ports[8] = {0x5, 0x80, 0, 0, 0, 0, 0, 0};  // COM1, COM3, COM40
    const DWORD sent[8] = {0x5, 0x80, 0, 0, 0, 0, 0, 0};
    m_frame.BuildPortMenu(ports);
    EXPECT_EQ((std::vector<std::string>{"COM1 8100", "COM3 8102 *", "COM40 8127", "-", "&Disconnect 8024"}),
              PortItems());
    // The list belongs to whoever sent it: it is read, never written.
    EXPECT_EQ(0, memcmp(sent, ports, sizeof ports));

    DWORD fewer[8] = {0x4, 0, 0, 0, 0, 0, 0, 0x80000000};  // COM3, COM256
    m_frame.BuildPortMenu(fewer);
    EXPECT_EQ((std::vector<std::string>{"COM3 8102 *", "COM256 81ff", "-", "&Disconnect 8024"}), PortItems());
    DWORD none[8] = {};
    m_frame.BuildPortMenu(none);
    EXPECT_EQ((std::vector<std::string>{"-", "&Disconnect 8024"}), PortItems());

    // The radio mark follows the selected port; no port marks Disconnect.
    m_frame.BuildPortMenu(ports);
    const struct {
        int port;
        BYTE level;
        std::vector<std::string> items;
    } cases[] = {
        {40, 1, {"COM1 8100", "COM3 8102", "COM40 8127 *", "-", "&Disconnect 8024"}},
        {0, 0, {"COM1 8100", "COM3 8102", "COM40 8127", "-", "&Disconnect 8024 *"}},
        {1, 2, {"COM1 8100 *", "COM3 8102", "COM40 8127", "-", "&Disconnect 8024"}},
    };
    for (const auto& c : cases) {
        m_frame.Settings().comPort = c.port;
        m_port.level = c.level;
        m_frame.UpdateCommunicationMenu();
        EXPECT_EQ(c.items, PortItems()) << c.port;
        EXPECT_EQ(StatusBar::PackPort(c.port, c.level, 0xFFFF), PortPane()) << c.port;
    }
}

// The engineering popups are appended wherever the bar ends (position 6 or
// 7 of the program's own bar): their items are found by command.
TEST(MenuStateSwitches, EngineeringItemsFollowTheirCapabilitiesWhereverTheirPopupsSit) {
    ASSERT_GE(LanguageResource().Enumerate(GetModuleHandleA(NULL)), 1);
    const struct {
        const char* line;
        std::set<int> caps;
        UINT troubles, ramEditor;  // 2: not in the bar
    } cases[] = {
        {"-develop", {SensorCaps::kCapDevelopMenu}, 2, 1},
        {"-develop", {}, 2, 0},
        {"-inspect -develop", {SensorCaps::kCapInspectMenu}, 1, 0},
        {"-inspect -develop", {SensorCaps::kCapDevelopMenu}, 0, 1},
        {"-inspect", {SensorCaps::kCapInspectMenu, SensorCaps::kCapDevelopMenu}, 1, 2},
    };
    for (const auto& c : cases) {
        Program program;
        program.caps.has = c.caps;
        HWND hwnd = program.Start(c.line);
        ASSERT_NE(static_cast<HWND>(NULL), hwnd);
        HMENU bar = GetMenu(hwnd);
        for (UINT id : {ID_INSPECT_LED_TROUBLE, ID_INSPECT_PHOTOINTERRUPTER_TROUBLE, ID_INSPECT_MOTOR_TROUBLE})
            EXPECT_EQ(c.troubles, StateIn(bar, id, FALSE).enabled) << c.line << " " << id;
        EXPECT_EQ(c.ramEditor, StateIn(bar, ID_DEVELOP_RAM_EDITOR, FALSE).enabled) << c.line;
    }
}

TEST_F(MenuState, BroadcastReachesEveryChildWindow) {
    HWND statusBar = GetDlgItem(m_frame.GetHwnd(), StatusBar::kControlId);
    SendMessageA(statusBar, SB_SETTEXTA, StatusBar::kCursorPart, reinterpret_cast<LPARAM>("before"));
    // WM_SETTEXT reaches both the rebar and the status window.
    m_frame.BroadcastToChildren(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("after"));
    char text[32] = {};
    SendMessageA(statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("after", text);
    GetWindowTextA(m_program.rebar.GetHwnd(), text, sizeof text);
    EXPECT_STREQ("after", text);
}
