// The Setting and Help commands of the running program, posted to its main
// window from outside; its boxes and file dialog are answered from here.
// The baud change and the firmware update run beside the sensor simulator.
#include "tests/mainwindow/e2e/ProgramRun.h"

#include "protocol/FirmwareFile.h"
#include "resources/MenuIds.h"
#include "tests/TestFiles.h"
#include "tests/protocol/e2e/SimLog.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

const DWORD kLinkTimeoutMs = 20000;
const DWORD kUpdateTimeoutMs = 60000;
const int kFileNameBox = 0x47C;  // the file dialog's name box (cmb13)

BOOL CALLBACK AddText(HWND hwnd, LPARAM param) {
    char text[2048];
    if (GetWindowTextA(hwnd, text, sizeof text) > 0)
        *reinterpret_cast<std::string*>(param) += std::string(text) + "\n";
    return TRUE;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// A visible top-level window of the program: a dialog whose texts hold
// want, or a window of the class windowClass.
struct WindowSearch {
    DWORD processId;
    const char* windowClass;
    std::string want;
    HWND found;
    std::string texts;
};

BOOL CALLBACK FindWindowOfProgram(HWND hwnd, LPARAM param) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    if (processId != search->processId || !IsWindowVisible(hwnd) || ClassOf(hwnd) != search->windowClass)
        return TRUE;
    std::string texts;
    EnumChildWindows(hwnd, &AddText, reinterpret_cast<LPARAM>(&texts));
    if (texts.find(search->want) == std::string::npos) return TRUE;
    search->found = hwnd;
    search->texts = texts;
    return FALSE;
}

HWND WaitForWindow(const ProgramRun& program, const char* windowClass, const std::string& want,
                   DWORD timeoutMs, std::string* texts = NULL) {
    WindowSearch search = {program.ProcessId(), windowClass, want, NULL, ""};
    const LPARAM param = reinterpret_cast<LPARAM>(&search);
    SimLog::PollFor([&] { return !EnumWindows(&FindWindowOfProgram, param); }, timeoutMs);
    if (texts != NULL) *texts = search.texts;
    return search.found;
}

HWND WaitForBox(const ProgramRun& program, const std::string& want, std::string* texts = NULL) {
    return WaitForWindow(program, "#32770", want, kLinkTimeoutMs, texts);
}

