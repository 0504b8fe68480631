#include "tests/mainwindow/e2e/ProgramRun.h"

#include "tests/protocol/e2e/SimLog.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

const WORD kOpenMeasurement = 32772;
const WORD kSaveMeasurement = 32773;
const WORD kOpenMeasurement2 = 40095;
const WORD kDisconnect = 32804;
const WORD kNewArea = 40084;
const WORD kOpenArea = 32769;
const WORD kReadArea = 32805;
const WORD kWriteArea = 32806;
const WORD kFirstPortCommand = 0x8100;  // COM1

// The dialogs and message boxes of the program, answered from outside as a
// user would: each new one is handed out once.
class ProgramDialogs {
public:
    explicit ProgramDialogs(DWORD processId) : m_processId(processId) {}

    HWND Next(DWORD timeoutMs = ProgramRun::kTimeoutMs) {
        const DWORD start = GetTickCount();
        for (;;) {
            m_found = NULL;
            EnumWindows(&ProgramDialogs::FindNew, reinterpret_cast<LPARAM>(this));
            if (m_found != NULL) {
                m_seen.insert(m_found);
                return m_found;
            }
            if (GetTickCount() - start >= timeoutMs) return NULL;
            Sleep(50);
        }
    }

    // The next new dialog whose texts hold text; others that show meanwhile
    // (a progress dialog) are passed over.
    HWND NextWith(const std::string& text, DWORD timeoutMs = ProgramRun::kTimeoutMs) {
        const DWORD start = GetTickCount();
        for (;;) {
            DWORD elapsed = GetTickCount() - start;
            if (elapsed >= timeoutMs) return NULL;
            HWND dialog = Next(timeoutMs - elapsed);
            if (dialog == NULL) return NULL;
            if (Texts(dialog).find(text) != std::string::npos) return dialog;
        }
    }

    // Waits, bounded, until a dialog is gone: the command that showed it has
    // then done its work, and the next posted command comes after it.
    static bool WaitGone(HWND dialog) {
        const DWORD start = GetTickCount();
        while (IsWindow(dialog)) {
            if (GetTickCount() - start >= ProgramRun::kTimeoutMs) return false;
            Sleep(20);
        }
        return true;
    }

    // Every child's text, one per line.
    static std::string Texts(HWND dialog) {
        std::string texts;
        EnumChildWindows(dialog, &ProgramDialogs::CollectText, reinterpret_cast<LPARAM>(&texts));
        return texts;
    }

    // Types the name into a file dialog, if there is one, and sends the command.
    static void Answer(HWND dialog, WORD command, const std::string& fileName = "") {
        if (!fileName.empty()) {
            SendDlgItemMessageA(dialog, cmb13, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fileName.c_str()));
            SendDlgItemMessageA(dialog, edt1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fileName.c_str()));
        }
        PostMessageA(dialog, WM_COMMAND, command, 0);
    }

private:
    static BOOL CALLBACK FindNew(HWND hwnd, LPARAM param) {
        ProgramDialogs* self = reinterpret_cast<ProgramDialogs*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        char name[16] = {};
        GetClassNameA(hwnd, name, sizeof name);
        if (owner != self->m_processId || std::string(name) != "#32770" || !IsWindowVisible(hwnd) ||
            self->m_seen.count(hwnd) != 0)
            return TRUE;
        self->m_found = hwnd;
        return FALSE;
    }
    static BOOL CALLBACK CollectText(HWND hwnd, LPARAM param) {
        char text[2048] = {};
        SendMessageA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        *reinterpret_cast<std::string*>(param) += std::string(text) + "\n";
        return TRUE;
    }

    DWORD m_processId;
    std::set<HWND> m_seen;
    HWND m_found = NULL;
};

// Waits, bounded, until a file has been written whole: the program writes a
// temporary file and renames it, so the name appears with all its bytes.
std::string WaitForFile(const std::string& path) {
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
           GetTickCount() - start < ProgramRun::kTimeoutMs)
        Sleep(50);
    return ReadBytes(path);
}

