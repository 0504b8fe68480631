#include "dialogs/PlayBackDlg.h"

#include "framework/LanguageResource.h"
#include "protocol/DeviceMessages.h"
#include "resources/resource.h"
#include "sensor/MeasuringData.h"
#include "tests/dialogs/ModalDriver.h"
#include "tests/framework/TestOwnerWindow.h"
#include "tests/framework/TestSettings.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The frame's stand-in: records each scan posted to it by its first step.
class ScanOwner : public TestOwnerWindow {
public:
    ScanOwner() { AddMessageHandler(WM_DEVICE_SCAN, Handler(&ScanOwner::OnScan)); }
    LRESULT OnScan(WPARAM wParam, LPARAM) {
        firsts.push_back(reinterpret_cast<const ScanData*>(wParam)->GetStep(0));
        return 0;
    }
    std::vector<int> firsts;
};

// What the dialog shows, read in one go.
struct Shown {
    std::string counter;
    LRESULT pos;
    BOOL play, pause, stop;

    static Shown Of(HWND dialog) {
        char text[32] = "";
        GetDlgItemTextA(dialog, IDC_PLAY_BACK_COUNTER, text, sizeof text);
        return Shown{text, SendDlgItemMessageA(dialog, IDC_PLAY_BACK_SLIDER, TBM_GETPOS, 0, 0),
                     IsWindowEnabled(GetDlgItem(dialog, IDC_PLAY_BACK_PLAY)),
                     IsWindowEnabled(GetDlgItem(dialog, IDC_PLAY_BACK_PAUSE)),
                     IsWindowEnabled(GetDlgItem(dialog, IDC_PLAY_BACK_STOP))};
    }
};

class PlayBackDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GE(LanguageResource().Enumerate(GetModuleHandleA(NULL)), 1);
        ASSERT_NE(static_cast<HWND>(NULL), m_owner.CreateTest(200, 100));
        m_dialog.SetMeasuringData(&m_data);
    }
    // Scans whose first step counts 1, 2, ...
    void Record(int count) {
        m_data.Clear();
        for (int i = 1; i <= count; ++i) {
            ScanData scan;
            scan.SetStep(0, static_cast<WORD>(i));
            m_data.Append(scan);
        }
    }
    bool Run(const std::function<void(HWND)>& script) {
        return ModalDriver::Run(m_dialog, script,
                                [this] { m_dialog.Create(GetModuleHandleA(NULL), m_owner.GetHwnd()); });
    }
    static void Press(HWND dialog, WORD id) { SendMessageA(dialog, WM_COMMAND, id, 0); }
    static void Tick(HWND dialog) { SendMessageA(dialog, WM_TIMER, PlayBackDlg::kTimerId, 0); }
    // The posted scans arrive.
    std::vector<int> Posted() {
        TestOwnerWindow::Pump();
        std::vector<int> firsts;
        firsts.swap(m_owner.firsts);
        return firsts;
    }

    TestSettings m_file;
    ScanOwner m_owner;
    MeasuringData m_data;
    PlayBackDlg m_dialog;
};

}  // namespace

TEST_F(PlayBackDlgTest, Create_WithoutDataOpensNothing) {
    PlayBackDlg dialog;
    EXPECT_EQ(NULL, dialog.Create(GetModuleHandleA(NULL), m_owner.GetHwnd()));
}

TEST_F(PlayBackDlgTest, OneScan_PlayShowsItAndTheFirstTickStops) {
    Record(1);
    Shown opened{}, playing{}, ticked{};
    LRESULT max = -1, page = -1;
    ASSERT_TRUE(Run([&](HWND dialog) {
        max = SendDlgItemMessageA(dialog, IDC_PLAY_BACK_SLIDER, TBM_GETRANGEMAX, 0, 0);
        page = SendDlgItemMessageA(dialog, IDC_PLAY_BACK_SLIDER, TBM_GETPAGESIZE, 0, 0);
        opened = Shown::Of(dialog);
        Press(dialog, IDC_PLAY_BACK_PLAY);
        playing = Shown::Of(dialog);
        Tick(dialog);
        ticked = Shown::Of(dialog);
        EndDialog(dialog, 0);
    }));
    EXPECT_EQ(0, max);
    EXPECT_EQ(0, page);
    EXPECT_EQ("1/1", opened.counter);
    EXPECT_TRUE(opened.play && !opened.pause && !opened.stop);
    EXPECT_TRUE(!playing.play && playing.pause && playing.stop);
    EXPECT_EQ("1/1", ticked.counter);
    EXPECT_TRUE(ticked.play && !ticked.pause && !ticked.stop);
    EXPECT_EQ(PlayBackDlg::kStopped, m_dialog.GetState());
    EXPECT_EQ((std::vector<int>{1, 1, 1}), Posted());  // opening, Play, the tick
}

