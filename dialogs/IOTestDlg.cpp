#include "dialogs/IOTestDlg.h"

#include "protocol/DevicePort.h"
#include "resources/resource.h"
#include "sensor/SensorCaps.h"

namespace {

const int kLampPixels = 16;
const int kInputLines = 4;
const BYTE kAllLit = 0xFF;

// The state bit each output lamp shows; for version letter U outputs 3 and 4
// trade bits.
const int kOutputBits[2][kInputLines] = {{4, 5, 6, 7}, {4, 5, 7, 6}};

}  // namespace

IOTestDlg::IOTestDlg() : SensorDialog("IOTestDlg"), m_shown(kAllLit), m_linkLost(false) {
    AddMessageHandler(WM_INITDIALOG, Handler(&IOTestDlg::OnInitDialog));
    AddMessageHandler(WM_DESTROY, Handler(&IOTestDlg::OnDestroy));
    for (int i = 0; i < kLines; ++i) AddCommandHandler(IDC_IO_FORCE_FIRST + i, Command(&IOTestDlg::ForceIo));
}

IOTestDlg::~IOTestDlg() {
    // While this object is whole: polling ends and the lines are released.
    Destroy();
}

HWND IOTestDlg::Create(HINSTANCE instance, HWND parent) {
    if (GetSensorCaps() == NULL || GetDevicePort() == NULL) return NULL;
    if (IsOpen()) return GetHwnd();
    SetInstance(instance);
    SetParent(parent);
    CreateModeless(MAKEINTRESOURCEA(kTemplate), parent);
    return GetHwnd();
}

BYTE IOTestDlg::LitLamps(BYTE state, bool pnp, bool letterU) {
    BYTE lit = state & 0x0F;
    for (int i = 0; i < kInputLines; ++i) {
        const bool set = (state >> kOutputBits[letterU ? 1 : 0][i]) & 1;
        if (set != pnp) lit |= static_cast<BYTE>(1 << (kInputLines + i));
    }
    return lit;
}

void IOTestDlg::ForceBytes(const UINT checks[kLines], BYTE* disguised, BYTE* mask) {
    *disguised = 0;
    *mask = 0;
    for (int i = 0; i < kLines; ++i) {
        const BYTE bit = static_cast<BYTE>(1 << i);
        if (checks[i] == BST_UNCHECKED) {
            *disguised |= bit;
            *mask |= bit;
        } else if (checks[i] == BST_CHECKED) {
            *mask |= bit;
        }
    }
}

HICON IOTestDlg::LoadLamp(WORD id) {
    // The dialog's module first; a language module without the lamps falls
    // back to the program's own. Module 0 would mean the system's icons.
    HINSTANCE module = GetInstance();
    HANDLE icon = NULL;
    if (module != NULL) icon = LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, kLampPixels, kLampPixels, 0);
    if (icon == NULL)
        icon = LoadImageA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(id), IMAGE_ICON, kLampPixels, kLampPixels, 0);
    return static_cast<HICON>(icon);
}

void IOTestDlg::ShowLamps(BYTE lit) {
    for (int i = 0; i < kLines; ++i) {
        const BYTE bit = static_cast<BYTE>(1 << i);
        if (((m_shown ^ lit) & bit) == 0) continue;
        HICON icon = (lit & bit) ? m_lampOn.Get() : m_lampOff.Get();
        SendDlgItemMessageA(GetHwnd(), IDC_IO_LAMP_FIRST + i, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
    m_shown = lit;
}

LRESULT IOTestDlg::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    m_lampOff.Reset(LoadLamp(IDI_LAMP_OFF));
    m_lampOn.Reset(LoadLamp(IDI_LAMP_ON));
    m_shown = static_cast<BYTE>(~kAllLit);
    ShowLamps(kAllLit);
    for (int i = 0; i < kLines; ++i) CheckDlgButton(GetHwnd(), IDC_IO_FORCE_FIRST + i, BST_INDETERMINATE);
    m_linkLost = false;
    DevicePort* port = GetDevicePort();
    if (port != NULL) port->SetIoPolling(1);
    UpdateControls();
    return Dialog::OnInitDialog(wParam, lParam);
}

LRESULT IOTestDlg::OnDestroy(WPARAM wParam, LPARAM lParam) {
    // The lamps let go of the icons before they are destroyed.
    for (int i = 0; i < kLines; ++i) SendDlgItemMessageA(GetHwnd(), IDC_IO_LAMP_FIRST + i, STM_SETICON, 0, 0);
    m_lampOff.Reset();
    m_lampOn.Reset();
    DevicePort* port = GetDevicePort();
    if (port != NULL) {
        port->SetIoPolling(0);
        // Forces nothing: every forced line is free again.
        port->WriteIo(0, 0);
    }
    return Dialog::OnDestroy(wParam, lParam);
}

void IOTestDlg::UpdateControls() {
    if (!IsOpen()) return;
    SensorCaps* caps = GetSensorCaps();
    const BOOL enable = caps != NULL && caps->HasCapability(SensorCaps::kCapIoTest) != 0;
    for (int i = 0; i < kLines; ++i) EnableWindow(GetDlgItem(GetHwnd(), IDC_IO_FORCE_FIRST + i), enable);
}

void IOTestDlg::ShowState(BYTE state, BYTE, BYTE) {
    SensorCaps* caps = GetSensorCaps();
    if (!IsOpen() || caps == NULL) return;
    const bool pnp = !caps->IsUnknown() && caps->IsPnp() != 0;
    ShowLamps(LitLamps(state, pnp, caps->GetLetter() == 'U'));
}

LRESULT IOTestDlg::ForceIo(WORD, WORD notifyCode, LPARAM) {
    if (notifyCode == BN_CLICKED) SendForces(false);
    return 0;
}

void IOTestDlg::OnLinkLevel(BYTE level) {
    if (level == 0) {
        m_linkLost = true;
        return;
    }
    if (!m_linkLost) return;
    m_linkLost = false;
    if (IsOpen()) SendForces(true);
}

void IOTestDlg::SendForces(bool onlyForced) {
    DevicePort* port = GetDevicePort();
    if (port == NULL) return;
    UINT checks[kLines];
    for (int i = 0; i < kLines; ++i) checks[i] = IsDlgButtonChecked(GetHwnd(), IDC_IO_FORCE_FIRST + i);
    BYTE disguised = 0;
    BYTE mask = 0;
    ForceBytes(checks, &disguised, &mask);
    if (mask != 0 || !onlyForced) port->WriteIo(disguised, mask);
}