// Two scans of the 769 steps as the program writes them: one scan per line
// ("Distance") or one per column ("Distance2").
std::string Header() {
    return "[ZOR Measuring Data File]\r\n[Model]\r\n0000\r\n\r\n[Function]\r\n0000\r\n\r\n"
           "[Version]\r\n1.2.3\r\n\r\n[Measuring Data]\n";
}

int Value(int scan, int step) {
    return scan == 0 ? 100 + step : 4000 - step;
}

std::string ScanPerLine() {
    std::string text = Header();
    for (int scan = 0; scan < 2; ++scan) {
        for (int step = 0; step < 769; ++step)
            text += std::to_string(Value(scan, step)) + (step < 768 ? ", " : "\r\n");
    }
    return text;
}

std::string ScanPerColumn() {
    std::string text = Header();
    for (int step = 0; step < 769; ++step)
        text += std::to_string(Value(0, step)) + "," + std::to_string(Value(1, step)) + ",\r\n";
    return text;
}

// A path of the build machine as Wine shows it, on its drive Z:.
std::string WindowsPath(const std::string& hostPath) {
    std::string path = "Z:" + hostPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

bool WaitForMore(const std::string& prefix, int before, DWORD timeoutMs);

// Starts the program on the simulator's port at 19200 baud; its main window
// once linked (the version is asked) and scanning in realtime, else 0.
HWND StartLinked(ProgramRun& program) {
    if (!program.Ready()) return NULL;
    program.WriteSetting("Device", "ComPort", std::to_string(SimLog::ComPort()).c_str());
    program.WriteSetting("Device", "DeviceType", "0");
    program.Start("");
    HWND window = program.WaitForWindow();
    return window != NULL && WaitForMore("a169", 0, 20000) && WaitForMore("a269", 0, 20000) ? window : NULL;
}

// The simulator's area words, FRAM 0x40 to 0xBF.
std::vector<WORD> AreaWords() {
    const std::vector<WORD> fram = SimLog::FramWords();
    if (fram.size() < 0xC0) return std::vector<WORD>();
    return std::vector<WORD>(fram.begin() + 0x40, fram.begin() + 0xC0);
}

// Confirms a transfer from the menu and answers its report; true when the
// report came (and, for a write, the simulator committed both blocks).
bool Transfer(HWND window, ProgramDialogs* dialogs, WORD command, const char* question, const char* report) {
    const size_t commits = SimLog::Lines("COMMIT").size();
    PostMessageA(window, WM_COMMAND, command, 0);
    HWND ask = dialogs->NextWith(question);
    if (ask == NULL) return false;
    ProgramDialogs::Answer(ask, IDOK);
    HWND done = dialogs->NextWith(report);
    if (done == NULL) return false;
    ProgramDialogs::Answer(done, IDOK);
    return command != kWriteArea || SimLog::WaitForCount("COMMIT", commits + 2, ProgramRun::kTimeoutMs);
}

int CountStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
    int count = 0;
    for (const std::string& line : lines) count += line.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return count;
}

// Waits, bounded, for more received requests that start with prefix than before.
bool WaitForMore(const std::string& prefix, int before, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (CountStartingWith(SimLog::Lines("RX"), prefix) <= before) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(50);
    }
    return true;
}

// Waits, bounded, until the simulator has received nothing for quietMs.
bool WaitForQuiet(DWORD quietMs, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    size_t count = SimLog::Lines("RX").size();
    DWORD since = GetTickCount();
    while (GetTickCount() - since < quietMs) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(100);
        size_t now = SimLog::Lines("RX").size();
        if (now != count) {
            count = now;
            since = GetTickCount();
        }
    }
    return true;
}

}  // namespace

