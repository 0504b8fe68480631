#include "dialogs/FunctionDlg.h"

#include "framework/FileDialog.h"
#include "framework/MsgBox.h"
#include "protocol/DevicePort.h"
#include "resources/resource.h"

namespace {

const char kFilter[] = "Function Definition File (*.fnc)\0*.fnc\0";
const char kExtension[] = "fnc";
// The buffer holds 260 characters; the dialog is told one less.
const DWORD kFileChars = FunctionDlg::kPathChars - 1;

const UINT kOutputLogicTexts[] = {IDS_INFO_OFF_WHEN_DETECTING, IDS_INFO_ON_WHEN_DETECTING};
const UINT kOutput3Texts[] = {IDS_INFO_OUTPUT3_DETECTION, IDS_INFO_SYNCHRONIZATION};
const UINT kInput4Texts[] = {IDS_INFO_TWO_SCANS_MODE, IDS_INFO_SWITCH_OFF_LED, IDS_INFO_SYNCHRONIZATION,
                             IDS_INFO_AREA_SELECT};

template <size_t n>
int Count(const UINT (&)[n]) {
    return static_cast<int>(n);
}

}  // namespace

FunctionDlg::FunctionDlg() : SensorDialog("FunctionDlg"), m_path() {
    AddCommandHandler(IDC_FUNCTION_OPEN, Command(&FunctionDlg::OpenFunctionFile));
    AddCommandHandler(IDC_FUNCTION_SAVE, Command(&FunctionDlg::SaveFunctionFile));
    AddCommandHandler(IDC_FUNCTION_READ, Command(&FunctionDlg::OnRead));
    AddCommandHandler(IDC_FUNCTION_WRITE, Command(&FunctionDlg::WriteFunction));
    AddCommandHandler(IDC_FUNCTION_OUTPUT_LOGIC, Command(&FunctionDlg::OnOutputLogicChanged));
    AddCommandHandler(IDC_FUNCTION_OUTPUT3, Command(&FunctionDlg::OnOutput3Changed));
    AddCommandHandler(IDC_FUNCTION_INPUT4, Command(&FunctionDlg::OnInput4Changed));
    AddCommandHandler(IDC_FUNCTION_NO_SIDEWAYS, Command(&FunctionDlg::OnNoSidewaysExtension));
    AddCommandHandler(IDC_FUNCTION_LED_HIGH, Command(&FunctionDlg::OnLedHigh));
}

FunctionDlg::~FunctionDlg() {}

HWND FunctionDlg::Create(HINSTANCE instance, HWND parent) {
    return CreateWithSensor(instance, parent, kTemplate);
}

LRESULT FunctionDlg::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    FillCombo(IDC_FUNCTION_OUTPUT_LOGIC, kOutputLogicTexts, Count(kOutputLogicTexts));
    FillCombo(IDC_FUNCTION_OUTPUT3, kOutput3Texts, Count(kOutput3Texts));
    FillCombo(IDC_FUNCTION_INPUT4, kInput4Texts, Count(kInput4Texts));
    OnRead(IDC_FUNCTION_READ, BN_CLICKED, 0);
    return SensorDialog::OnInitDialog(wParam, lParam);
}

void FunctionDlg::UpdateControls() {
    SensorCaps* sensor = GetSensorCaps();
    if (sensor == NULL || !IsOpen()) return;
    const int sideways = sensor->HasCapability(SensorCaps::kCapNoSidewaysExtension);
    const int ledHigh = sensor->HasCapability(SensorCaps::kCapLedHigh);
    EnableItem(IDC_FUNCTION_WRITE, sensor->HasCapability(SensorCaps::kCapFunctionWrite));
    EnableItem(IDC_FUNCTION_NO_SIDEWAYS, sideways);
    EnableItem(IDC_FUNCTION_LED_HIGH, ledHigh);
    SelectListItem(IDC_FUNCTION_OUTPUT_LOGIC, m_working.GetOutputLogic());
    SelectListItem(IDC_FUNCTION_OUTPUT3, m_working.GetOutput3Function());
    SelectListItem(IDC_FUNCTION_INPUT4, m_working.GetInput4Function());
    // A sensor without the option must not be sent its bit.
    if (!sideways) m_working.SetFunctionBit7(0);
    if (!ledHigh) m_working.SetFunctionBit8(0);
    TickItem(IDC_FUNCTION_NO_SIDEWAYS, m_working.GetFunctionBit7());
    TickItem(IDC_FUNCTION_LED_HIGH, m_working.GetFunctionBit8());
}

