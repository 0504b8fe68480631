// The Setting, Help and engineering commands sent as WM_COMMAND to a real
// frame window; the frame's message boxes are answered by the bench.
#include "tests/mainwindow/frame/FrameTestBench.h"

#include "framework/IniFile.h"
#include "framework/LanguageResource.h"
#include "mainwindow/frame/ProgramFile.h"
#include "resources/MenuIds.h"
#include "tests/protocol/StalledLinePort.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

const double kSwitchWaitMs = 100;
const WORD kProbe = 0xFFFF;
const char kWarning[] =
    "I This operation rewrites the firmware of TIV.\nIt will become the cause of failure, if a power supply is "
    "\nun-supplying or communication becomes unstable during \nrewriting. Please be sure to execute in the "
    "environment \nwhere it is rewritable by being stabilized.\nDo you continue this operation?";
const char kNeeds19200[] = "E Please set baudrate 19200 when you write firmware.";

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

const char kOldWindow[] = "SettingHelpCommandsTest.Old";

class FrameCommands : public ::testing::Test {
protected:
    void Start(const char* switches) { ASSERT_NE(static_cast<HWND>(NULL), m_bench.Start(switches)); }
    void Command(WORD id) { m_bench.Command(id); }
    int DeviceType() const { return m_bench.frame.GetSettings().deviceType; }
    BOOL Checked(WORD id) {
        return (GetMenuState(GetMenu(m_bench.frame.GetHwnd()), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    NotedPort& Port() { return m_bench.port; }
    NotedFrame& Frame() { return m_bench.frame; }

    FrameBench<NotedFrame, NotedPort, NotedView, NotedApplication> m_bench;
};

}  // namespace

TEST_F(FrameCommands, BaudRateWhileLinkedSendsTheSwitchLineWaitsThenReopens) {
    const struct {
        WORD command;
        const char* line;
        WORD type;
    } rates[] = {
        {ID_SETTING_57600, "S0576000000000\n", 1},
        {ID_SETTING_115200, "S1152000000000\n", 2},
        {ID_SETTING_19200, "S0192000000000\n", 0},
    };
    Start("");
    Port().level = 1;
    for (const auto& rate : rates) {
        Port().selected.clear();
        Port().autoRecognition = TRUE;
        Command(rate.command);
        ASSERT_FALSE(Port().sent.empty());
        EXPECT_EQ(rate.line, Port().sent.back());
        EXPECT_EQ(std::vector<WORD>({rate.type}), Port().selected) << rate.line;
        EXPECT_EQ(FALSE, Port().autoAtSelection.back()) << rate.line;
        EXPECT_GE(Port().selectedAt - Port().sentAt, kSwitchWaitMs - 1) << rate.line;
        EXPECT_EQ(rate.type, DeviceType());
        EXPECT_TRUE(Checked(rate.command)) << rate.line;
    }
    EXPECT_EQ(3u, Port().sent.size());
}

TEST_F(FrameCommands, BaudRateWithoutALinkOnlyReopens) {
    Start("");
    Port().level = 0;
    Port().selected.clear();
    Command(ID_SETTING_57600);
    EXPECT_TRUE(Port().sent.empty());
    EXPECT_EQ(std::vector<WORD>({1}), Port().selected);
    EXPECT_EQ(FALSE, Port().autoRecognition);
    EXPECT_EQ(1, DeviceType());
}

// The rate line goes ahead of a frame waiting on a line that never drains:
// that writer gives up at once instead of holding the user's command.
TEST(FrameCommands_StalledLine, RateLineCutsAFrameWaitingOnTheLine) {
    struct LinkedPort : StalledLinePort {
        BYTE GetLinkLevel() override { return 1; }
        int SelectDevice(WORD) override { return 1; }
    };
    FrameBench<NotedFrame, LinkedPort, NotedView> bench;
    ASSERT_NE(static_cast<HWND>(NULL), bench.Start(""));
    ASSERT_EQ(bench.port.OpenLine(), 1);
    std::thread writer([&] { bench.port.Send("request"); });
    ASSERT_TRUE(bench.port.WaitForStalledWrite());
    bench.Command(ID_SETTING_57600);
    writer.join();
    EXPECT_EQ(bench.port.SendErrors(), std::vector<DWORD>({ERROR_OPERATION_ABORTED}));
}

TEST_F(FrameCommands, AutoRecognitionStartsTheProbeAndRefusesAFirmwareUpdate) {
    Start("");
    Command(ID_SETTING_19200);
    Port().selected.clear();
    Command(ID_SETTING_AUTO_RECOGNITION);
    EXPECT_EQ(std::vector<WORD>({kProbe}), Port().selected);
    EXPECT_EQ(TRUE, Port().autoAtSelection.back());
    EXPECT_EQ(65535, DeviceType());
    EXPECT_TRUE(Checked(ID_SETTING_AUTO_RECOGNITION));

    Command(ID_HELP_UPDATE);
    EXPECT_EQ(std::vector<std::string>({kNeeds19200}), Frame().boxes);
    EXPECT_TRUE(m_bench.application.parts.empty());
    EXPECT_EQ(0, m_bench.application.fileDialogs);
}

TEST_F(FrameCommands, FirmwareUpdateAt19200AsksThenOpensTheFileDialog) {
    Start("");
    Command(ID_SETTING_19200);
    const struct {
        WORD command;
        int answer;
        DWORD part;
        int fileDialogs;
    } cases[] = {
        {ID_HELP_UPDATE, IDOK, 0, 1},
        {ID_HELP_UPDATE_BOOT, IDOK, 1, 2},
        {ID_HELP_UPDATE_BOOT, IDCANCEL, 1, 2},  // the part is kept all the same
        {ID_HELP_UPDATE, IDCANCEL, 0, 2},
    };
    for (const auto& c : cases) {
        Frame().boxes.clear();
        Frame().answer = c.answer;
        Command(c.command);
        EXPECT_EQ(std::vector<std::string>({kWarning}), Frame().boxes);
        EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL | MB_ICONWARNING), Frame().boxTypes.back());
        ASSERT_FALSE(m_bench.application.parts.empty());
        EXPECT_EQ(c.part, m_bench.application.parts.back());
        EXPECT_EQ(c.part, m_bench.application.GetValue3());
        EXPECT_EQ(c.fileDialogs, m_bench.application.fileDialogs);
    }
}

