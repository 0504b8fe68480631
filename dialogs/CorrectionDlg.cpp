#include "dialogs/CorrectionDlg.h"

#include "framework/MsgBox.h"
#include "framework/ResourceString.h"
#include "protocol/DevicePort.h"
#include "resources/resource.h"
#include "sensor/SensorCaps.h"

#include <commctrl.h>

#include <cstdio>

namespace {

const int kRowCount = 4;
const unsigned kDistances[kRowCount] = {300, 1000, 2000, 3000};
const unsigned kLongRangeDistances[kRowCount] = {300, 2500, 4500, 5000};
const BYTE kMaxAngle = 199;
const int kFractionBits = 6;
const BYTE kMaxTableRow = 3;

const int kSensitivityControls[] = {IDC_CORRECTION_SENSITIVITY, IDC_CORRECTION_READ_SENSITIVITY,
                                    IDC_CORRECTION_CORRECT_SENSITIVITY};
const int kAngleControls[] = {IDC_CORRECTION_ANGLE, IDC_CORRECTION_CORRECT_ANGLE};
const int kMotorControls[] = {IDC_CORRECTION_MOTOR, IDC_CORRECTION_MOTOR_STOP, IDC_CORRECTION_MOTOR_START};
const int kTableControls[] = {IDC_CORRECTION_DISTANCES, IDC_CORRECTION_CORRECT_DISTANCE};

template <size_t N>
int Count(const int (&)[N]) {
    return static_cast<int>(N);
}

}  // namespace

CorrectionDlg::CorrectionDlg() : SensorDialog("CorrectionDlg") {
    AddMessageHandler(WM_NOTIFY, Handler(&CorrectionDlg::OnNotify));
    AddCommandHandler(IDC_CORRECTION_CORRECT_DISTANCE, Command(&CorrectionDlg::OnCorrectDistance));
    AddCommandHandler(IDC_CORRECTION_READ_DISTANCE, Command(&CorrectionDlg::OnReadDistance));
    AddCommandHandler(IDC_CORRECTION_CORRECT_SENSITIVITY, Command(&CorrectionDlg::OnCorrectSensitivity));
    AddCommandHandler(IDC_CORRECTION_READ_SENSITIVITY, Command(&CorrectionDlg::OnReadSensitivity));
    AddCommandHandler(IDC_CORRECTION_CORRECT_ANGLE, Command(&CorrectionDlg::OnCorrectAngle));
    AddCommandHandler(IDC_CORRECTION_READ_ANGLE, Command(&CorrectionDlg::OnReadAngle));
    AddCommandHandler(IDC_CORRECTION_MOTOR_STOP, Command(&CorrectionDlg::OnMotorStop));
    AddCommandHandler(IDC_CORRECTION_MOTOR_START, Command(&CorrectionDlg::OnMotorStart));
}

CorrectionDlg::~CorrectionDlg() {
    Destroy();
}

HWND CorrectionDlg::Create(HINSTANCE instance, HWND parent) {
    if (GetSensorCaps() == NULL || GetDevicePort() == NULL) return NULL;
    if (IsOpen()) return GetHwnd();
    return CreateWithPort(instance, parent, kTemplate);
}

LRESULT CorrectionDlg::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    // The grid takes the place of the template's hidden frame.
    RECT place = {};
    HWND frame = GetDlgItem(GetHwnd(), IDC_CORRECTION_GRID_PLACE);
    GetWindowRect(frame, &place);
    MapWindowPoints(NULL, GetHwnd(), reinterpret_cast<POINT*>(&place), 2);
    m_grid.CreateIn(GetHwnd(), GetInstance(), place, IDC_CORRECTION_DISTANCES);
    UpdateControls();
    return SensorDialog::OnInitDialog(wParam, lParam);
}

void CorrectionDlg::EnableControls(const int* ids, int count, BOOL enable) {
    for (int i = 0; i < count; ++i) EnableWindow(GetDlgItem(GetHwnd(), ids[i]), enable);
}

void CorrectionDlg::UpdateControls() {
    SensorCaps* caps = GetSensorCaps();
    if (caps == NULL || !IsOpen()) return;
    const BOOL known = !caps->IsUnknown();
    auto has = [caps, known](int id) { return known && caps->HasCapability(id) == 1; };
    EnableControls(kTableControls, Count(kTableControls), known);
    EnableWindow(GetDlgItem(GetHwnd(), IDC_CORRECTION_READ_DISTANCE), has(SensorCaps::kCapCorrectionRead));
    EnableControls(kSensitivityControls, Count(kSensitivityControls), has(SensorCaps::kCapSensitivityCorrection));
    EnableControls(kAngleControls, Count(kAngleControls), has(SensorCaps::kCapAngleCorrection));
    EnableWindow(GetDlgItem(GetHwnd(), IDC_CORRECTION_READ_ANGLE), has(SensorCaps::kCapAngleRead));
    EnableControls(kMotorControls, Count(kMotorControls), has(SensorCaps::kCapMotorCorrection));
    // An editable table keeps what the user typed; a fixed one always shows
    // the proposal.
    const BOOL editable = caps->HasCapability(SensorCaps::kCapCorrectionListEditable) == 1;
    m_grid.SetEditable(editable);
    if (!editable || m_grid.GetTableRows() == 0) FillDistances();
}

void CorrectionDlg::FillDistances() {
    SensorCaps* caps = GetSensorCaps();
    const unsigned* distances = caps->IsLongRange() ? kLongRangeDistances : kDistances;
    int rows = caps->HasCapability(SensorCaps::kCapCorrectionRows);
    if (rows < 0) rows = 0;
    if (rows > kRowCount) rows = kRowCount;
    m_grid.SetTableRows(rows);
    for (int r = 0; r < rows; ++r) m_grid.SetDistance(r, distances[r]);
    m_grid.Refresh();
}