// Measuring data opened in either layout through the program's own dialogs
// and saved again reads back as the same two scans.
TEST(CommandsE2e, MeasuringDataOpenedAndSavedInEachLayoutReadsBack) {
    ProgramRun program;
    ASSERT_TRUE(program.Ready());
    TestFolder folder;
    ASSERT_TRUE(WriteBytes(folder.Path("lines.csv"), ScanPerLine()));
    ASSERT_TRUE(WriteBytes(folder.Path("columns.csv"), ScanPerColumn()));
    program.Start("-develop");
    HWND window = program.WaitForWindow();
    ASSERT_NE(static_cast<HWND>(NULL), window);
    ProgramDialogs dialogs(program.ProcessId());

    const struct {
        WORD open;
        const char* file;
        bool asksToShow;  // the record layer is hidden until the first answer
        const char* saved;
    } cases[] = {
        {kOpenMeasurement, "lines.csv", true, "saved-lines.csv"},
        {kOpenMeasurement2, "columns.csv", false, "saved-columns.csv"},
    };
    for (const auto& c : cases) {
        PostMessageA(window, WM_COMMAND, c.open, 0);
        HWND open = dialogs.NextWith("Measurement File (*.csv)");
        ASSERT_NE(static_cast<HWND>(NULL), open) << c.file;
        ProgramDialogs::Answer(open, IDOK, folder.Path(c.file));
        ASSERT_TRUE(ProgramDialogs::WaitGone(open)) << c.file;
        if (c.asksToShow) {
            HWND question = dialogs.NextWith("Would you like to show record data?");
            ASSERT_NE(static_cast<HWND>(NULL), question) << c.file;
            EXPECT_NE(std::string::npos, ProgramDialogs::Texts(question).find("Would you like to show record data?"));
            ProgramDialogs::Answer(question, IDYES);
            ASSERT_TRUE(ProgramDialogs::WaitGone(question)) << c.file;
        }
        PostMessageA(window, WM_COMMAND, kSaveMeasurement, 0);
        HWND save = dialogs.NextWith("Measurement File (*.csv)");
        ASSERT_NE(static_cast<HWND>(NULL), save) << c.file;
        ProgramDialogs::Answer(save, IDOK, folder.Path(c.saved));
        EXPECT_EQ(ScanPerLine(), WaitForFile(folder.Path(c.saved))) << c.file;
    }

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, program.WaitForExit());
}

// With the sensor simulator on COM TIV_SIM_COM: Disconnect closes the port,
// the port's command opens it again and the link comes back.
TEST(CommandsE2e, DisconnectAndAPortCommandCloseAndReopenThePort) {
    ASSERT_NE(0, SimLog::ComPort());
    ProgramRun program;
    HWND window = StartLinked(program);
    ASSERT_NE(static_cast<HWND>(NULL), window);

    PostMessageA(window, WM_COMMAND, kDisconnect, 0);
    EXPECT_TRUE(WaitForQuiet(1500, 20000)) << "requests go on after Disconnect";
    const int challenges = CountStartingWith(SimLog::Lines("RX"), "a069");
    const int versions = CountStartingWith(SimLog::Lines("RX"), "a169");

    PostMessageA(window, WM_COMMAND, static_cast<WORD>(kFirstPortCommand + SimLog::ComPort() - 1), 0);
    EXPECT_TRUE(WaitForMore("a069", challenges, 20000));  // a new link's challenge
    EXPECT_TRUE(WaitForMore("a169", versions, 20000));    // and the version once linked

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, program.WaitForExit());
    EXPECT_NE(std::string::npos, program.Settings().find("ComPort=" + std::to_string(SimLog::ComPort())));
}