TEST_F(FrameCommands, FirmwareUpdateAtAnotherFixedRateIsRefused) {
    Start("");
    for (WORD rate : {ID_SETTING_57600, ID_SETTING_115200}) {
        Command(rate);
        Frame().boxes.clear();
        Command(ID_HELP_UPDATE);
        Command(ID_HELP_UPDATE_BOOT);
        EXPECT_EQ(std::vector<std::string>({kNeeds19200, kNeeds19200}), Frame().boxes);
    }
    EXPECT_TRUE(m_bench.application.parts.empty());
    EXPECT_EQ(0, m_bench.application.fileDialogs);
}

TEST_F(FrameCommands, HelpWithoutTheFileBesideTheProgramSaysSo) {
    std::string path;
    ASSERT_TRUE(ProgramFile::PathOf("veldra.chm", &path));
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str())) << path;
    Start("");
    Command(ID_HELP_SEARCH);
    EXPECT_EQ(std::vector<std::string>({"E Help file not found."}), Frame().boxes);
}

TEST_F(FrameCommands, SoundSwitchStopsAPlayingSoundWhenTurnedOff) {
    Start("");
    Command(ID_SETTING_SOUND);
    EXPECT_TRUE(Frame().sounds.empty());
    Command(ID_SETTING_SOUND);
    EXPECT_EQ(std::vector<std::string>({"stop"}), Frame().sounds);
}

