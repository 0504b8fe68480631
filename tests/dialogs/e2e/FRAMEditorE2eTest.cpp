// The FRAM editor on the real device port against the sensor simulator: it
// reads the first block of the simulator's FRAM at level 3 with the real
// progress dialog, one word is edited in the grid and written back, and the
// simulator's memory (its dump) holds that word and nothing else changed.
#include <gtest/gtest.h>

#include "dialogs/FRAMEditorDlg.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"
#include "resources/DialogIds.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"
#include "tests/dialogs/ProgressDlgHost.h"
#include "tests/framework/GridDriver.h"
#include "tests/protocol/e2e/ReadyPort.h"
#include "tests/protocol/e2e/SimLog.h"
#include "tests/framework/StandInWindow.h"

#include <cstdio>
#include <vector>

namespace {

const WORD kDevice115200 = 2;
const DWORD kTimeoutMs = 30000;
const int kEditedWord = 21;  // row 2, column 6

// Handles this thread's messages until done holds; false after the time-out.
template <class Done>
bool PumpUntil(Done done, HWND dialog = NULL) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= kTimeoutMs) return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
        PumpQueued(dialog);
    }
    return true;
}

// The main window as the FRAM editor needs it: the words of a read go to the
// editor, and the result of a write is kept.
class FrameStandIn : public ChildWindow {
public:
    explicit FrameStandIn(FRAMEditorDlg* editor) : m_editor(editor), writeResults() {
        AddMessageHandler(WM_DEVICE_FRAM_DATA, Handler(&FrameStandIn::OnFramData));
        AddMessageHandler(WM_DEVICE_FRAM_WRITTEN, Handler(&FrameStandIn::OnFramWritten));
    }
    HWND CreateStandIn() { return CreateStandInWindow(this, "FramEditorFrameStandIn"); }
    LRESULT OnFramData(WPARAM wParam, LPARAM lParam) {
        const WORD* words = reinterpret_cast<const WORD*>(wParam);
        if (words != NULL) m_editor->ShowWords(words, LOBYTE(LOWORD(lParam)), HIWORD(lParam));
        return 0;
    }
    LRESULT OnFramWritten(WPARAM wParam, LPARAM) {
        writeResults.push_back(static_cast<int>(wParam));
        return 0;
    }

    FRAMEditorDlg* m_editor;
    std::vector<int> writeResults;
};

// The progress dialog belongs to the stand-in, as it belongs to the main window.
class OwnerApplication : public ProgressDlgHost {
public:
    explicit OwnerApplication(HWND* owner) : m_owner(owner) {}
    ProgressView* BeginProgress(HWND) override { return ProgressDlgHost::BeginProgress(*m_owner); }

private:
    HWND* m_owner;
};

class FRAMEditorE2e : public ::testing::Test {
protected:
    FRAMEditorE2e() : m_frame(&m_editor), m_application(&m_frameWindow) {}

    void SetUp() override {
        m_com = SimLog::ComPort();
        if (m_com == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
        m_frameWindow = m_frame.CreateStandIn();
        ASSERT_NE(m_frameWindow, (HWND)NULL);
        ASSERT_TRUE(ReadyPort(&m_port, &m_application, &m_frame, &m_waveForm, &m_caps, kDevice115200));
        ASSERT_EQ(m_port.RequestOpen(m_com), 1);
        ASSERT_TRUE(PumpUntil([this] { return m_port.GetLinkLevel() >= 1; }));
        m_editor.SetDevicePort(&m_port);
        m_editor.SetApplication(&m_application);
        m_dialog = m_editor.Create(GetModuleHandleA(NULL), m_frameWindow);
        ASSERT_NE(m_dialog, (HWND)NULL);
    }
    void TearDown() override {
        m_editor.Destroy();
        m_editor.Reset();
    }
    void Press(int id) {
        PostMessageA(m_dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(m_dialog, id)));
    }

    int m_com = 0;
    HWND m_frameWindow = NULL;
    HWND m_dialog = NULL;
    FRAMEditorDlg m_editor;
    FrameStandIn m_frame;
    SensorCaps m_caps;
    WaveFormRecord m_waveForm;
    OwnerApplication m_application;
    DevicePort m_port;  // last: closed before its collaborators go
};

std::string Hex4(WORD word) {
    char text[8];
    snprintf(text, sizeof text, "%04x", word);
    return text;
}

}  // namespace

TEST_F(FRAMEditorE2e, AnEditedWordIsWrittenAndNothingElseChanges) {
    const std::vector<WORD> before = SimLog::FramWords();
    ASSERT_EQ(before.size(), 512u);
    TIVDataGrid& grid = m_editor.GetGrid();

    Press(IDC_FRAM_READ);
    ASSERT_TRUE(PumpUntil([this] { return m_application.GetValue5() == 1; }, m_dialog));
    for (int w = 0; w < 64; ++w) ASSERT_EQ(GridText(grid, w / 16 + 1, w % 16 + 1), Hex4(before[w])) << w;
    EXPECT_EQ(GridText(grid, 5, 1), "");  // only the first block was read

    const WORD edited = static_cast<WORD>(before[kEditedWord] ^ 0x5a3c);
    ASSERT_TRUE(EditGridCell(grid, kEditedWord / 16 + 1, kEditedWord % 16 + 1, Hex4(edited).c_str(), VK_RETURN,
                             m_dialog));
    Press(IDC_FRAM_WRITE);
    // The operation confirms on its own thread with a box of its own.
    HWND box = NULL;
    ASSERT_TRUE(PumpUntil([&box] { return (box = FindWindowA(NULL, "Result")) != NULL; }, m_dialog));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil([this] { return !m_frame.writeResults.empty(); }, m_dialog));
    EXPECT_EQ(m_frame.writeResults, std::vector<int>{1});

    const std::vector<WORD> after = SimLog::FramWords();
    ASSERT_EQ(after.size(), 512u);
    for (size_t w = 0; w < after.size(); ++w)
        EXPECT_EQ(after[w], w == kEditedWord ? edited : before[w]) << std::hex << w;
}