void Press(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

void Command(HWND window, WORD id) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

// The position of the first log entry at or after from that is of kind and
// whose payload starts with prefix, or -1.
int Find(const std::vector<SimLog::Entry>& log, size_t from, const char* kind, const std::string& prefix) {
    for (size_t i = from; i < log.size(); ++i) {
        if (log[i].kind == kind && log[i].payload.compare(0, prefix.size(), prefix) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

// Waits until, after the switch line of rate, the program's line is at that
// rate and a link was made there: the challenge asked, then the version,
// which the program asks for once it holds the link.
bool WaitForRelinkAt(const char* rate, size_t from) {
    return SimLog::PollFor(
        [&] {
            const std::vector<SimLog::Entry> log = SimLog::Entries();
            const int switched = Find(log, from, "SWITCH", rate);
            const int baud = switched < 0 ? -1 : Find(log, switched, "BAUD", rate);
            const int challenge = baud < 0 ? -1 : Find(log, baud, "RX", "a069");
            return challenge >= 0 && Find(log, challenge, "RX", "a169") >= 0;
        },
        kLinkTimeoutMs);
}

// Linked once the version is asked for, and scanning in realtime.
bool WaitForLink() {
    return SimLog::PollFor(
        [] {
            const std::vector<SimLog::Entry> log = SimLog::Entries();
            return Find(log, 0, "RX", "a169") >= 0 && Find(log, 0, "RX", "a269") >= 0;
        },
        kLinkTimeoutMs);
}

// A program linked to the simulator at 19200 baud, its realtime scan on.
class LinkedProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (SimLog::ComPort() == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
        ASSERT_TRUE(m_program.Ready());
        m_program.WriteSetting("Device", "ComPort", std::to_string(SimLog::ComPort()).c_str());
        m_program.WriteSetting("Device", "DeviceType", "0");
        m_program.Start("");
        m_window = m_program.WaitForWindow();
        ASSERT_NE(static_cast<HWND>(NULL), m_window);
        ASSERT_TRUE(WaitForLink());
    }
    void Close() {
        PostMessageA(m_window, WM_CLOSE, 0, 0);
        EXPECT_EQ(1u, m_program.WaitForExit());
    }

    ProgramRun m_program;
    HWND m_window = NULL;
};

// Pages in two flash blocks.
FirmwareFile::Pages UpdatePages() {
    FirmwareFile::Pages pages;
    for (DWORD address : {0xAFF00u, 0xB0000u, 0xB0100u}) {
        FirmwareFile::Page page;
        page.address = address;
        for (DWORD i = 0; i < FirmwareFile::kPageBytes; ++i)
            page.data[i] = static_cast<BYTE>(address >> 8 ^ i * 7);
        pages.push_back(page);
    }
    return pages;
}

}  // namespace

TEST_F(LinkedProgram, BaudChangeTo115200AndBackSwitchesTheSensorAndRelinks) {
    const size_t before = SimLog::Entries().size();
    Command(m_window, ID_SETTING_115200);
    EXPECT_TRUE(WaitForRelinkAt("115200", before));
    EXPECT_EQ(1u, SimLog::Lines("NOISE").size());
    EXPECT_EQ(SimLog::Hex("S1152000000000\n"), SimLog::Lines("NOISE").back());

    const size_t middle = SimLog::Entries().size();
    Command(m_window, ID_SETTING_19200);
    EXPECT_TRUE(WaitForRelinkAt("19200", middle));
    EXPECT_EQ(SimLog::Hex("S0192000000000\n"), SimLog::Lines("NOISE").back());

    Close();
    EXPECT_NE(std::string::npos, m_program.Settings().find("DeviceType=0")) << m_program.Settings();
}

TEST_F(LinkedProgram, FirmwareUpdateFromTheMenuReachesTheFlash) {
    TestFolder folder;
    const std::string file = folder.Path("update.tiv");
    ASSERT_EQ(1, FirmwareFile::Write(file.c_str(), UpdatePages()));

    Command(m_window, ID_HELP_UPDATE);
    HWND warning = WaitForBox(m_program, "This operation rewrites the firmware of TIV.");
    ASSERT_NE(static_cast<HWND>(NULL), warning);
    Press(warning, IDOK);

    HWND choice = NULL;
    ASSERT_TRUE(SimLog::PollFor(
        [&] {
            choice = WaitForWindow(m_program, "#32770", "", 0);
            return choice != NULL && GetDlgItem(choice, kFileNameBox) != NULL;
        },
        kLinkTimeoutMs));
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(choice, kFileNameBox), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(file.c_str()), SMTO_ABORTIFHUNG, 5000, &result);
    Press(choice, IDOK);

    HWND question = WaitForBox(m_program, "The firmware will be rewritten to data of \"update.tiv\". OK?");
    ASSERT_NE(static_cast<HWND>(NULL), question);
    Press(question, IDOK);

    ASSERT_TRUE(SimLog::WaitForCount("FLASH", 1, kUpdateTimeoutMs));
    const std::map<DWORD, std::string> flash = SimLog::FlashDump(SimLog::Lines("FLASH").back());
    const FirmwareFile::Pages pages = UpdatePages();
    ASSERT_EQ(pages.size(), flash.size());
    for (const FirmwareFile::Page& page : pages) {
        const std::string data(reinterpret_cast<const char*>(page.data), FirmwareFile::kPageBytes);
        EXPECT_EQ(SimLog::Hex(data), flash.at(page.address)) << std::hex << page.address;
    }

    // The result, then the fixed text asking for a restart of the sensor.
    HWND done = WaitForBox(m_program, "Firmware updating completed.");
    ASSERT_NE(static_cast<HWND>(NULL), done);
    Press(done, IDOK);
    ASSERT_TRUE(SimLog::PollFor([&] { return !IsWindow(done); }, kLinkTimeoutMs));
    HWND restart = WaitForBox(m_program, "OK\n");  // its text is in another code page
    ASSERT_NE(static_cast<HWND>(NULL), restart);
    Press(restart, IDOK);
    Close();
}

TEST(SettingCommandsE2e, HelpOpensTheHelpFileBesideTheProgram) {
    ProgramRun program;
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(program.CopyIn(TIV_TEST_HELP_FILE, "veldra.chm"));
    program.Start("");
    HWND window = program.WaitForWindow();
    ASSERT_NE(static_cast<HWND>(NULL), window);
    Command(window, ID_HELP_SEARCH);
    EXPECT_NE(static_cast<HWND>(NULL), WaitForWindow(program, "HH Parent", "", kLinkTimeoutMs));
    EXPECT_EQ(static_cast<HWND>(NULL), WaitForWindow(program, "#32770", "Help file not found.", 0));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, program.WaitForExit());
}

TEST(SettingCommandsE2e, HelpWithoutTheFileSaysSo) {
    ProgramRun program;
    ASSERT_TRUE(program.Ready());
    program.Start("");
    HWND window = program.WaitForWindow();
    ASSERT_NE(static_cast<HWND>(NULL), window);
    Command(window, ID_HELP_SEARCH);
    HWND box = WaitForBox(program, "Help file not found.");
    ASSERT_NE(static_cast<HWND>(NULL), box);
    Press(box, IDOK);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, program.WaitForExit());
}
