// The I/O test dialog against the sensor simulator: the lamps follow the
// simulated lines, the buttons' forcing reaches the sensor, and closing the
// dialog releases every line.
#include <gtest/gtest.h>

#include "dialogs/IOTestDlg.h"
#include "resources/resource.h"
#include "tests/dialogs/e2e/SimulatedSensor.h"
#include "tests/framework/TestSettings.h"
#include "tests/protocol/e2e/SimLog.h"

namespace {

const DWORD kTimeoutMs = 15000;

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
        const int com = SimLog::ComPort();
        if (com == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
        ASSERT_TRUE(m_sensor.Connect(com, kTimeoutMs));
        m_dialog.SetSensorCaps(&m_sensor.Caps());
        m_dialog.SetDevicePort(&m_sensor.Port());
        m_sensor.ForwardIoTo(&m_dialog);
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

    HICON m_lit = NULL;
    TestSettings m_settings;
    SimulatedSensor m_sensor;
    IOTestDlg m_dialog;  // closed first
};

}  // namespace

TEST_F(IoTestDlgE2e, LampsFollowTheSensorAForceReachesItAndCloseReleases) {
    ASSERT_NE(m_dialog.Create(GetModuleHandleA(NULL), m_sensor.Window()), (HWND)NULL);
    m_lit = Lamp(0);  // every lamp starts lit
    // The simulator's sensor: version 5.1.3K, no PNP outputs.
    const SensorCaps& caps = m_sensor.Caps();
    ASSERT_TRUE(PumpUntil([&] { return caps.GetLetter() == 'K'; }, kTimeoutMs));
    ASSERT_EQ(caps.IsPnp(), 0);
    m_dialog.UpdateControls();  // as the frame does on the sensor's version
    // The inputs change by themselves: In1 and In3, then In2 and In4.
    ASSERT_TRUE(PumpUntil([&] { return Lamps() == "10100000"; }, kTimeoutMs)) << Lamps();
    ASSERT_TRUE(PumpUntil([&] { return Lamps() == "01010000"; }, kTimeoutMs)) << Lamps();

    // Out2: free -> forced off -> forced on, clicked before the sensor answers.
    const int out2 = IDC_IO_FORCE_FIRST + 5;
    SendDlgItemMessageA(m_dialog.GetHwnd(), out2, BM_CLICK, 0, 0);
    SendDlgItemMessageA(m_dialog.GetHwnd(), out2, BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return m_sensor.ConfirmedForces() == 2; }, kTimeoutMs));
    EXPECT_EQ(IoFrames("RX"), (std::vector<std::string>{"a85a2020", "a85a0020"}));
    // Polling shows the forced line lit over the changing inputs.
    ASSERT_TRUE(PumpUntil([&] { return Lamps() == "10100100"; }, kTimeoutMs)) << Lamps();
    ASSERT_TRUE(PumpUntil([&] { return Lamps() == "01010100"; }, kTimeoutMs)) << Lamps();

    // Closing releases every line, and the sensor takes the release.
    m_dialog.Destroy();
    ASSERT_TRUE(PumpUntil([&] { return m_sensor.ConfirmedForces() == 3; }, kTimeoutMs));
    EXPECT_EQ(IoFrames("RX").back(), "a85a0000");
    EXPECT_EQ(IoFrames("TX").back(), "a85a0000");
}
