// The waveform dialog on the real device port against the sensor simulator:
// the simulated sensor's frame hands each waveform notification on as the
// main frame does. One frequency shows the simulator's values for that
// selector until a run is complete; "Both" alternates the selector, logs the
// pairs and saves the log at the end of a run. Closing the dialog ends the
// requests, also when it closed before the sensor was found.
#include <gtest/gtest.h>

#include "dialogs/WaveFormDlg.h"
#include "resources/resource.h"
#include "tests/TestFiles.h"
#include "tests/dialogs/NoActivation.h"
#include "tests/dialogs/e2e/SimulatedSensor.h"
#include "tests/framework/TestSettings.h"
#include "tests/protocol/e2e/SimLog.h"

#include <sstream>

namespace {

const DWORD kTimeoutMs = 30000;

size_t CountRx(const std::string& hexPrefix) {
    size_t n = 0;
    for (const std::string& line : SimLog::Lines("RX")) n += line.compare(0, hexPrefix.size(), hexPrefix) == 0;
    return n;
}

class WaveFormDlgE2e : public ::testing::Test {
protected:
    void SetUp() override {
        const int com = SimLog::ComPort();
        if (com == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
        ASSERT_TRUE(m_sensor.Connect(com, kTimeoutMs));
        m_sensor.Caps().SetModel(0);
        m_sensor.ForwardWaveFormTo(&m_dialog);
        m_dialog.SetDevicePort(&m_sensor.Port());
        m_dialog.SetWaveFormRecord(&m_sensor.WaveForm());
        m_dialog.SetSensorCaps(&m_sensor.Caps());
        m_dialog.SetApplication(&m_sensor.Application());
        m_hwnd = m_dialog.Create(GetModuleHandleA(NULL), m_sensor.Window());
        ASSERT_NE(m_hwnd, (HWND)NULL);
        // Out of the way of the other end-to-end tests that read the screen.
        SetWindowPos(m_hwnd, NULL, 900, 700, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetDlgItemTextA(m_hwnd, IDC_WAVE_STEP, "700");
        Click(IDC_WAVE_SET);
    }
    void TearDown() override {
        m_sensor.ForwardWaveFormTo(NULL);
        m_dialog.Destroy();
    }
    void Click(int id) { SendMessageA(GetDlgItem(m_hwnd, id), BM_CLICK, 0, 0); }
    bool RunUntilStopped() {
        return PumpUntil([this] { return m_dialog.IsStopped() != 0; }, kTimeoutMs);
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

    NoActivation m_noActivation;
    TestSettings m_settings;
    SimulatedSensor m_sensor;
    HWND m_hwnd = NULL;
    WaveFormDlg m_dialog;  // last: closed before the sensor goes
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
    m_sensor.Application().savePath = folder.Path("both.csv");
    Click(IDC_WAVE_BOTH);
    Click(IDC_WAVE_START);
    const int before = m_sensor.WaveFormReports();
    ASSERT_TRUE(RunUntilStopped());
    EXPECT_GE(m_sensor.WaveFormReports() - before, 31);  // a run of one channel at least
    EXPECT_EQ(Line(0, 5), "Level   195mV(  600)");
    EXPECT_EQ(Line(1, 5), "Level   214mV(  700)");

    const std::string saved = ReadBytes(m_sensor.Application().savePath);
    const std::string header = WaveFormLog::kHeader;
    const std::string pair = "\n 2200,  600, 300,  3,  3, 2200,  700, 500,  3,  3";
    ASSERT_EQ(saved.compare(0, header.size(), header), 0) << saved;
    const size_t lines = (saved.size() - header.size()) / pair.size();
    EXPECT_EQ(header.size() + lines * pair.size(), saved.size());
    // A pair is any two counted reports and the selector need not alternate
    // strictly on the line, so one channel may complete its run of 31 a few
    // pairs early.
    EXPECT_GE(lines, 15u);
    EXPECT_LE(lines, 31u);
    EXPECT_EQ(saved.substr(saved.size() - pair.size()), pair);
    // The saved log started afresh; the pair that the last report completed
    // may stand in it.
    EXPECT_LE(m_dialog.GetLog().GetText().size(), pair.size());
    ExpectNoRequestAfterClose();
}

// Opened and closed while the rate is still searched for: once the sensor is
// found and linked, nothing asks it for waveforms.
TEST(WaveFormDlgBeforeTheLinkE2e, ClosedBeforeTheLinkLeavesNoWaveFormRequest) {
    const int com = SimLog::ComPort();
    if (com == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
    NoActivation noActivation;
    TestSettings settings;
    SimulatedSensor sensor;
    WaveFormDlg dialog;
    ASSERT_TRUE(sensor.Select(DevicePort::kProbeDeviceType));
    sensor.Caps().SetModel(0);
    dialog.SetDevicePort(&sensor.Port());
    dialog.SetWaveFormRecord(&sensor.WaveForm());
    dialog.SetSensorCaps(&sensor.Caps());
    dialog.SetApplication(&sensor.Application());
    ASSERT_NE(dialog.Create(GetModuleHandleA(NULL), sensor.Window()), (HWND)NULL);
    dialog.Destroy();

    ASSERT_TRUE(sensor.Connect(com, kTimeoutMs));
    // Ten seconds of the link's keep-alive, one Set every 500 ms.
    const size_t sets = CountRx("a05a");
    EXPECT_TRUE(SimLog::PollFor([&] { return CountRx("a05a") >= sets + 20; }, kTimeoutMs));
    EXPECT_EQ(CountRx("a969"), 0u);
}
