// Not a test of its own: scripts/dialog-shots runs it to take the
// screenshots of the "-develop" dialogs (fram-editor.png, ram-editor.png,
// com-monitor.png, encrypt-mot-file.png). It opens them with made-up data:
// FRAM words read, a monitor log of a session's frames and a run of realtime
// scans, and the paths of a conversion. The RAM editor shows a Read, which
// brings no words.
#include <gtest/gtest.h>

#include "dialogs/ComMonitorDlg.h"
#include "dialogs/EncryptionDlg.h"
#include "dialogs/FRAMEditorDlg.h"
#include "dialogs/RAMEditorDlg.h"
#include "protocol/DevicePort.h"
#include "resources/resource.h"
#include "sensor/SensorCaps.h"
#include "tests/dialogs/ShotHandOver.h"
#include "tests/framework/TestSettings.h"
#include "tests/protocol/FrameBytes.h"
#include "tests/protocol/TestHost.h"

#include <memory>
#include <string>
#include <vector>

namespace {

const DWORD kTimeoutMs = 30000;

void Place(HWND dialog, int x, int y) {
    SetWindowPos(dialog, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// A realtime scan of the simulator's scene: 1500 mm ahead, 4000 mm aside.
std::string Scan() {
    std::string reply = Bytes({0xA2, 'i'});
    for (int step = 0; step < 769; ++step) {
        const int mm = step > 250 && step < 520 ? 1500 : 4000;
        reply += Bytes({mm & 0xFF, mm >> 8});
    }
    return WithCrc(reply);
}

void LogSession(ComMonitorDlg* monitor) {
    const std::vector<std::pair<int, std::string>> frames = {
        {0, Bytes({0xA0, 'i'})},
        {1, Bytes({0xA0, 'i', 0x3a, 0x91, 0x07, 0xc4, 0x55, 0x12, 0xe0, 0x6b})},
        {0, Bytes({0xA0, 'Z', 1, 0x34, 0x12})},
        {1, Bytes({0xA0, 'Z', 1})},
        {0, Bytes({0xA1, 'i'})},
        {1, Bytes({0xA1, 'i'}) + std::string("TIV-A1 5.01 spec5m") + std::string(14, '\0')},
        {0, Bytes({0xA4, 'i', 0x01})},
        {1, Bytes({0xA4, 'i', 0x01, 0x01, 0x00})},
        {0, Bytes({0xA8, 'i'})},
        {1, Bytes({0xA8, 'i', 0x81, 0x00, 0x00})},
        {1, Bytes({0xA0, 'Z', 4})},
    };
    for (const auto& frame : frames)
        monitor->LogFrame(frame.first, std::make_unique<std::string>(WithCrc(frame.second)));
    // A reply damaged on the line: its CRC does not check.
    monitor->LogFrame(1,
                      std::make_unique<std::string>(Bytes({0xA3, 'i', 0x00, 0x01, 0xff, 0x00, 0x12, 0x34})));
    for (int i = 0; i < 4; ++i) {
        monitor->LogFrame(0, std::make_unique<std::string>(WithCrc(Bytes({0xA2, 'i'}))));
        monitor->LogFrame(1, std::make_unique<std::string>(Scan()));
    }
}

}  // namespace

TEST(DevelopDialogShots, MemoryEditorsMonitorAndConversion) {
    ShotHandOver shots;
    if (!shots.Wanted()) GTEST_SKIP() << "run by scripts/dialog-shots";
    TestSettings settings;
    SensorCaps caps;
    caps.SetModel(0);
    DevicePort port;
    TestHost application;

    FRAMEditorDlg fram;
    fram.SetDevicePort(&port);
    fram.SetApplication(&application);
    ASSERT_NE(fram.Create(GetModuleHandleA(NULL), NULL), (HWND)NULL);
    std::vector<WORD> words;
    for (int w = 0; w < 64; ++w) words.push_back(static_cast<WORD>(0x4100 + w * 0x0107));
    fram.ShowWords(words.data(), 0, static_cast<WORD>(words.size()));
    Place(fram.GetHwnd(), 16, 16);

    RAMEditorDlg ram;
    ram.SetDevicePort(&port);
    ASSERT_NE(ram.Create(GetModuleHandleA(NULL), NULL), (HWND)NULL);
    SetDlgItemTextA(ram.GetHwnd(), IDC_RAM_FIRST, "100");
    SetDlgItemTextA(ram.GetHwnd(), IDC_RAM_LAST, "13f");
    SendDlgItemMessageA(ram.GetHwnd(), IDC_RAM_READ, BM_CLICK, 0, 0);
    RECT above;
    GetWindowRect(fram.GetHwnd(), &above);
    Place(ram.GetHwnd(), 16, above.bottom + 16);

    ComMonitorDlg monitor;
    monitor.SetSensorCaps(&caps);
    monitor.SetDevicePort(&port);
    ASSERT_NE(monitor.Create(GetModuleHandleA(NULL), NULL), (HWND)NULL);
    RECT left;
    GetWindowRect(ram.GetHwnd(), &left);
    Place(monitor.GetHwnd(), left.right + 16, above.bottom + 16);
    LogSession(&monitor);

    EncryptionDlg encryption;
    ASSERT_NE(encryption.Create(GetModuleHandleA(NULL), NULL), (HWND)NULL);
    SetDlgItemTextA(encryption.GetHwnd(), IDC_ENCRYPTION_INPUT, "C:\\firmware\\tiv501.mot");
    SetDlgItemTextA(encryption.GetHwnd(), IDC_ENCRYPTION_OUTPUT, "C:\\firmware\\tiv501.tiv");
    GetWindowRect(monitor.GetHwnd(), &left);
    Place(encryption.GetHwnd(), left.right + 16, above.bottom + 16);

    ShotHandOver::Pump([] { return false; }, 500);  // everything paints
    shots.Add("fram-editor.png", fram.GetHwnd());
    shots.Add("ram-editor.png", ram.GetHwnd());
    shots.Add("com-monitor.png", monitor.GetHwnd());
    shots.Add("encrypt-mot-file.png", encryption.GetHwnd());
    EXPECT_TRUE(shots.HandOver(kTimeoutMs));
    encryption.Destroy();
    monitor.Destroy();
    ram.Destroy();
    fram.Destroy();
}
