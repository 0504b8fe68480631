// The waveform dialog on the real device port against the sensor simulator:
// a stand-in frame hands each waveform notification on as the main frame
// does. One frequency shows the simulator's values for that selector until
// a run is complete; "Both" alternates the selector, logs the pairs and
// saves the log at the end of a run. Closing the dialog ends the requests.
#include <gtest/gtest.h>

#include "dialogs/WaveFormDlg.h"
#include "framework/ChildWindow.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"
#include "resources/resource.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"
#include "tests/TestFiles.h"
#include "tests/framework/GridDriver.h"
#include "tests/protocol/TestHost.h"
#include "tests/protocol/e2e/SimLog.h"

#include <sstream>

namespace {

const DWORD kTimeoutMs = 30000;

template <class Done>
bool PumpUntil(Done done, HWND dialog) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= kTimeoutMs) return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
        PumpQueued(dialog);
    }
    return true;
}

size_t CountRx(const std::string& hexPrefix) {
    size_t n = 0;
    for (const std::string& line : SimLog::Lines("RX")) n += line.compare(0, hexPrefix.size(), hexPrefix) == 0;
    return n;
}

// The application with a save dialog that names the test's file.
class SavingHost : public TestHost {
public:
    BOOL SaveMeasurementFileDialog(char* buffer, DWORD size) override {
        lstrcpynA(buffer, path.c_str(), static_cast<int>(size));
        return TRUE;
    }
    std::string path;
};

// The main window as the waveform dialog needs it.
class FrameStandIn : public ChildWindow {
public:
    FrameStandIn(WaveFormDlg* dialog, DeviceHost* application) : m_dialog(dialog), m_application(application) {
        AddMessageHandler(WM_DEVICE_WAVE_FORM, Handler(&FrameStandIn::OnWaveForm));
    }
    HWND CreateStandIn() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &ChildWindow::WindowProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "WaveFormFrameStandIn";
        RegisterClassA(&wc);
        CREATESTRUCTA cs = {};
        cs.lpszClass = wc.lpszClassName;
        cs.style = WS_OVERLAPPED;
        cs.cx = cs.cy = 100;
        cs.hInstance = wc.hInstance;
        return Create(&cs);
    }
    LRESULT OnWaveForm(WPARAM, LPARAM) {
        ++reports;
        if (m_application->GetWaveFormBoth() != 0)
            m_dialog->ShowStatistics();
        else
            m_dialog->ShowWaveForm();
        return 0;
    }
    int reports = 0;

private:
    WaveFormDlg* m_dialog;
    DeviceHost* m_application;
};

class WaveFormDlgE2e : public ::testing::Test {
protected:
    WaveFormDlgE2e() : m_frame(&m_dialog, &m_application) {}

    void SetUp() override {
        m_com = SimLog::ComPort();
        if (m_com == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
        HWND frame = m_frame.CreateStandIn();
        ASSERT_NE(frame, (HWND)NULL);
        m_caps.SetModel(0);
        m_port.SetApplication(&m_application);
        m_port.SetFrame(&m_frame);
        m_port.SetWaveFormRecord(&m_record);
        m_port.SetSensorCaps(&m_caps);
        ASSERT_EQ(m_port.CreateEvents(), 1);
        ASSERT_EQ(m_port.SelectDevice(0), 1);
        ASSERT_EQ(m_port.RequestOpen(m_com), 1);
        ASSERT_TRUE(PumpUntil([this] { return m_port.GetLinkLevel() == 1; }, NULL));
        m_dialog.SetDevicePort(&m_port);
        m_dialog.SetWaveFormRecord(&m_record);
        m_dialog.SetSensorCaps(&m_caps);
        m_dialog.SetApplication(&m_application);
        m_hwnd = m_dialog.Create(GetModuleHandleA(NULL), frame);
        ASSERT_NE(m_hwnd, (HWND)NULL);
        SetDlgItemTextA(m_hwnd, IDC_WAVE_STEP, "700");
        Click(IDC_WAVE_SET);
    }
    void TearDown() override {
        m_dialog.Destroy();
        m_dialog.Reset();
    }
    void Click(int id) { SendMessageA(GetDlgItem(m_hwnd, id), BM_CLICK, 0, 0); }
    bool RunUntilStopped() {
        return PumpUntil([this] { return m_dialog.IsStopped() != 0; }, m_hwnd);
    }
    std::string Line(int column, int index) {
        std::istringstream lines(m_dialog.GetShownText(column));
        std::string line;
        for (int i = 0; i <= index; ++i) std::getline(lines, line);
        return line;
    }
    // After the dialog closed, the link's keep-alive goes on but no waveform
    // request follows.
    void ExpectNoRequestAfterClose() {
        m_dialog.Destroy();
        const size_t requests = CountRx("a969");
        EXPECT_TRUE(SimLog::WaitForCount("RX", SimLog::Lines("RX").size() + 2, kTimeoutMs));
        EXPECT_EQ(CountRx("a969"), requests);
    }

    int m_com = 0;
    HWND m_hwnd = NULL;
    SensorCaps m_caps;
    WaveFormRecord m_record;
    SavingHost m_application;
    WaveFormDlg m_dialog;
    FrameStandIn m_frame;
    DevicePort m_port;  // last: closed before its collaborators go
};

}  // namespace

