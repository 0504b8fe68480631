#include "dialogs/FunctionSettingDlg.h"

#include "protocol/DevicePort.h"
#include "resources/FunctionDialogIds.h"

namespace {

const UINT kSynchronizationTexts[] = {IDS_SYNC_NONE, IDS_SYNC_MASTER, IDS_SYNC_SLAVE_90, IDS_SYNC_SLAVE_180,
                                      IDS_SYNC_SLAVE_270};
const int kSynchronizationModes = sizeof kSynchronizationTexts / sizeof kSynchronizationTexts[0];

}  // namespace

FunctionSettingDlg::FunctionSettingDlg() : SensorDialog("FunctionDlg") {
    AddCommandHandler(IDC_SETTING_APPLY, Command(&FunctionSettingDlg::OnSetting));
    AddCommandHandler(IDC_SETTING_SLOW_SCANNING, Command(&FunctionSettingDlg::OnSlowScanning));
    AddCommandHandler(IDC_SETTING_SYNCHRONIZATION, Command(&FunctionSettingDlg::OnSynchronizationChanged));
}

FunctionSettingDlg::~FunctionSettingDlg() {}

HWND FunctionSettingDlg::Create(HINSTANCE instance, HWND parent) {
    return CreateWithSensor(instance, parent, kTemplate);
}

LRESULT FunctionSettingDlg::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    if (GetSensorCaps() != NULL) m_working.SetOptionByte(GetSensorCaps()->GetOptionByte());
    FillCombo(IDC_SETTING_SYNCHRONIZATION, kSynchronizationTexts, kSynchronizationModes);
    Refresh();
    return SensorDialog::OnInitDialog(wParam, lParam);
}

void FunctionSettingDlg::UpdateControls() {
    SensorCaps* sensor = GetSensorCaps();
    if (sensor == NULL || !IsOpen()) return;
    EnableItem(IDC_SETTING_APPLY, sensor->HasCapability(SensorCaps::kCapFunctionSetting));
    EnableItem(IDC_SETTING_SLOW_SCANNING, sensor->HasCapability(SensorCaps::kCapSlowScanning));
    EnableItem(IDC_SETTING_SYNCHRONIZATION, sensor->HasCapability(SensorCaps::kCapOptionMode));
    TickItem(IDC_SETTING_SLOW_SCANNING, m_working.IsSlowScanning());
    SelectListItem(IDC_SETTING_SYNCHRONIZATION, m_working.GetOptionMode());
}

void FunctionSettingDlg::Refresh() {
    UpdateControls();
}

LRESULT FunctionSettingDlg::OnSetting(WORD, WORD, LPARAM) {
    // The device may have no operation for the request; its answer, if any,
    // arrives as a write result.
    if (GetDevicePort() != NULL) GetDevicePort()->WriteFunctionSetting(m_working.GetOptionByte());
    return 0;
}

LRESULT FunctionSettingDlg::OnSlowScanning(WORD id, WORD, LPARAM) {
    m_working.SetSlowScanning(IsItemTicked(id));
    return 0;
}

LRESULT FunctionSettingDlg::OnSynchronizationChanged(WORD id, WORD notifyCode, LPARAM) {
    if (notifyCode != CBN_SELCHANGE) return 0;
    int index = SelectedListItem(id);
    if (index >= 0) m_working.SetOptionMode(index);
    return 0;
}

LRESULT FunctionSettingDlg::OnWriteResult(DWORD result) {
    if (ReportWriteResult(result) && GetSensorCaps() != NULL) GetSensorCaps()->SetOptionByte(m_working.GetOptionByte());
    return 1;
}