TEST_F(FrameCommands, TroubleCommandsNeedTheInspectSwitch) {
    const WORD troubles[] = {ID_INSPECT_LED_TROUBLE, ID_INSPECT_PHOTOINTERRUPTER_TROUBLE,
                             ID_INSPECT_MOTOR_TROUBLE};
    Start("-inspect");
    for (WORD id : troubles) Command(id);
    EXPECT_EQ(std::vector<BYTE>({1, 2, 3}), Port().troubles);
}

TEST_F(FrameCommands, WithoutSwitchesTheEngineeringCommandsDoNothing) {
    Start("");
    for (WORD id = ID_INSPECT_CORRECT; id <= ID_DEVELOP_ENCRYPT; ++id) Command(id);
    EXPECT_TRUE(Port().troubles.empty());
    EXPECT_TRUE(m_bench.OwnedDialogs().empty());
}

TEST_F(FrameCommands, LanguageChangeBuildsANewMenuBarAndAddsNoRealtimeRequest) {
    Start("");
    ASSERT_EQ(std::vector<DWORD>({1}), Port().realtime);  // the view shows its realtime layer
    const int scans = Port().scans;
    HMENU before = GetMenu(Frame().GetHwnd());
    Command(static_cast<WORD>(LanguageResource::kFirstId));
    Command(static_cast<WORD>(LanguageResource::kFirstId));
    EXPECT_NE(before, GetMenu(Frame().GetHwnd()));
    EXPECT_EQ(0, Frame().GetSettings().language);
    EXPECT_EQ(scans + 2, Port().scans);                    // the port list again
    EXPECT_EQ(std::vector<DWORD>({1}), Port().realtime);  // one "on", still matched by one "off"
}

TEST_F(FrameCommands, ALanguageThatCannotBeSelectedChangesNothing) {
    Start("");
    const int scans = Port().scans;
    HMENU before = GetMenu(Frame().GetHwnd());
    Frame().OnLanguage(static_cast<WORD>(LanguageResource::kFirstId + 1), 0, 0);
    EXPECT_EQ(before, GetMenu(Frame().GetHwnd()));
    EXPECT_EQ(0, Frame().GetSettings().language);
    EXPECT_EQ(scans, Port().scans);
}

// Dialogs the commands of these menus open; the filter switch dialog opens
// once its template is there, and takes no part until then.
TEST_F(FrameCommands, ToolsOpenOnceAndALanguageChangeReopensEveryOpenOne) {
    // Two of them: without a window manager Wine takes seconds to hide each.
    const WORD tools[] = {ID_DEVELOP_RAM_EDITOR, ID_SETTING_FILTER_SWITCH};
    // In the screen's far corner, as the bench's frame: end-to-end tests read
    // the program's pixels from the same screen.
    for (const char* section : {"RAMEditorDlg", "FilterSwitchDlg"}) {
        IniFile().WriteInt(section, "Left", 1000);
        IniFile().WriteInt(section, "Top", 800);
    }
    Start("-develop");
    size_t open = 0;
    for (WORD id : tools) {
        Command(id);
        const std::vector<HWND> dialogs = m_bench.OwnedDialogs();
        if (dialogs.size() == open) continue;  // no template yet
        ASSERT_EQ(open + 1, dialogs.size()) << id;
        open = dialogs.size();
        Command(id);  // an open dialog stays as it is
        EXPECT_EQ(dialogs, m_bench.OwnedDialogs()) << id;
    }
    ASSERT_NE(0u, open);
    for (HWND dialog : m_bench.OwnedDialogs()) SetPropA(dialog, kOldWindow, dialog);

    Command(static_cast<WORD>(LanguageResource::kFirstId));
    const std::vector<HWND> reopened = m_bench.OwnedDialogs();
    EXPECT_EQ(open, reopened.size());
    for (HWND dialog : reopened) EXPECT_EQ(static_cast<HANDLE>(NULL), GetPropA(dialog, kOldWindow));
}

TEST_F(FrameCommands, ALanguageChangeLeavesClosedDialogsClosed) {
    Start("-inspect -develop");
    Command(static_cast<WORD>(LanguageResource::kFirstId));
    EXPECT_TRUE(m_bench.OwnedDialogs().empty());
}
