#include "dialogs/ComMonitorDlg.h"

#include <richedit.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/DialogMessages.h"
#include "protocol/DevicePort.h"
#include "resources/DevelopDialogIds.h"
#include "sensor/SensorCaps.h"
#include "tests/dialogs/NoActivation.h"
#include "tests/dialogs/OwnedDialogFixture.h"
#include "tests/protocol/FrameBytes.h"

namespace {

// A device port that records the monitor switch.
class MonitorPort : public DevicePort {
public:
    int SetMonitor(DWORD on) override {
        switches.push_back(on);
        return 0;
    }
    std::vector<DWORD> switches;
};

class ComMonitorDlgTest : public OwnedDialogFixture<ComMonitorDlg, MonitorPort> {
protected:
    void SetUp() override {
        OwnedDialogFixture::SetUp();
        m_caps.SetModel(0x1234);  // any code given is kept as 0: messages are decoded
        m_dlg.SetSensorCaps(&m_caps);
    }
    void Click(int id) {
        HWND control = GetDlgItem(m_dlg.GetHwnd(), id);
        SendMessageA(control, BM_CLICK, 0, 0);
    }
    void Log(int direction, const std::string& message) {
        m_dlg.LogFrame(direction, std::make_unique<std::string>(message));
    }
    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    HWND LogWindow() { return GetDlgItem(m_dlg.GetHwnd(), IDC_MONITOR_LOG); }
    // The log's text with its line ends as single LFs.
    std::string Text() {
        HWND log = LogWindow();
        std::string text(GetWindowTextLengthA(log) + 1, '\0');
        text.resize(GetWindowTextA(log, &text[0], static_cast<int>(text.size())));
        std::string lines;
        for (char c : text) {
            if (c != '\r') lines += c;
        }
        return lines;
    }
    COLORREF ColourOfLine(int line) {
        const LONG position = static_cast<LONG>(SendMessageA(LogWindow(), EM_LINEINDEX, line, 0));
        CHARRANGE one = {position, position + 1};
        SendMessageA(LogWindow(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
        CHARFORMATA format = {};
        format.cbSize = sizeof format;
        SendMessageA(LogWindow(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format.crTextColor;
    }

    NoActivation m_noActivation;
    SensorCaps m_caps;
};

}  // namespace

TEST_F(ComMonitorDlgTest, OpensWithBothLinksAndEveryUsedBoxChecked) {
    m_dlg.Reset();
    m_dlg.SetDevicePort(&m_port);
    EXPECT_EQ(Open(), (HWND)NULL);  // no sensor capabilities
    m_dlg.SetSensorCaps(&m_caps);
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(Open(), (HWND)NULL);
    for (int k = 0; k < MonitorDecoder::kCommands; ++k) {
        for (int sub = 0; sub < MonitorDecoder::kSubCommands; ++sub) {
            HWND box = GetDlgItem(dialog, IDC_MONITOR_FILTER_FIRST + 3 * k + sub);
            ASSERT_NE(box, (HWND)NULL) << k << " " << sub;
            const bool used = MonitorDecoder::IsBoxUsed(k, sub);
            EXPECT_EQ(IsWindowEnabled(box) != FALSE, used) << k << " " << sub;
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_MONITOR_FILTER_FIRST + 3 * k + sub), used ? 1u : 0u);
        }
    }
    const int directions[] = {IDC_MONITOR_TRANSMIT, IDC_MONITOR_RECEIVE, IDC_MONITOR_UNDEFINED};
    for (int id : directions) EXPECT_EQ(IsDlgButtonChecked(dialog, id), 1u) << id;

    Click(IDC_MONITOR_CLEAR_ALL);
    for (int id = IDC_MONITOR_FILTER_FIRST; id <= IDC_MONITOR_UNDEFINED; ++id) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, id), 0u) << id;
    }
    Click(IDC_MONITOR_CHECK_ALL);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_MONITOR_UNDEFINED), 1u);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_MONITOR_FILTER_FIRST + 2), 0u);  // Link Commit stays disabled
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_MONITOR_FILTER_LAST - 1), 1u);   // FirmwareUpdate Set
}

TEST_F(ComMonitorDlgTest, LinesAppearInOrderInTheirColours) {
    ASSERT_NE(Open(), (HWND)NULL);
    Log(0, WithCrc(Bytes({0xA0, 'i'})));
    Log(1, WithCrc(Bytes({0xA0, 'Z', 4})));
    Log(1, WithCrc(Bytes({0xA3, 'i', 0x00, 0x01, 0xFF, 0x00})));
    Log(1, WithCrc(Bytes({0xB2, 'i'})));
    EXPECT_EQ(Text(), "");  // queued until the flush
    Pump();
    const std::string expected =
        "T : Link Get\n"
        "R : Link Set level: ???\n"
        "R : RAM Get address:0100 value:00ff\n"
        "R : ???\n";
    ASSERT_EQ(Text(), expected);
    EXPECT_EQ(ColourOfLine(0), 0x00C000u);
    EXPECT_EQ(ColourOfLine(1), 0x0000C0u);
    EXPECT_EQ(ColourOfLine(2), 0xC00000u);
    EXPECT_EQ(ColourOfLine(3), 0x0000C0u);
}

