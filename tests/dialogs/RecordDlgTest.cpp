#include "dialogs/RecordDlg.h"

#include "dialogs/DialogMessages.h"
#include "dialogs/RecordingView.h"
#include "framework/ChildWindow.h"
#include "framework/LanguageResource.h"
#include "framework/ProgressView.h"
#include "protocol/DevicePort.h"
#include "resources/resource.h"
#include "sensor/MeasuringData.h"
#include "tests/dialogs/ModalDriver.h"
#include "tests/dialogs/ProgressDlgHost.h"
#include "tests/framework/TestSettings.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Log;

// The collaborators, real where it costs nothing, each writing what the
// dialog asked of it into one log so that the order shows.
class LoggingHost : public ProgressDlgHost {
public:
    explicit LoggingHost(Log* log) : m_log(log) {}
    ProgressView* BeginProgress(HWND owner) override {
        m_log->push_back("progress");
        progress = ProgressDlgHost::BeginProgress(owner);
        return progress;
    }
    // Notes an owner still shown: the progress dialog, which has the
    // keyboard, must go last for a window manager to hand it on.
    BOOL EndProgress(ProgressView* dialog) override {
        HWND owner = dialog != NULL && dialog->GetHwnd() != NULL ? GetWindow(dialog->GetHwnd(), GW_OWNER) : NULL;
        m_log->push_back(owner != NULL && IsWindowVisible(owner) ? "progress end before its owner" : "progress end");
        if (dialog == progress) progress = NULL;
        return ProgressDlgHost::EndProgress(dialog);
    }
    // The bar's position, asked from the progress dialog's own thread.
    int BarPos() {
        if (progress == NULL || progress->GetHwnd() == NULL) return -1;
        return static_cast<int>(SendDlgItemMessageA(progress->GetHwnd(), IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
    }
    ProgressView* progress = NULL;

private:
    Log* m_log;
};

class LoggingPort : public DevicePort {
public:
    explicit LoggingPort(Log* log) : m_log(log) {}
    int SetRealtime(DWORD on) override {
        m_log->push_back(on ? "realtime on" : "realtime off");
        return 1;
    }

private:
    Log* m_log;
};

class LoggingView : public RecordingView {
public:
    explicit LoggingView(Log* log) : m_log(log) {}
    void RedrawRecording() override { m_log->push_back("redraw"); }
    void DrawRecordedScan() override { ++drawn; }
    int drawn = 0;

private:
    Log* m_log;
};

class CountingFrame : public ChildWindow {
public:
    BOOL PostMessage(UINT msg, WPARAM, LPARAM) override {
        if (msg == WM_RECORD_END) ++recordEnds;
        return TRUE;
    }
    int recordEnds = 0;
};

ScanData Scan(WORD first) {
    ScanData scan;
    scan.SetStep(0, first);
    return scan;
}

std::string ItemText(HWND dialog, int id) {
    char text[64] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

class RecordDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GE(LanguageResource().Enumerate(GetModuleHandleA(NULL)), 1);
        m_dialog.SetApplication(&m_application);
        m_dialog.SetMainFrame(&m_frame);
        m_dialog.SetDevicePort(&m_port);
        m_dialog.SetScanView(&m_view);
        m_dialog.SetMeasuringData(&m_data);
    }
    // Opens the dialog and runs the script inside it; true when it ended by itself.
    bool Run(const std::function<void(HWND)>& script) {
        return ModalDriver::Run(m_dialog, script, [this] { m_dialog.Create(GetModuleHandleA(NULL), NULL); });
    }
    static void Start(HWND dialog, const char* count) {
        SetDlgItemTextA(dialog, IDC_RECORD_COUNT, count);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    }

    TestSettings m_file;
    Log m_log;
    LoggingHost m_application{&m_log};
    CountingFrame m_frame;
    LoggingPort m_port{&m_log};
    LoggingView m_view{&m_log};
    MeasuringData m_data;
    RecordDlg m_dialog;
};

}  // namespace

TEST_F(RecordDlgTest, Create_NeedsEveryCollaborator) {
    for (int missing = 0; missing < 5; ++missing) {
        RecordDlg dialog;
        if (missing != 0) dialog.SetApplication(&m_application);
        if (missing != 1) dialog.SetMainFrame(&m_frame);
        if (missing != 2) dialog.SetDevicePort(&m_port);
        if (missing != 3) dialog.SetScanView(&m_view);
        if (missing != 4) dialog.SetMeasuringData(&m_data);
        bool opened = false;
        ModalDriver::Run(dialog, [&](HWND hwnd) {
                             opened = true;
                             EndDialog(hwnd, 0);
                         },
                         [&] { EXPECT_EQ(NULL, dialog.Create(GetModuleHandleA(NULL), NULL)) << missing; });
        EXPECT_FALSE(opened) << missing;
    }
}