// The simulator reports level 600 + 100 s and AGC 300 + 200 s for selector s,
// the distance of its scene (2200 mm at step 700) and peak bytes 3.
TEST_F(WaveFormDlgE2e, EachFrequencyShowsItsOwnReportsUntilARunIsComplete) {
    ASSERT_TRUE(RunUntilStopped());
    EXPECT_EQ(CountRx("a969bc82") > 0, true);  // step 700, selector 1
    EXPECT_EQ(Line(0, 0), "Distance  2200mm");
    EXPECT_EQ(Line(0, 5), "Level   214mV(  700)");
    EXPECT_EQ(Line(0, 10), "AGC  1611mV( 500)");
    EXPECT_EQ(Line(0, 15), "FMAX:  3  FMIN:  1");
    EXPECT_EQ(Line(0, 16), "BMAX:  3  BMIN:  2");

    Click(IDC_WAVE_F0);
    Click(IDC_WAVE_START);
    ASSERT_TRUE(RunUntilStopped());
    EXPECT_GT(CountRx("a969bc02"), 0u);
    EXPECT_EQ(Line(0, 5), "Level   195mV(  600)");
    EXPECT_EQ(Line(0, 7), "Max   195mV(  600)");
    EXPECT_EQ(Line(0, 10), "AGC   966mV( 300)");
    ExpectNoRequestAfterClose();
}

TEST_F(WaveFormDlgE2e, BothAlternatesTheSelectorAndSavesThePairsAtTheEndOfARun) {
    TestFolder folder;
    m_application.path = folder.Path("both.csv");
    Click(IDC_WAVE_BOTH);
    Click(IDC_WAVE_START);
    const int before = m_frame.reports;
    ASSERT_TRUE(RunUntilStopped());
    EXPECT_GE(m_frame.reports - before, 61);
    EXPECT_EQ(Line(0, 5), "Level   195mV(  600)");
    EXPECT_EQ(Line(1, 5), "Level   214mV(  700)");

    const std::string saved = ReadBytes(m_application.path);
    const std::string header = WaveFormLog::kHeader;
    const std::string pair = "\n 2200,  600, 300,  3,  3, 2200,  700, 500,  3,  3";
    ASSERT_EQ(saved.compare(0, header.size(), header), 0) << saved;
    const size_t lines = (saved.size() - header.size()) / pair.size();
    EXPECT_EQ(header.size() + lines * pair.size(), saved.size());
    // A pair is any two counted reports and the selector need not alternate
    // strictly on the line, so one channel may complete its run of 31 a few
    // pairs early.
    EXPECT_GE(lines, 20u);
    EXPECT_LE(lines, 31u);
    EXPECT_EQ(saved.substr(saved.size() - pair.size()), pair);
    // The saved log started afresh; the pair that the last report completed
    // may stand in it.
    EXPECT_LE(m_dialog.GetLog().GetText().size(), pair.size());
    ExpectNoRequestAfterClose();
}