// With the sensor simulator on COM TIV_SIM_COM holding known areas: Read
// Area then Write Area from the menu leave its memory as it was.
TEST(CommandsE2e, ReadAreaThenWriteAreaLeaveTheSensorsMemory) {
    ASSERT_NE(0, SimLog::ComPort());
    const std::vector<WORD> before = AreaWords();
    ASSERT_EQ(128u, before.size());
    ProgramRun program;
    HWND window = StartLinked(program);
    ASSERT_NE(static_cast<HWND>(NULL), window);
    ProgramDialogs dialogs(program.ProcessId());

    ASSERT_TRUE(Transfer(window, &dialogs, kReadArea, "Area will be read. OK?", "Area reading completed."));
    ASSERT_TRUE(Transfer(window, &dialogs, kWriteArea, "Area will be written. OK?", "Area writing completed."));
    EXPECT_EQ(before, AreaWords());

    // The areas read are unsaved in the program: closing asks, No discards.
    PostMessageA(window, WM_CLOSE, 0, 0);
    HWND unsaved = dialogs.NextWith("There is unsaved area data. Do you save it?");
    ASSERT_NE(static_cast<HWND>(NULL), unsaved);
    ProgramDialogs::Answer(unsaved, IDNO);
    EXPECT_EQ(1u, program.WaitForExit());
}

// With the simulator holding the areas of a known file: new areas written
// change its memory; the same file opened through the program's dialog and
// written gives the memory back word for word.
TEST(CommandsE2e, AreaFileOpenedAndWrittenLandsInTheSensorsMemory) {
    ASSERT_NE(0, SimLog::ComPort());
    const std::vector<WORD> known = AreaWords();
    ASSERT_EQ(128u, known.size());
    ProgramRun program;
    HWND window = StartLinked(program);
    ASSERT_NE(static_cast<HWND>(NULL), window);
    ProgramDialogs dialogs(program.ProcessId());

    PostMessageA(window, WM_COMMAND, kNewArea, 0);
    ASSERT_TRUE(Transfer(window, &dialogs, kWriteArea, "Area will be written. OK?", "Area writing completed."));
    EXPECT_NE(known, AreaWords());

    PostMessageA(window, WM_COMMAND, kOpenArea, 0);
    HWND open = dialogs.NextWith("Area File (*.ara)");
    ASSERT_NE(static_cast<HWND>(NULL), open);
    ProgramDialogs::Answer(open, IDOK, WindowsPath(TIV_KNOWN_AREAS));
    ASSERT_TRUE(ProgramDialogs::WaitGone(open));
    ASSERT_TRUE(Transfer(window, &dialogs, kWriteArea, "Area will be written. OK?", "Area writing completed."));
    EXPECT_EQ(known, AreaWords());

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, program.WaitForExit());
}

// With the simulator falling silent after it committed the first of the two
// blocks: the user learns that the sensor holds part of the new areas, as
// its memory shows.
TEST(CommandsE2e, AreaWriteCutBetweenItsCommitsSaysTheSensorHoldsPartOfIt) {
    ASSERT_NE(0, SimLog::ComPort());
    const std::vector<WORD> known = AreaWords();
    ASSERT_EQ(128u, known.size());
    ProgramRun program;
    HWND window = StartLinked(program);
    ASSERT_NE(static_cast<HWND>(NULL), window);
    ProgramDialogs dialogs(program.ProcessId());

    PostMessageA(window, WM_COMMAND, kNewArea, 0);
    PostMessageA(window, WM_COMMAND, kWriteArea, 0);
    HWND ask = dialogs.NextWith("Area will be written. OK?");
    ASSERT_NE(static_cast<HWND>(NULL), ask);
    ProgramDialogs::Answer(ask, IDOK);
    HWND failed = dialogs.NextWith("The sensor may now hold some of the new areas");
    ASSERT_NE(static_cast<HWND>(NULL), failed);
    ProgramDialogs::Answer(failed, IDOK);
    const std::vector<WORD> held = AreaWords();
    ASSERT_EQ(128u, held.size());
    // Block 1 (areas 1 to 4) holds the new areas, block 2 the old ones.
    EXPECT_NE(std::vector<WORD>(known.begin(), known.begin() + 64),
              std::vector<WORD>(held.begin(), held.begin() + 64));
    EXPECT_EQ(std::vector<WORD>(known.begin() + 64, known.end()),
              std::vector<WORD>(held.begin() + 64, held.end()));

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, program.WaitForExit());
}