int CorrectionDlg::ShowDistanceTable(const WORD* table) {
    if (table == NULL) return 0;
    const int rows = m_grid.GetTableRows();
    for (int r = 0; r < kRowCount && r < rows; ++r) {
        m_grid.SetDistance(r, table[3 * r]);
        m_grid.SetValue(r, CorrectionGrid::k8MHzColumn, table[3 * r + 1]);
        m_grid.SetValue(r, CorrectionGrid::k75MHzColumn, table[3 * r + 2]);
    }
    m_grid.Refresh();
    return 1;
}

int CorrectionDlg::ShowResult(BYTE result) {
    if (result == 1) {
        MsgBox().ShowIdOwner(GetHwnd(), IDS_CORRECTION_COMPLETED, MB_OK);
        return 1;
    }
    ResourceString failed;
    MsgBox().ShowTextOwner(GetHwnd(), "%s(0x%02x)", MB_OK | MB_ICONERROR, failed.Load(IDS_CORRECTION_FAILED),
                           result);
    return 1;
}

int CorrectionDlg::ShowDistanceResult(BYTE result) {
    return ShowResult(result);
}

int CorrectionDlg::ShowSensitivity(BYTE value) {
    char text[16];
    snprintf(text, sizeof text, "%d.%04d", value >> kFractionBits,
             ((value & ((1 << kFractionBits) - 1)) * 10000) >> kFractionBits);
    SetDlgItemTextA(GetHwnd(), IDC_CORRECTION_SENSITIVITY, text);
    return 1;
}

int CorrectionDlg::ShowSensitivityResult(BYTE result) {
    return ShowResult(result);
}

int CorrectionDlg::ShowAngle(BYTE angle) {
    if (angle > kMaxAngle) return 0;
    SetDlgItemInt(GetHwnd(), IDC_CORRECTION_ANGLE, angle, FALSE);
    return 1;
}

int CorrectionDlg::ShowCorrectionResult(WPARAM result) {
    if (result == 1)
        MsgBox().ShowIdOwner(GetHwnd(), IDS_CORRECTION_COMPLETED, MB_OK);
    else
        MsgBox().ShowIdOwner(GetHwnd(), IDS_CORRECTION_FAILED, MB_OK | MB_ICONERROR);
    return 1;
}

LRESULT CorrectionDlg::OnNotify(WPARAM, LPARAM lParam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == NULL || header->idFrom != IDC_CORRECTION_DISTANCES) return 0;
    if (header->code == NM_DBLCLK) {
        const NMITEMACTIVATE* click = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
        WriteRowDistance(m_grid.TableRow(click->iItem));
        return 0;
    }
    m_grid.StoreEdit(lParam);
    return 0;  // the raw text is refused: the cell shows the stored form
}

int CorrectionDlg::WriteRowDistance(int row) {
    const BYTE tableRow = LOBYTE(row);
    if (tableRow > kMaxTableRow) return tableRow;
    const unsigned distance = m_grid.GetDistance(tableRow);
    if (GetDevicePort() == NULL) return 0;
    return GetDevicePort()->WriteCorrection(tableRow, static_cast<WORD>(distance));
}

LRESULT CorrectionDlg::OnCorrectDistance(WORD, WORD notifyCode, LPARAM) {
    if (notifyCode == BN_CLICKED) WriteRowDistance(m_grid.GetSelectedRow());
    return 0;
}

LRESULT CorrectionDlg::OnReadDistance(WORD, WORD notifyCode, LPARAM) {
    if (notifyCode == BN_CLICKED && GetDevicePort() != NULL) GetDevicePort()->ReadCorrection();
    return 0;
}

LRESULT CorrectionDlg::OnCorrectSensitivity(WORD, WORD notifyCode, LPARAM) {
    if (notifyCode == BN_CLICKED && GetDevicePort() != NULL) GetDevicePort()->CorrectSensitivity();
    return 0;
}

LRESULT CorrectionDlg::OnReadSensitivity(WORD, WORD notifyCode, LPARAM) {
    if (notifyCode == BN_CLICKED && GetDevicePort() != NULL) GetDevicePort()->ReadSensitivity();
    return 0;
}

LRESULT CorrectionDlg::OnCorrectAngle(WORD, WORD notifyCode, LPARAM) {
    if (notifyCode == BN_CLICKED) WriteEditValue(IDC_CORRECTION_ANGLE, &DevicePort::WriteDirection);
    return 0;
}

LRESULT CorrectionDlg::OnReadAngle(WORD, WORD notifyCode, LPARAM) {
    if (notifyCode == BN_CLICKED && GetDevicePort() != NULL) GetDevicePort()->ReadDirection();
    return 0;
}

LRESULT CorrectionDlg::OnMotorStop(WORD, WORD, LPARAM) {
    WriteEditValue(IDC_CORRECTION_MOTOR, &DevicePort::WriteMotor);
    return 0;
}

LRESULT CorrectionDlg::OnMotorStart(WORD, WORD, LPARAM) {
    int run = kMotorRun;
    if (GetDevicePort() != NULL) GetDevicePort()->WriteMotor(&run);
    return 0;
}

// The value goes by address: the device may hand back the value it took,
// which the edit then shows.
void CorrectionDlg::WriteEditValue(int editId, int (DevicePort::*request)(int*)) {
    BOOL number = FALSE;
    int value = static_cast<int>(GetDlgItemInt(GetHwnd(), editId, &number, TRUE));
    if (!number) value = 0;
    if (GetDevicePort() != NULL) (GetDevicePort()->*request)(&value);
    SetDlgItemInt(GetHwnd(), editId, static_cast<UINT>(value), TRUE);
}