TEST_F(RecordDlgTest, Start_CountOutsideTheRangeIsCorrectedAndNothingStarts) {
    struct Case {
        const char* typed;
        const char* shown;
    } const kCases[] = {{"0", "1"}, {"", "1"}, {"20000", "10000"}, {"10001", "10000"}, {"99999999999", "10000"}};
    std::vector<std::string> shown;
    ASSERT_TRUE(Run([&](HWND dialog) {
        for (const Case& c : kCases) {
            Start(dialog, c.typed);
            shown.push_back(ItemText(dialog, IDC_RECORD_COUNT));
        }
        EndDialog(dialog, 0);
    }));
    for (size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(kCases[i].shown, shown[i]) << kCases[i].typed;
    EXPECT_TRUE(m_log.empty());
}

// The progress dialog exists before realtime is on, so a scan queued at
// once finds it; four scans show 25, 50 and 75 percent and the fourth ends.
TEST_F(RecordDlgTest, FourScansShowTheirProgressAndTheLastEndsTheDialog) {
    std::vector<int> bar;
    int recordingAfterStart = 0;
    ASSERT_TRUE(Run([&](HWND dialog) {
        CheckRadioButton(dialog, IDC_RECORD_DISTANCE2, IDC_RECORD_ASIC_MEMORY, IDC_RECORD_ASIC_MEMORY);
        Start(dialog, "4");
        recordingAfterStart = m_dialog.IsRecording();
        for (WORD i = 1; i <= 3; ++i) {
            m_dialog.OnScan(Scan(i));
            bar.push_back(m_application.BarPos());
        }
        m_dialog.OnScan(Scan(4));
    }));
    EXPECT_EQ(1, recordingAfterStart);
    EXPECT_EQ((std::vector<int>{25, 50, 75}), bar);
    EXPECT_EQ((Log{"redraw", "progress", "realtime on", "realtime off", "progress end"}), m_log);
    EXPECT_EQ(1, m_frame.recordEnds);
    ASSERT_EQ(4u, m_data.Count());
    EXPECT_EQ(4, m_data.GetAt(3)->GetStep(0));
    EXPECT_EQ(MeasuringData::kFormatAsicMemory, m_data.GetSaveFormat());
    EXPECT_EQ(4, m_view.drawn);
    EXPECT_EQ(0, m_dialog.IsRecording());
}

// A second Start would clear the scans and count realtime "on" twice.
TEST_F(RecordDlgTest, StartWhileRecordingIsIgnoredAndDestroyEndsRealtimeAndProgress) {
    ASSERT_TRUE(Run([&](HWND dialog) {
        Start(dialog, "5");
        m_dialog.OnScan(Scan(1));
        Start(dialog, "3");
        m_dialog.OnScan(Scan(2));
        EXPECT_TRUE(m_dialog.Destroy());
    }));
    EXPECT_EQ((Log{"redraw", "progress", "realtime on", "realtime off", "progress end"}), m_log);
    EXPECT_EQ(2u, m_data.Count());
    EXPECT_EQ(0, m_frame.recordEnds);
    EXPECT_FALSE(m_dialog.Destroy());
}

TEST_F(RecordDlgTest, CancelInTheProgressDialogEndsRecordingOnce) {
    ASSERT_TRUE(Run([&](HWND dialog) {
        Start(dialog, "10");
        m_dialog.OnScan(Scan(1));
        PostMessageA(m_application.progress->GetHwnd(), WM_COMMAND, IDCANCEL, 0);
    }));
    EXPECT_EQ((Log{"redraw", "progress", "realtime on", "realtime off", "progress end"}), m_log);
    EXPECT_EQ(1, m_frame.recordEnds);
    EXPECT_EQ(1u, m_data.Count());
}

TEST_F(RecordDlgTest, ScansOutsideARecordingAreDropped) {
    m_dialog.OnScan(Scan(1));
    ASSERT_TRUE(Run([&](HWND dialog) {
        m_dialog.OnScan(Scan(2));
        EndDialog(dialog, 0);
    }));
    EXPECT_EQ(0u, m_data.Count());
    EXPECT_EQ(0, m_view.drawn);
}

TEST_F(RecordDlgTest, ReopeningShowsTheLastNumberAndDistanceChecked) {
    ASSERT_TRUE(Run([&](HWND dialog) {
        CheckRadioButton(dialog, IDC_RECORD_DISTANCE2, IDC_RECORD_ASIC_MEMORY, IDC_RECORD_DISTANCE2);
        Start(dialog, "2");
        m_dialog.OnScan(Scan(1));
        m_dialog.OnScan(Scan(2));
    }));
    EXPECT_EQ(MeasuringData::kFormatDistance2, m_data.GetSaveFormat());
    std::string count;
    UINT distance = 0;
    ASSERT_TRUE(Run([&](HWND dialog) {
        count = ItemText(dialog, IDC_RECORD_COUNT);
        distance = IsDlgButtonChecked(dialog, IDC_RECORD_DISTANCE);
        EndDialog(dialog, 0);
    }));
    EXPECT_EQ("2", count);
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), distance);
}
