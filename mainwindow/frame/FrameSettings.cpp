#include "mainwindow/frame/FrameSettings.h"

#include "framework/IniFile.h"

namespace {

const char kWindow[] = "Window";
const char kDevice[] = "Device";

}  // namespace

FrameSettings::FrameSettings() {
    SetDefaults();
}

void FrameSettings::SetDefaults() {
    toolbarVisible = 1;
    statusbarVisible = 1;
    SetRect(&window, 0, 0, kDefaultRight, kDefaultBottom);
    showCommand = SW_SHOWNORMAL;
    language = 0;
    comPort = 0;
    deviceType = kAutoRecognition;
}

void FrameSettings::Load(IniFile* settings) {
    FrameSettings defaults;
    toolbarVisible = settings->GetInt(kWindow, "ToolbarVisible", defaults.toolbarVisible);
    statusbarVisible = settings->GetInt(kWindow, "StatusbarVisible", defaults.statusbarVisible);
    window.left = settings->GetInt(kWindow, "WindowLeft", defaults.window.left);
    window.top = settings->GetInt(kWindow, "WindowTop", defaults.window.top);
    window.right = settings->GetInt(kWindow, "WindowRight", defaults.window.right);
    window.bottom = settings->GetInt(kWindow, "WindowBottom", defaults.window.bottom);
    showCommand = settings->GetInt(kWindow, "ShowCommand", defaults.showCommand);
    language = settings->GetInt(kWindow, "Language", defaults.language);
    comPort = settings->GetInt(kDevice, "ComPort", defaults.comPort);
    deviceType = settings->GetInt(kDevice, "DeviceType", defaults.deviceType);
    Check(VirtualScreen());
}

void FrameSettings::Save(IniFile* settings) const {
    settings->WriteInt(kWindow, "ToolbarVisible", toolbarVisible);
    settings->WriteInt(kWindow, "StatusbarVisible", statusbarVisible);
    settings->WriteInt(kWindow, "WindowLeft", window.left);
    settings->WriteInt(kWindow, "WindowTop", window.top);
    settings->WriteInt(kWindow, "WindowRight", window.right);
    settings->WriteInt(kWindow, "WindowBottom", window.bottom);
    settings->WriteInt(kWindow, "ShowCommand", showCommand);
    settings->WriteInt(kWindow, "Language", language);
    settings->WriteInt(kDevice, "ComPort", comPort);
    settings->WriteInt(kDevice, "DeviceType", deviceType);
}

void FrameSettings::Check(const RECT& screen) {
    FrameSettings defaults;
    if (!IsKnownDeviceType(deviceType)) deviceType = defaults.deviceType;
    if (showCommand != SW_SHOWNORMAL && showCommand != SW_SHOWMAXIMIZED) showCommand = defaults.showCommand;
    RECT visible;
    // An empty rectangle gives an invisible window, one beside the screen a
    // window the user cannot reach.
    if (IsRectEmpty(&window) || !IntersectRect(&visible, &window, &screen)) window = defaults.window;
}

BOOL FrameSettings::IsKnownDeviceType(int type) {
    return type == 0 || type == 1 || type == 2 || type == kAutoRecognition;
}

RECT FrameSettings::VirtualScreen() {
    RECT screen;
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width <= 0 || height <= 0) {
        // Systems without the virtual screen metrics: the primary screen.
        left = 0;
        top = 0;
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
    }
    SetRect(&screen, left, top, left + width, top + height);
    return screen;
}