TEST_F(ComMonitorDlgTest, BoxesAreReadWhenAFrameIsLogged) {
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    const std::string ramGet = WithCrc(Bytes({0xA3, 'i', 0x00, 0x01}));
    Click(IDC_MONITOR_FILTER_FIRST + 3 * 3);  // RAM Get off
    Log(0, ramGet);
    Log(0, WithCrc(Bytes({0xA3, 'i'})));
    Click(IDC_MONITOR_FILTER_FIRST + 3 * 3);
    Click(IDC_MONITOR_TRANSMIT);
    Log(0, ramGet);
    Log(1, ramGet);
    Pump();
    EXPECT_EQ(Text(), "R : RAM Get ???\n");
}

TEST_F(ComMonitorDlgTest, FramesAreTakenByLengthAndKeptWithoutAWindow) {
    const std::string withZeros("\xA4\x69\x00\x00\x01", 5);
    Log(1, withZeros);  // not open: counted, not shown
    EXPECT_EQ(m_dlg.FrameCount(), 1u);
    EXPECT_EQ(m_dlg.LastFrame(), withZeros);
    EXPECT_EQ(m_dlg.LogFrame(1, NULL), 1);
}

TEST_F(ComMonitorDlgTest, ABurstIsInsertedByOneFlush) {
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    Pump();
    for (int i = 0; i < 100; ++i) Log(0, WithCrc(Bytes({0xA0, 'i'})));
    MSG msg;
    int flushes = 0;
    while (PeekMessageA(&msg, dialog, WM_MONITOR_FLUSH, WM_MONITOR_FLUSH, PM_REMOVE)) {
        ++flushes;
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(flushes, 1);
    EXPECT_EQ(SendMessageA(LogWindow(), EM_GETLINECOUNT, 0, 0), 101);  // and the empty last line
}

TEST_F(ComMonitorDlgTest, ALongRunIsTrimmedAtLineStartsAndShowsTheNewestLine) {
    ASSERT_NE(Open(), (HWND)NULL);
    // Realtime scans of 769 steps, about 2.3 kB of text each; step 0 numbers them.
    std::string reply = Bytes({0xA2, 'i'});
    for (int i = 0; i < 769; ++i) reply += Bytes({0x00, 0x01});
    for (int n = 1; n <= 400; ++n) {
        reply[2] = static_cast<char>(n & 0xFF);
        reply[3] = static_cast<char>(n >> 8);
        Log(1, WithCrc(reply));
        if (n % 25 == 0) Pump();
    }
    Pump();
    const std::string text = Text();
    EXPECT_LE(static_cast<size_t>(GetWindowTextLengthA(LogWindow())), ComMonitorDlg::kTrimAboveChars);
    EXPECT_GE(static_cast<size_t>(GetWindowTextLengthA(LogWindow())), ComMonitorDlg::kKeptChars / 2);
    EXPECT_EQ(text.compare(0, 22, "R : Distance Get dist:"), 0) << text.substr(0, 40);
    const size_t last = text.rfind("R : ");
    EXPECT_EQ(text.compare(last, 27, "R : Distance Get dist: 400 "), 0) << text.substr(last, 40);

    Click(IDC_MONITOR_ERASE);
    EXPECT_EQ(GetWindowTextLengthA(LogWindow()), 0);
}

TEST_F(ComMonitorDlgTest, MonitorButtonSwitchesTheEchoAndClosingEndsIt) {
    ASSERT_NE(Open(), (HWND)NULL);
    Click(IDC_MONITOR_MONITOR);
    Click(IDC_MONITOR_MONITOR);
    Click(IDC_MONITOR_MONITOR);
    m_dlg.Destroy();
    const std::vector<DWORD> expected = {1, 0, 1, 0};
    EXPECT_EQ(m_port.switches, expected);
}

TEST_F(ComMonitorDlgTest, TheLogFollowsTheDialogsSize) {
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    RECT before;
    GetWindowRect(LogWindow(), &before);
    SetWindowPos(dialog, NULL, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    RECT client, log;
    GetClientRect(dialog, &client);
    GetWindowRect(LogWindow(), &log);
    MapWindowPoints(NULL, dialog, reinterpret_cast<POINT*>(&log), 2);
    EXPECT_EQ(log.right, client.right - 4);
    EXPECT_EQ(log.bottom, client.bottom - 4);
    MapWindowPoints(NULL, dialog, reinterpret_cast<POINT*>(&before), 2);
    EXPECT_EQ(log.left, before.left);
    EXPECT_EQ(log.top, before.top);
}

namespace {

// Whether the log's vertical scroll bar waits to be painted: from each time
// drawing resumes (WM_SETREDRAW) to a WM_NCPAINT whose region holds the bar
// (1 for the whole frame; else the region in screen coordinates).
WNDPROC g_logProc = NULL;
bool g_barUnpainted = false;

LRESULT CALLBACK WatchFrame(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SETREDRAW && wParam) g_barUnpainted = true;
    if (msg == WM_NCPAINT) {
        SCROLLBARINFO bar = {};
        bar.cbSize = sizeof bar;
        GetScrollBarInfo(hwnd, OBJID_VSCROLL, &bar);
        if (wParam == 1 || RectInRegion(reinterpret_cast<HRGN>(wParam), &bar.rcScrollBar)) g_barUnpainted = false;
    }
    return CallWindowProcA(g_logProc, hwnd, msg, wParam, lParam);
}

}  // namespace

// Scroll bars that a flush brings are drawn once the log draws again, or
// the text that lay where they show stays on the screen.
TEST_F(ComMonitorDlgTest, ScrollBarsAFlushBringsArePainted) {
    ASSERT_NE(Open(), (HWND)NULL);
    Pump();
    ASSERT_EQ(GetWindowLongA(LogWindow(), GWL_STYLE) & WS_VSCROLL, 0) << "no bar while the log is empty";
    g_logProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(LogWindow(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchFrame)));
    std::string scan = Bytes({0xA2, 'i'});
    for (int i = 0; i < 769; ++i) scan += Bytes({0xDC, 0x05});  // 1500 mm
    for (int n = 0; n < 60; ++n) Log(1, WithCrc(scan));
    Pump();
    SetWindowLongPtrA(LogWindow(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_logProc));
    ASSERT_NE(GetWindowLongA(LogWindow(), GWL_STYLE) & WS_VSCROLL, 0) << "the lines need the bar";
    EXPECT_FALSE(g_barUnpainted);
}

