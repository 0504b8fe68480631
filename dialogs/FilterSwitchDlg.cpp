#include "dialogs/FilterSwitchDlg.h"

#include "protocol/DevicePort.h"
#include "resources/FunctionDialogIds.h"

namespace {

// The box of each filter bit.
struct FilterBit {
    int id;
    int byte;
    BYTE mask;
};

const FilterBit kFilterBits[] = {
    {IDC_FILTER_WAVE_FORM_CHECK, 0, 0x80}, {IDC_FILTER_WAVE_FORM_ERROR, 0, 0x40},
    {IDC_FILTER_MEDIAN, 0, 0x20},          {IDC_FILTER_ADJOIN_STEP, 0, 0x10},
    {IDC_FILTER_PHASE_DIFFERENCE, 0, 0x08}, {IDC_FILTER_SLICE_LEVEL, 1, 0x01},
};

const int kButtons[] = {IDC_FILTER_READ, IDC_FILTER_WRITE, IDC_FILTER_LEVEL};

void SetBit(BYTE* bytes, const FilterBit& bit, BOOL on) {
    if (on) {
        bytes[bit.byte] |= bit.mask;
    } else {
        bytes[bit.byte] &= static_cast<BYTE>(~bit.mask);
    }
}

}  // namespace

FilterSwitchDlg::FilterSwitchDlg() : SensorDialog("FilterSwitchDlg"), m_readRequested(0), m_showCopy(FALSE) {
    AddCommandHandler(IDC_FILTER_READ, Command(&FilterSwitchDlg::OnRead));
    AddCommandHandler(IDC_FILTER_WRITE, Command(&FilterSwitchDlg::WriteSwitches));
    AddCommandHandler(IDC_FILTER_LEVEL, Command(&FilterSwitchDlg::OnLevel));
}

FilterSwitchDlg::~FilterSwitchDlg() {}

HWND FilterSwitchDlg::Create(HINSTANCE instance, HWND parent) {
    return CreateWithSensor(instance, parent, kTemplate);
}

LRESULT FilterSwitchDlg::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    const BYTE cleared[2] = {0, 0};
    SetWorkingCopy(cleared);
    m_readRequested = 0;
    if (GetDevicePort() != NULL) {
        GetDevicePort()->ReadFilterSwitch();
        m_readRequested = 1;
    }
    UpdateControls();
    return SensorDialog::OnInitDialog(wParam, lParam);
}

void FilterSwitchDlg::UpdateControls() {
    SensorCaps* sensor = GetSensorCaps();
    if (sensor == NULL || GetDevicePort() == NULL || !IsOpen()) return;
    const int level = sensor->HasCapability(SensorCaps::kCapFilterSwitch);
    if (level < 1) {
        DisableAll();
        m_readRequested = 0;
        return;
    }
    if (!m_readRequested) {
        // The dialog became usable again: the sensor may have changed.
        GetDevicePort()->ReadFilterSwitch();
        SendLevelSwitch();
        m_readRequested = 1;
        m_showCopy = TRUE;
    }
    for (int id : kButtons) EnableItem(id, TRUE);
    for (int id = IDC_FILTER_RESERVE_FIRST; id <= IDC_FILTER_RESERVE_LAST; ++id) EnableItem(id, level > 1);
    BYTE bytes[2];
    m_working.GetFilterSwitch(bytes);
    for (const FilterBit& bit : kFilterBits) {
        EnableItem(bit.id, TRUE);
        if (m_showCopy) TickItem(bit.id, (bytes[bit.byte] & bit.mask) != 0);
    }
    m_showCopy = FALSE;
}

// The boxes show a new working copy at the next update; until it changes
// they keep what the user ticked, though the frame updates the dialog on
// every version report.
void FilterSwitchDlg::SetWorkingCopy(const BYTE* bytes) {
    m_working.SetFilterSwitch(bytes);
    m_showCopy = TRUE;
}

void FilterSwitchDlg::DisableAll() {
    for (int id : kButtons) EnableItem(id, FALSE);
    for (const FilterBit& bit : kFilterBits) EnableItem(bit.id, FALSE);
}

void FilterSwitchDlg::LoadSwitchState(const BYTE*) {
    // The sensor's capabilities already hold what the report carried.
    if (GetSensorCaps() == NULL || GetDevicePort() == NULL) return;
    BYTE bytes[2];
    GetSensorCaps()->GetFilterSwitch(bytes);
    SetWorkingCopy(bytes);
}

LRESULT FilterSwitchDlg::OnRead(WORD, WORD notifyCode, LPARAM) {
    if (notifyCode != BN_CLICKED) return 0;
    if (GetSensorCaps() != NULL) {
        BYTE bytes[2];
        GetSensorCaps()->GetFilterSwitch(bytes);
        SetWorkingCopy(bytes);
    }
    UpdateControls();
    return 0;
}

// The six boxes alone: every other bit of both bytes is 0, whatever the
// sensor reported.
void FilterSwitchDlg::BytesFromBoxes(BYTE* bytes) {
    bytes[0] = bytes[1] = 0;
    for (const FilterBit& bit : kFilterBits) SetBit(bytes, bit, IsItemTicked(bit.id));
}

LRESULT FilterSwitchDlg::WriteSwitches(WORD, WORD notifyCode, LPARAM) {
    if (notifyCode != BN_CLICKED) return 0;
    BYTE bytes[2];
    BytesFromBoxes(bytes);
    if (GetDevicePort() != NULL) {
        SetWorkingCopy(bytes);
        GetDevicePort()->WriteFilterSwitch(bytes);
    }
    UpdateControls();
    return 0;
}

void FilterSwitchDlg::SendLevelSwitch() {
    GetDevicePort()->SetLevelSwitch(IsItemTicked(IDC_FILTER_LEVEL) ? 1 : 0);
}

LRESULT FilterSwitchDlg::OnLevel(WORD, WORD, LPARAM) {
    if (GetDevicePort() != NULL) SendLevelSwitch();
    return 0;
}

LRESULT FilterSwitchDlg::OnWriteResult(DWORD result) {
    if (ReportWriteResult(result) && GetSensorCaps() != NULL) {
        BYTE bytes[2];
        m_working.GetFilterSwitch(bytes);
        GetSensorCaps()->SetFilterSwitch(bytes);
    }
    return 1;
}