LRESULT FunctionDlg::OnRead(WORD, WORD, LPARAM) {
    SensorCaps* sensor = GetSensorCaps();
    if (sensor != NULL) m_working.SetFunction(sensor->GetFunction());
    UpdateControls();
    return 0;
}

LRESULT FunctionDlg::WriteFunction(WORD, WORD, LPARAM) {
    // The device may have no operation for the request; its answer, if any,
    // arrives as a write result.
    if (GetDevicePort() != NULL) GetDevicePort()->WriteFunction(m_working.GetFunction());
    return 0;
}

LRESULT FunctionDlg::OnWriteResult(DWORD result) {
    if (ReportWriteResult(result) && GetSensorCaps() != NULL) GetSensorCaps()->SetFunction(m_working.GetFunction());
    return 1;
}

void FunctionDlg::TakeSelection(int id, WORD notifyCode, void (SensorCaps::*set)(int)) {
    if (notifyCode != CBN_SELCHANGE) return;
    int index = SelectedListItem(id);
    if (index < 0) return;
    (m_working.*set)(index);
    UpdateControls();
}

LRESULT FunctionDlg::OnOutputLogicChanged(WORD id, WORD notifyCode, LPARAM) {
    TakeSelection(id, notifyCode, &SensorCaps::SetOutputLogic);
    return 0;
}

LRESULT FunctionDlg::OnOutput3Changed(WORD id, WORD notifyCode, LPARAM) {
    TakeSelection(id, notifyCode, &SensorCaps::SetOutput3Function);
    return 0;
}

LRESULT FunctionDlg::OnInput4Changed(WORD id, WORD notifyCode, LPARAM) {
    TakeSelection(id, notifyCode, &SensorCaps::SetInput4Function);
    return 0;
}

void FunctionDlg::TakeTick(int id, void (SensorCaps::*set)(int)) {
    (m_working.*set)(IsItemTicked(id) ? 1 : 0);
}

LRESULT FunctionDlg::OnNoSidewaysExtension(WORD id, WORD, LPARAM) {
    TakeTick(id, &SensorCaps::SetFunctionBit7);
    return 0;
}

LRESULT FunctionDlg::OnLedHigh(WORD id, WORD, LPARAM) {
    TakeTick(id, &SensorCaps::SetFunctionBit8);
    return 0;
}

BOOL FunctionDlg::ChooseFile(BOOL save) {
    FileDialog dialog;
    OPENFILENAMEA* ofn = dialog.GetOfn();
    ofn->hwndOwner = GetHwnd();
    ofn->lpstrFilter = kFilter;
    ofn->lpstrFile = m_path;
    ofn->nMaxFile = kFileChars;
    ofn->lpstrInitialDir = m_path;
    ofn->lpstrDefExt = kExtension;
    ofn->Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY;
    if (save) {
        ofn->Flags |= OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
        return dialog.GetSaveFileName();
    }
    ofn->Flags |= OFN_FILEMUSTEXIST;
    return dialog.GetOpenFileName();
}

LRESULT FunctionDlg::OpenFunctionFile(WORD, WORD, LPARAM) {
    if (!ChooseFile(FALSE)) return 0;
    if (!m_file.Load(m_path, &m_working)) {
        MsgBox().ShowIdOwner(GetHwnd(), IDS_CANNOT_OPEN_FILE, MB_OK | MB_ICONERROR);
        return 0;
    }
    UpdateControls();
    return 1;
}

LRESULT FunctionDlg::SaveFunctionFile(WORD, WORD, LPARAM) {
    if (!ChooseFile(TRUE)) return 0;
    if (!m_file.Save(m_path, m_working)) {
        MsgBox().ShowIdOwner(GetHwnd(), IDS_CANNOT_OPEN_FILE, MB_OK | MB_ICONERROR);
        return 0;
    }
    return 1;
}