namespace {

// The device side's road to the monitor: a frame's handler on the
// user-interface thread, reached by SendMessage from a device thread.
ComMonitorDlg* g_feedTarget = nullptr;
const UINT WM_FEED = WM_USER + 35;

LRESULT CALLBACK FeedProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_FEED) {
        g_feedTarget->LogFrame(static_cast<DWORD>(wParam),
                               std::make_unique<std::string>(*reinterpret_cast<const std::string*>(lParam)));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

struct Burst {
    HWND feed;
    HWND dialog;
    int frames;
    volatile LONG done;
    int unanswered;  // probes of the dialog that timed out

    static DWORD WINAPI Feed(LPVOID p) {
        Burst* burst = static_cast<Burst*>(p);
        std::string request = WithCrc(Bytes({0xA2, 'i'}));
        std::string reply = Bytes({0xA2, 'i'});
        for (int i = 0; i < 769; ++i) reply += Bytes({i & 0xFF, i >> 8});
        reply = WithCrc(reply);
        for (int n = 0; n < burst->frames; ++n) {
            SendMessageA(burst->feed, WM_FEED, 0, reinterpret_cast<LPARAM>(&request));
            SendMessageA(burst->feed, WM_FEED, 1, reinterpret_cast<LPARAM>(&reply));
        }
        InterlockedExchange(&burst->done, 1);
        return 0;
    }
    static DWORD WINAPI Probe(LPVOID p) {
        Burst* burst = static_cast<Burst*>(p);
        while (InterlockedCompareExchange(&burst->done, 0, 0) == 0) {
            DWORD_PTR result;
            if (!SendMessageTimeoutA(burst->dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result)) ++burst->unanswered;
            Sleep(20);  // a user's pace, not a wait for the result
        }
        return 0;
    }
};

}  // namespace

TEST_F(ComMonitorDlgTest, ARealtimeBurstFromADeviceThreadLeavesTheDialogResponsive) {
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    m_caps.SetModel(0);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FeedProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "MonitorFeed";
    RegisterClassA(&wc);
    HWND feed = CreateWindowExA(0, "MonitorFeed", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, wc.hInstance, NULL);
    ASSERT_NE(feed, (HWND)NULL);
    g_feedTarget = &m_dlg;

    Burst burst = {feed, dialog, 150, 0, 0};
    HANDLE threads[2] = {CreateThread(NULL, 0, &Burst::Feed, &burst, 0, NULL),
                         CreateThread(NULL, 0, &Burst::Probe, &burst, 0, NULL)};
    // The feeder first, then the probe, which stops once the feeder is done;
    // both need this thread's messages handled while they run.
    DWORD waited = WAIT_OBJECT_0;
    const DWORD start = GetTickCount();
    for (HANDLE thread : threads) {
        do {
            Pump();
            waited = MsgWaitForMultipleObjects(1, &thread, FALSE, 100, QS_ALLINPUT);
        } while (waited != WAIT_OBJECT_0 && GetTickCount() - start < 90000);
    }
    CloseHandle(threads[0]);
    CloseHandle(threads[1]);
    Pump();
    DestroyWindow(feed);
    UnregisterClassA("MonitorFeed", wc.hInstance);
    ASSERT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_EQ(burst.unanswered, 0);
    EXPECT_EQ(m_dlg.FrameCount(), 300u);
    const std::string text = Text();
    EXPECT_EQ(text.compare(text.size() - 9, 9, " 767 768\n"), 0);
    EXPECT_LE(static_cast<size_t>(GetWindowTextLengthA(LogWindow())), ComMonitorDlg::kTrimAboveChars);
}
