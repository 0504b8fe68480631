// The Setting, Help and engineering commands sent as WM_COMMAND to a real
// frame window; message boxes are answered from the test's own timer.
#include "mainwindow/MainFrame.h"

#include "framework/LanguageResource.h"
#include "mainwindow/Application.h"
#include "mainwindow/PrintView.h"
#include "mainwindow/ProgramFile.h"
#include "mainwindow/Rebar.h"
#include "mainwindow/ScanView.h"
#include "protocol/DevicePort.h"
#include "resources/MenuIds.h"
#include "tests/framework/ModalCloser.h"
#include "tests/framework/TestSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const double kSwitchWaitMs = 100;
const WORD kProbe = 0xFFFF;

// A device port that runs nothing: it notes the calls of the commands, in
// order, with the time of each send and selection.
class NotedPort : public DevicePort {
public:
    int SelectDevice(WORD type) override {
        calls.push_back("select " + std::to_string(type));
        selectedAt = Now();
        return 1;
    }
    void SetAutoRecognition(BOOL on) override { calls.push_back(on ? "auto on" : "auto off"); }
    BYTE GetLinkLevel() override { return level; }
    int Send(const std::string& bytes) override {
        calls.push_back("send " + bytes);
        sentAt = Now();
        return 1;
    }
    int SetRealtime(DWORD on) override {
        calls.push_back("realtime " + std::to_string(on));
        return 1;
    }
    int RequestPortScan() override {
        calls.push_back("scan");
        return 1;
    }
    int RequestOpen(int) override { return 1; }
    int SimulateTrouble(BYTE kind) override {
        calls.push_back("trouble " + std::to_string(kind));
        return 1;
    }

    std::vector<std::string> calls;
    BYTE level = 0;
    double sentAt = 0;
    double selectedAt = 0;

private:
    // Milliseconds on the performance counter: the tick count's grain is too coarse.
    static double Now() {
        LARGE_INTEGER count, frequency;
        QueryPerformanceCounter(&count);
        QueryPerformanceFrequency(&frequency);
        return count.QuadPart * 1000.0 / frequency.QuadPart;
    }
};

// The application's part in the update: the stored boot choice and the
// file dialog, noted instead of shown.
class NotedApplication : public Application {
public:
    void SetValue3(DWORD value) override {
        parts.push_back(value);
        Application::SetValue3(value);
    }
    int OpenUpdateFile() override { return ++fileDialogs; }

    std::vector<DWORD> parts;
    int fileDialogs = 0;
};

// The frame without the single-instance mutex, which the program holds when
// it runs beside the tests.
class CommandFrame : public MainFrame {
public:
    BOOL RegisterWindowClass(HINSTANCE instance) override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &ChildWindow::WindowProc;
        wc.hInstance = instance;
        wc.lpszClassName = kWindowClass;
        return RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }
    void UpdateDeviceMenu() override { ++deviceMenuUpdates; }

    int deviceMenuUpdates = 0;
};

class FrameCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GE(LanguageResource().Enumerate(GetModuleHandleA(NULL)), 1);
        m_frame.SetApplication(&m_application);
        m_frame.SetDevicePort(&m_port);
        m_frame.SetScanView(&m_view);
        m_frame.SetRebar(&m_rebar);
        m_frame.SetPrintView(&m_printView);
        m_frame.SetWorkspace(Workspace(&m_areas, &m_shape, &m_data, &m_record, &m_caps));
    }
    void TearDown() override {
        if (m_frame.GetHwnd() != NULL) DestroyWindow(m_frame.GetHwnd());
        MSG msg;  // the frame's destruction posted the program's quit message
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        }
    }

    void Start(const char* switches) {
        ASSERT_NE(static_cast<HWND>(NULL), m_frame.Initialize(GetModuleHandleA(NULL), switches, SW_SHOW));
        m_port.calls.clear();
    }
    void Command(WORD id) { SendMessageA(m_frame.GetHwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    // The command with a box expected; the box's texts, "" when none showed.
    std::string CommandAnswering(WORD id, WORD answer) {
        ModalCloser closer(answer);
        Command(id);
        return closer.texts;
    }
    int DeviceType() const { return m_frame.GetSettings().deviceType; }

    TestSettings m_file;  // first: the objects below write into it when they go
    NotedApplication m_application;
    NotedPort m_port;
    ScanView m_view;
    Rebar m_rebar;
    PrintView m_printView;
    AreaSet m_areas;
    ScanShape m_shape;
    MeasuringData m_data;
    WaveFormRecord m_record;
    SensorCaps m_caps;
    CommandFrame m_frame;
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The visible dialogs the frame owns, in no particular order.
BOOL CALLBACK AddOwnedDialog(HWND hwnd, LPARAM param) {
    std::vector<HWND>* dialogs = reinterpret_cast<std::vector<HWND>*>(param);
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (std::string(name) == "#32770" && IsWindowVisible(hwnd) &&
        GetWindow(hwnd, GW_OWNER) == dialogs->front())
        dialogs->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> DialogsOf(HWND frame) {
    std::vector<HWND> dialogs(1, frame);
    EnumThreadWindows(GetCurrentThreadId(), &AddOwnedDialog, reinterpret_cast<LPARAM>(&dialogs));
    dialogs.erase(dialogs.begin());
    return dialogs;
}

const char kOldWindow[] = "SettingHelpCommandsTest.Old";

const char kWarning[] = "This operation rewrites the firmware of TIV.";
const char kNeeds19200[] = "Please set baudrate 19200 when you write firmware.";

}  // namespace

TEST_F(FrameCommands, BaudRateWhileLinkedSendsTheSwitchLineWaitsThenReopens) {
    const struct {
        WORD command;
        const char* line;
        int type;
    } rates[] = {
        {ID_SETTING_19200, "S0192000000000\n", 0},
        {ID_SETTING_57600, "S0576000000000\n", 1},
        {ID_SETTING_115200, "S1152000000000\n", 2},
    };
    Start("");
    m_port.level = 1;
    for (const auto& rate : rates) {
        m_port.calls.clear();
        Command(rate.command);
        const std::vector<std::string> expected = {std::string("send ") + rate.line, "auto off",
                                                   "select " + std::to_string(rate.type)};
        EXPECT_EQ(expected, m_port.calls) << rate.line;
        EXPECT_GE(m_port.selectedAt - m_port.sentAt, kSwitchWaitMs - 1) << rate.line;
        EXPECT_EQ(rate.type, DeviceType());
    }
    EXPECT_EQ(3, m_frame.deviceMenuUpdates - 1);  // one more from the window's creation
}

TEST_F(FrameCommands, BaudRateWithoutALinkOnlyReopens) {
    Start("");
    m_port.level = 0;
    Command(ID_SETTING_57600);
    EXPECT_EQ(std::vector<std::string>({"auto off", "select 1"}), m_port.calls);
    EXPECT_EQ(1, DeviceType());
}

TEST_F(FrameCommands, AutoRecognitionStartsTheProbeAndRefusesAFirmwareUpdate) {
    Start("");
    Command(ID_SETTING_19200);
    m_port.calls.clear();
    Command(ID_SETTING_AUTO_RECOGNITION);
    EXPECT_EQ(std::vector<std::string>({"auto on", "select " + std::to_string(kProbe)}), m_port.calls);
    EXPECT_EQ(65535, DeviceType());

    EXPECT_TRUE(Has(CommandAnswering(ID_HELP_UPDATE, IDOK), kNeeds19200));
    EXPECT_TRUE(m_application.parts.empty());
    EXPECT_EQ(0, m_application.fileDialogs);
}

TEST_F(FrameCommands, FirmwareUpdateAt19200AsksThenOpensTheFileDialog) {
    Start("");
    Command(ID_SETTING_19200);
    const struct {
        WORD command;
        WORD answer;
        DWORD part;
        int fileDialogs;
    } cases[] = {
        {ID_HELP_UPDATE, IDOK, 0, 1},
        {ID_HELP_UPDATE_BOOT, IDOK, 1, 2},
        {ID_HELP_UPDATE_BOOT, IDCANCEL, 1, 2},  // the part is kept all the same
        {ID_HELP_UPDATE, IDCANCEL, 0, 2},
    };
    for (const auto& c : cases) {
        const std::string texts = CommandAnswering(c.command, c.answer);
        EXPECT_TRUE(Has(texts, kWarning)) << texts;
        EXPECT_TRUE(Has(texts, "Do you continue this operation?")) << texts;
        EXPECT_TRUE(Has(texts, "OK\nCancel\n")) << texts;
        ASSERT_FALSE(m_application.parts.empty());
        EXPECT_EQ(c.part, m_application.parts.back());
        EXPECT_EQ(c.part, m_application.GetValue3());
        EXPECT_EQ(c.fileDialogs, m_application.fileDialogs);
    }
}

TEST_F(FrameCommands, FirmwareUpdateAtAnotherFixedRateIsRefused) {
    Start("");
    for (WORD rate : {ID_SETTING_57600, ID_SETTING_115200}) {
        Command(rate);
        for (WORD update : {ID_HELP_UPDATE, ID_HELP_UPDATE_BOOT}) {
            const std::string texts = CommandAnswering(update, IDOK);
            EXPECT_TRUE(Has(texts, kNeeds19200)) << texts;
            EXPECT_FALSE(Has(texts, "Cancel")) << texts;
        }
    }
    EXPECT_TRUE(m_application.parts.empty());
    EXPECT_EQ(0, m_application.fileDialogs);
}

TEST_F(FrameCommands, HelpWithoutTheFileBesideTheProgramSaysSo) {
    std::string path;
    ASSERT_TRUE(ProgramFile::PathOf("veldra.chm", &path));
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str())) << path;
    Start("");
    const std::string texts = CommandAnswering(ID_HELP_SEARCH, IDOK);
    EXPECT_TRUE(Has(texts, "Help file not found.")) << texts;
}

