// Not a test of its own: scripts/function-dialog-shots runs it to take the
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
#include "tests/framework/TestSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

const DWORD kTimeoutMs = 30000;

// A Linux path reached through Wine's drive Z:.
std::string WinePath(const char* name) {
    const char* value = getenv(name);
    if (value == NULL) return "";
    return value[0] == '/' ? std::string("Z:") + value : value;
}

// Handles the thread's messages until done says so or the time is up.
template <typename Done>
bool PumpUntil(Done done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    return true;
}

}  // namespace

TEST(FunctionDialogShots, ThreeDialogsSideBySide) {
    const std::string ready = WinePath("TIV_SHOT_READY");
    const std::string done = WinePath("TIV_SHOT_DONE");
    if (ready.empty() || done.empty()) GTEST_SKIP() << "run by scripts/function-dialog-shots";

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
    PumpUntil([] { return false; }, 500);  // everything painted

    const std::string part = ready + ".part";
    std::ofstream list(part.c_str());
    for (int i = 0; i < 3; ++i) {
        RECT r;
        GetWindowRect(dialogs[i]->GetHwnd(), &r);
        list << files[i] << " " << r.right - r.left << "x" << r.bottom - r.top << "+" << r.left << "+" << r.top
             << "\n";
    }
    list.close();
    MoveFileA(part.c_str(), ready.c_str());  // whole, or not there yet
    EXPECT_TRUE(PumpUntil([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, kTimeoutMs));
    for (SensorDialog* dialog : dialogs) dialog->Destroy();
}
