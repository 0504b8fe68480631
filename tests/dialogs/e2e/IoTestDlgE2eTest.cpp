// The I/O test dialog against the sensor simulator: the lamps follow the
// simulated lines, the buttons' forcing reaches the sensor, and closing the
// dialog releases every line.
#include <gtest/gtest.h>

#include <functional>

#include "dialogs/IOTestDlg.h"
#include "framework/ChildWindow.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"
#include "resources/resource.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"
#include "tests/framework/TestSettings.h"
#include "tests/protocol/TestHost.h"
#include "tests/protocol/e2e/SimLog.h"

namespace {

const DWORD kTimeoutMs = 15000;

IOTestDlg* g_dialog = NULL;  // test thread only
int g_confirmedForces = 0;   // test thread only

// The frame's part: I/O reports go to the dialog, force outcomes are counted.
LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DEVICE_OUTPUT_STATE && g_dialog != NULL)
        g_dialog->ShowState(LOBYTE(wParam), LOBYTE(lParam), LOBYTE(HIWORD(lParam)));
    if (msg == WM_DEVICE_IO_FORCED && wParam == 1) ++g_confirmedForces;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The real device port with its notifications posted to the test's window.
class FramePort : public DevicePort {
public:
    HWND m_window = NULL;
    BOOL PostToFrame(UINT msg, WPARAM wParam, LPARAM lParam) override {
        return PostMessageA(m_window, msg, wParam, lParam);
    }
    LRESULT SendToFrame(UINT, WPARAM, LPARAM) override { return 0; }
};

// Handles this thread's messages until the condition holds; false after the time-out.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = kTimeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        // The simulator's log is another process's file: look again soon.
        MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
    }
}

// The forcing frames the sensor received ("RX") or sent ("TX"), as hex
// without the CRC; a resent frame counts once.
std::vector<std::string> IoFrames(const char* kind) {
    std::vector<std::string> frames;
    for (const std::string& line : SimLog::Lines(kind)) {
        if (line.compare(0, 4, "a85a") != 0 || line.size() < 8) continue;
        if (frames.empty() || frames.back() != line.substr(0, 8)) frames.push_back(line.substr(0, 8));
    }
    return frames;
}

class IoTestDlgE2e : public ::testing::Test {
protected:
    void SetUp() override {
        m_com = SimLog::ComPort();
        if (m_com == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
        WNDCLASSA wc = {};
        wc.lpfnWndProc = FrameProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "IoTestDlgE2eFrame";
        RegisterClassA(&wc);
        m_window = CreateWindowExA(0, wc.lpszClassName, "frame", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL,
                                   wc.hInstance, NULL);
        ASSERT_NE(m_window, (HWND)NULL);
        m_port.m_window = m_window;
        m_port.SetApplication(&m_application);
        m_port.SetFrame(&m_frame);
        m_port.SetWaveFormRecord(&m_waveForm);
        m_port.SetSensorCaps(&m_caps);
        ASSERT_EQ(m_port.CreateEvents(), 1);
        ASSERT_EQ(m_port.SelectDevice(0), 1);
        ASSERT_EQ(m_port.RequestOpen(m_com), 1);
        ASSERT_TRUE(PumpUntil([&] { return m_port.GetLinkLevel() == 1; }));
        m_dialog.SetSensorCaps(&m_caps);
        m_dialog.SetDevicePort(&m_port);
        g_dialog = &m_dialog;
        g_confirmedForces = 0;
    }
    void TearDown() override {
        m_dialog.Destroy();
        g_dialog = NULL;
        if (m_window != NULL) DestroyWindow(m_window);
    }
    HICON Lamp(int i) {
        return reinterpret_cast<HICON>(
            SendDlgItemMessageA(m_dialog.GetHwnd(), IDC_IO_LAMP_FIRST + i, STM_GETICON, 0, 0));
    }
    std::string Lamps() {
        std::string shown;
        for (int i = 0; i < IOTestDlg::kLines; ++i) shown += Lamp(i) == m_lit ? "1" : "0";
        return shown;
    }

    int m_com = 0;
    HWND m_window = NULL;
    HICON m_lit = NULL;
    TestSettings m_settings;
    SensorCaps m_caps;
    WaveFormRecord m_waveForm;
    TestHost m_application;
    ChildWindow m_frame;  // a stand-in: the port posts to m_window instead
    FramePort m_port;     // closed before its collaborators go
    IOTestDlg m_dialog;   // closed first
};

}  // namespace

TEST_F(IoTestDlgE2e, LampsFollowTheSensorAForceReachesItAndCloseReleases) {
    ASSERT_NE(m_dialog.Create(GetModuleHandleA(NULL), m_window), (HWND)NULL);
    m_lit = Lamp(0);  // every lamp starts lit
    // The simulator's sensor: version 5.1.3K, no PNP outputs.
    ASSERT_TRUE(PumpUntil([&] { return m_caps.GetLetter() == 'K'; }));
    ASSERT_EQ(m_caps.IsPnp(), 0);
    m_dialog.UpdateControls();  // as the frame does on the sensor's version
    // The inputs change by themselves: In1 and In3, then In2 and In4.
    ASSERT_TRUE(PumpUntil([&] { return Lamps() == "10100000"; })) << Lamps();
    ASSERT_TRUE(PumpUntil([&] { return Lamps() == "01010000"; })) << Lamps();

    // Out2: free -> forced off -> forced on, clicked before the sensor answers.
    const int out2 = IDC_IO_FORCE_FIRST + 5;
    SendDlgItemMessageA(m_dialog.GetHwnd(), out2, BM_CLICK, 0, 0);
    SendDlgItemMessageA(m_dialog.GetHwnd(), out2, BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return g_confirmedForces == 2; }));
    EXPECT_EQ(IoFrames("RX"), (std::vector<std::string>{"a85a2020", "a85a0020"}));
    // Polling shows the forced line lit over the changing inputs.
    ASSERT_TRUE(PumpUntil([&] { return Lamps() == "10100100"; })) << Lamps();
    ASSERT_TRUE(PumpUntil([&] { return Lamps() == "01010100"; })) << Lamps();

    // Closing releases every line, and the sensor takes the release.
    m_dialog.Destroy();
    ASSERT_TRUE(PumpUntil([&] { return g_confirmedForces == 3; }));
    EXPECT_EQ(IoFrames("RX").back(), "a85a0000");
    EXPECT_EQ(IoFrames("TX").back(), "a85a0000");
}
