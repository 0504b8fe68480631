// Not a test of its own: scripts/dialog-shots runs it to take the
// screenshots of the function writing, function setting and filter switch
// dialogs. It shows the three side by side for a sensor that supports them
// all, tells the script through a file where they are, and waits (bounded)
// for the script's answer.
#include "dialogs/FilterSwitchDlg.h"
#include "dialogs/FunctionDlg.h"
#include "dialogs/FunctionSettingDlg.h"

#include "resources/resource.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/FunctionRequests.h"
#include "tests/dialogs/ShotHandOver.h"
#include "tests/framework/TestSettings.h"

#include <gtest/gtest.h>

TEST(FunctionDialogShots, ThreeDialogsSideBySide) {
    ShotHandOver shots;
    if (!shots.Wanted()) GTEST_SKIP() << "run by scripts/dialog-shots";

    TestSettings settings;
    FunctionRequests port;
    SensorCaps sensor;
    sensor.SetModel(0);
    sensor.SetVersionText("1.1.3U");
    sensor.SetFunction(0x0193);  // ON when detecting, synchronization, LED high
    sensor.SetOptionByte(0x03);  // slow scanning, synchronization master
    // Filter switches come with another firmware.
    SensorCaps filterSensor;
    filterSensor.SetModel(0);
    filterSensor.SetVersionText("1.1.3K");
    const BYTE filters[2] = {0xA8, 0x01};
    filterSensor.SetFilterSwitch(filters);

    FunctionDlg function;
    FunctionSettingDlg setting;
    FilterSwitchDlg filter;
    SensorDialog* dialogs[] = {&function, &setting, &filter};
    const char* files[] = {"write-function.png", "function-setting.png", "filter-switch.png"};
    int left = 16;
    for (SensorDialog* dialog : dialogs) {
        dialog->SetSensorCaps(dialog == &filter ? &filterSensor : &sensor);
        dialog->SetDevicePort(&port);
        HWND hwnd = dialog->Create(GetModuleHandleA(NULL), NULL);
        ASSERT_NE(hwnd, (HWND)NULL);
        SetWindowPos(hwnd, NULL, left, 16, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        RECT r;
        GetWindowRect(hwnd, &r);
        left = r.right + 16;
    }
    // The filter switch dialog as after "Read".
    Press(filter.GetHwnd(), IDC_FILTER_READ);
    ShotHandOver::Pump([] { return false; }, 500);  // everything painted
    for (int i = 0; i < 3; ++i) shots.Add(files[i], dialogs[i]->GetHwnd());
    EXPECT_TRUE(shots.HandOver(30000));
    for (SensorDialog* dialog : dialogs) dialog->Destroy();
}