TEST_F(FrameCommands, TroubleCommandsNeedTheInspectSwitch) {
    const WORD troubles[] = {ID_INSPECT_LED_TROUBLE, ID_INSPECT_PHOTOINTERRUPTER_TROUBLE,
                             ID_INSPECT_MOTOR_TROUBLE};
    Start("-inspect");
    for (WORD id : troubles) Command(id);
    EXPECT_EQ(std::vector<std::string>({"trouble 1", "trouble 2", "trouble 3"}), m_port.calls);
}

TEST_F(FrameCommands, WithoutSwitchesTheEngineeringCommandsDoNothing) {
    Start("");
    for (WORD id = ID_INSPECT_CORRECT; id <= ID_DEVELOP_ENCRYPT; ++id) Command(id);
    EXPECT_TRUE(m_port.calls.empty());
}

TEST_F(FrameCommands, LanguageChangeBuildsANewMenuBarAndAsksForNoRealtime) {
    Start("");
    HMENU before = GetMenu(m_frame.GetHwnd());
    Command(static_cast<WORD>(LanguageResource::kFirstId));
    EXPECT_NE(before, GetMenu(m_frame.GetHwnd()));
    EXPECT_EQ(0, m_frame.GetSettings().language);
    // The port list again; the frame's realtime request stands as it was.
    EXPECT_EQ(std::vector<std::string>({"scan"}), m_port.calls);
}

TEST_F(FrameCommands, ALanguageThatCannotBeSelectedChangesNothing) {
    Start("");
    HMENU before = GetMenu(m_frame.GetHwnd());
    m_frame.OnLanguage(static_cast<WORD>(LanguageResource::kFirstId + 1), 0, 0);
    EXPECT_EQ(before, GetMenu(m_frame.GetHwnd()));
    EXPECT_EQ(0, m_frame.GetSettings().language);
    EXPECT_TRUE(m_port.calls.empty());
}

// Dialogs the commands of these menus open; the filter switch dialog
// opens once its template is there, and takes no part until then.
TEST_F(FrameCommands, ToolsOpenOnceAndALanguageChangeReopensEveryOpenOne) {
    // Two of them: without a window manager Wine takes seconds to hide each.
    const WORD tools[] = {ID_DEVELOP_RAM_EDITOR, ID_SETTING_FILTER_SWITCH};
    Start("-develop");
    size_t open = 0;
    for (WORD id : tools) {
        Command(id);
        const std::vector<HWND> dialogs = DialogsOf(m_frame.GetHwnd());
        if (dialogs.size() == open) continue;  // no template yet
        ASSERT_EQ(open + 1, dialogs.size()) << id;
        open = dialogs.size();
        Command(id);  // an open dialog stays as it is
        EXPECT_EQ(dialogs, DialogsOf(m_frame.GetHwnd())) << id;
    }
    if (open == 0) GTEST_SKIP() << "no tool dialog has its template yet";
    for (HWND dialog : DialogsOf(m_frame.GetHwnd())) SetPropA(dialog, kOldWindow, dialog);

    Command(static_cast<WORD>(LanguageResource::kFirstId));
    const std::vector<HWND> reopened = DialogsOf(m_frame.GetHwnd());
    EXPECT_EQ(open, reopened.size());
    for (HWND dialog : reopened) EXPECT_EQ(static_cast<HANDLE>(NULL), GetPropA(dialog, kOldWindow));
}

TEST_F(FrameCommands, ALanguageChangeLeavesClosedDialogsClosed) {
    Start("-inspect -develop");
    Command(static_cast<WORD>(LanguageResource::kFirstId));
    EXPECT_TRUE(DialogsOf(m_frame.GetHwnd()).empty());
}
