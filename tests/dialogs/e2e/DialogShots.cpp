// Not tests of their own: scripts/dialog-shots runs them beside the simulator
// to take the screenshots of the sensor information and I/O test dialogs and
// of the waveform and correction dialogs. Each shows its dialogs, filled from
// the simulated sensor as far as the program asks it, tells the script through a file that they are ready,
// and waits (bounded) for the script's answer.
#include <gtest/gtest.h>

#include "dialogs/CorrectionDlg.h"
#include "dialogs/IOTestDlg.h"
#include "dialogs/TivInfoDlg.h"
#include "dialogs/WaveFormDlg.h"
#include "resources/resource.h"
#include "tests/dialogs/ShotHandOver.h"
#include "tests/dialogs/e2e/SimulatedSensor.h"
#include "tests/framework/TestSettings.h"
#include "tests/protocol/e2e/SimLog.h"

namespace {

const DWORD kTimeoutMs = 30000;

}  // namespace

TEST(DialogShots, BothDialogsBesideTheSimulator) {
    ShotHandOver shots;
    const int com = SimLog::ComPort();
    if (!shots.Wanted() || com == 0) GTEST_SKIP() << "run by scripts/dialog-shots";

    TestSettings settings;
    SimulatedSensor sensor;
    ASSERT_TRUE(sensor.Connect(com, kTimeoutMs));
    SensorCaps& caps = sensor.Caps();
    DevicePort& port = sensor.Port();
    HWND window = sensor.Window();
    ASSERT_TRUE(PumpUntil([&] { return caps.GetLetter() != 0; }, kTimeoutMs));

    TivInfoDlg info;
    info.SetSensorCaps(&caps);
    info.SetDevicePort(&port);
    ASSERT_TRUE(info.Show(GetModuleHandleA(NULL), window, TRUE));
    info.RefreshVersion();
    info.RefreshFunctions();
    SetWindowPos(info.GetHwnd(), NULL, 16, 16, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    IOTestDlg io;
    io.SetSensorCaps(&caps);
    io.SetDevicePort(&port);
    sensor.ForwardIoTo(&io);
    ASSERT_NE(io.Create(GetModuleHandleA(NULL), window), (HWND)NULL);
    io.UpdateControls();
    RECT infoRect;
    GetWindowRect(info.GetHwnd(), &infoRect);
    SetWindowPos(io.GetHwnd(), NULL, infoRect.right + 16, 16, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    // Out2 forced on, Out3 forced off, the others free.
    const int out2 = IDC_IO_FORCE_FIRST + 5, out3 = IDC_IO_FORCE_FIRST + 6;
    SendDlgItemMessageA(io.GetHwnd(), out2, BM_CLICK, 0, 0);
    SendDlgItemMessageA(io.GetHwnd(), out2, BM_CLICK, 0, 0);
    SendDlgItemMessageA(io.GetHwnd(), out3, BM_CLICK, 0, 0);
    PumpUntil([] { return false; }, 1500);  // a few polls come and paint

    shots.Add("sensor-information.png", info.GetHwnd());
    shots.Add("io-test.png", io.GetHwnd());
    EXPECT_TRUE(shots.HandOver(kTimeoutMs));
    sensor.ForwardIoTo(NULL);
    io.Destroy();
    info.Destroy();
}

// The waveform dialog enlarged, so that "Both" takes a large font, and the
// correction dialog as it opens: no answer ever fills its values.
TEST(DialogShots, EngineeringDialogsBesideTheSimulator) {
    ShotHandOver shots;
    const int com = SimLog::ComPort();
    if (!shots.Wanted() || com == 0) GTEST_SKIP() << "run by scripts/dialog-shots";

    TestSettings settings;
    SimulatedSensor sensor;
    ASSERT_TRUE(sensor.Connect(com, kTimeoutMs));
    sensor.Caps().SetModel(0);

    WaveFormDlg wave;
    wave.SetDevicePort(&sensor.Port());
    wave.SetWaveFormRecord(&sensor.WaveForm());
    wave.SetSensorCaps(&sensor.Caps());
    wave.SetApplication(&sensor.Application());
    sensor.ForwardWaveFormTo(&wave);
    HWND waveWindow = wave.Create(GetModuleHandleA(NULL), sensor.Window());
    ASSERT_NE(waveWindow, (HWND)NULL);
    SetWindowPos(waveWindow, NULL, 16, 16, 720, 560, SWP_NOZORDER);
    SetDlgItemTextA(waveWindow, IDC_WAVE_STEP, "700");
    SendDlgItemMessageA(waveWindow, IDC_WAVE_SET, BM_CLICK, 0, 0);
    SendDlgItemMessageA(waveWindow, IDC_WAVE_BOTH, BM_CLICK, 0, 0);
    SendDlgItemMessageA(waveWindow, IDC_WAVE_NON_STOP, BM_CLICK, 0, 0);
    const int reports = sensor.WaveFormReports();
    ASSERT_TRUE(PumpUntil([&] { return sensor.WaveFormReports() > reports + 20; }, kTimeoutMs));

    CorrectionDlg correction;
    correction.SetDevicePort(&sensor.Port());
    correction.SetSensorCaps(&sensor.Caps());
    HWND correctionWindow = correction.Create(GetModuleHandleA(NULL), sensor.Window());
    ASSERT_NE(correctionWindow, (HWND)NULL);
    SetWindowPos(correctionWindow, NULL, 752, 16, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    shots.Add("wave-form.png", waveWindow);
    shots.Add("correction.png", correctionWindow);
    EXPECT_TRUE(shots.HandOver(kTimeoutMs));
    sensor.ForwardWaveFormTo(NULL);
    correction.Destroy();
    wave.Destroy();
}