TEST_F(PlayBackDlgTest, PauseThenPlayGoesOnWithTheNextScan) {
    Record(25);
    std::vector<int> posted;
    Shown paused{}, last{};
    LRESULT page = -1;
    ASSERT_TRUE(Run([&](HWND dialog) {
        page = SendDlgItemMessageA(dialog, IDC_PLAY_BACK_SLIDER, TBM_GETPAGESIZE, 0, 0);
        Press(dialog, IDC_PLAY_BACK_PLAY);
        Tick(dialog);
        Press(dialog, IDC_PLAY_BACK_PAUSE);
        paused = Shown::Of(dialog);
        Press(dialog, IDC_PLAY_BACK_PLAY);
        Tick(dialog);
        last = Shown::Of(dialog);
        posted = Posted();
        Press(dialog, IDC_PLAY_BACK_STOP);
        EndDialog(dialog, 0);
    }));
    EXPECT_EQ(2, page);
    EXPECT_EQ((std::vector<int>{1, 1, 2, 2, 3}), posted);
    EXPECT_EQ("2/25", paused.counter);
    EXPECT_TRUE(paused.play && !paused.pause && paused.stop);
    EXPECT_EQ("3/25", last.counter);
    EXPECT_EQ(2, last.pos);
    EXPECT_EQ(0u, m_dialog.GetIndex());
}

// The thumb value of a scroll message has 16 bits: the slider's own position
// is what counts, and each move posts one scan.
TEST_F(PlayBackDlgTest, SliderMovesPostOneScanEachFromTheSlidersPosition) {
    Record(10);
    std::vector<int> posted;
    std::string counter;
    ASSERT_TRUE(Run([&](HWND dialog) {
        Posted();
        HWND slider = GetDlgItem(dialog, IDC_PLAY_BACK_SLIDER);
        const WORD codes[] = {TB_THUMBTRACK, TB_THUMBPOSITION, TB_LINEDOWN};
        const int positions[] = {4, 7, 8};
        for (int i = 0; i < 3; ++i) {
            SendMessageA(slider, TBM_SETPOS, TRUE, positions[i]);
            SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(codes[i], 0xFFFF), reinterpret_cast<LPARAM>(slider));
        }
        counter = Shown::Of(dialog).counter;
        posted = Posted();
        EndDialog(dialog, 0);
    }));
    EXPECT_EQ((std::vector<int>{5, 8, 9}), posted);
    EXPECT_EQ("9/10", counter);
}

TEST_F(PlayBackDlgTest, TheLastScanStopsAtTheFirstAgain) {
    Record(3);
    Shown end{};
    ASSERT_TRUE(Run([&](HWND dialog) {
        Press(dialog, IDC_PLAY_BACK_PLAY);
        for (int i = 0; i < 3; ++i) Tick(dialog);
        end = Shown::Of(dialog);
        EndDialog(dialog, 0);
    }));
    EXPECT_EQ("1/3", end.counter);
    EXPECT_EQ(0, end.pos);
    EXPECT_TRUE(end.play && !end.pause && !end.stop);
    EXPECT_EQ((std::vector<int>{1, 1, 2, 3, 1}), Posted());
}

// The real timer: the model's interval drives the scans to the end.
TEST_F(PlayBackDlgTest, PlayRunsThroughTheDataOnItsTimer) {
    Record(4);
    bool stopped = false;
    ASSERT_TRUE(Run([&](HWND dialog) {
        Press(dialog, IDC_PLAY_BACK_PLAY);
        stopped = ModalDriver::PumpUntil([&] { return m_dialog.GetState() == PlayBackDlg::kStopped; });
        EndDialog(dialog, 0);
    }));
    EXPECT_TRUE(stopped);
    EXPECT_EQ((std::vector<int>{1, 1, 2, 3, 4, 1}), m_owner.firsts);
}

// Closed while playing at scan 5 of 6; the data then shrinks to 2 scans. The
// next opening starts at the first scan, paused, with Play available.
TEST_F(PlayBackDlgTest, ReopeningClampsTheIndexAndAStalePlayIsPaused) {
    Record(6);
    ASSERT_TRUE(Run([&](HWND dialog) {
        Press(dialog, IDC_PLAY_BACK_PLAY);
        for (int i = 0; i < 4; ++i) Tick(dialog);
        EndDialog(dialog, 0);
    }));
    EXPECT_EQ(4u, m_dialog.GetIndex());
    Record(2);
    Posted();
    Shown reopened{};
    ASSERT_TRUE(Run([&](HWND dialog) {
        reopened = Shown::Of(dialog);
        Press(dialog, IDCANCEL);
    }));
    EXPECT_EQ("1/2", reopened.counter);
    EXPECT_TRUE(reopened.play && !reopened.pause && reopened.stop);
    EXPECT_EQ(PlayBackDlg::kPaused, m_dialog.GetState());
    EXPECT_EQ((std::vector<int>{1}), Posted());
}
