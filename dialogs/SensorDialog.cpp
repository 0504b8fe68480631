#include "dialogs/SensorDialog.h"

#include "framework/LanguageResource.h"
#include "framework/MsgBox.h"
#include "framework/ResourceString.h"
#include "resources/FunctionDialogIds.h"

SensorDialog::SensorDialog(const char* name)
    : Dialog(name),
      m_sensorCaps(NULL),
      m_devicePort(NULL),
      m_areaSet(NULL),
      m_measuringData(NULL),
      m_waveFormRecord(NULL),
      m_application(NULL) {}

SensorDialog::~SensorDialog() {}

void SensorDialog::Reset() {
    SetParent(NULL);
    m_sensorCaps = NULL;
    m_devicePort = NULL;
    m_areaSet = NULL;
    m_measuringData = NULL;
    m_waveFormRecord = NULL;
    m_application = NULL;
}

HWND SensorDialog::CreateWithSensor(HINSTANCE instance, HWND parent, WORD templateId) {
    if (m_sensorCaps == NULL || m_devicePort == NULL) return NULL;
    if (IsOpen()) return GetHwnd();
    return CreateWithPort(instance, parent, templateId);
}

BOOL SensorDialog::ReportWriteResult(DWORD result) {
    if (result == 1) {
        MsgBox().ShowIdOwner(GetHwnd(), IDS_FUNCTION_WRITE_DONE, MB_OK);
        return TRUE;
    }
    MsgBox().ShowIdOwner(GetHwnd(), IDS_FUNCTION_WRITE_FAILED, MB_OK | MB_ICONERROR);
    return FALSE;
}

void SensorDialog::EnableItem(int id, BOOL enable) {
    EnableWindow(GetDlgItem(GetHwnd(), id), enable);
}

void SensorDialog::TickItem(int id, BOOL ticked) {
    CheckDlgButton(GetHwnd(), id, ticked ? BST_CHECKED : BST_UNCHECKED);
}

BOOL SensorDialog::IsItemTicked(int id) {
    return IsDlgButtonChecked(GetHwnd(), id) == BST_CHECKED;
}

void SensorDialog::FillCombo(int id, const UINT* textIds, int count) {
    HWND combo = GetDlgItem(GetHwnd(), id);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    ResourceString text(LanguageResource().GetModule());
    for (int i = 0; i < count; ++i)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.Load(textIds[i])));
}

void SensorDialog::SelectListItem(int id, int index) {
    // Windows clears the selection for an index beyond the list; Wine keeps
    // the old one, so ask for no selection outright.
    LRESULT count = SendDlgItemMessageA(GetHwnd(), id, CB_GETCOUNT, 0, 0);
    if (index < 0 || index >= count) index = -1;
    SendDlgItemMessageA(GetHwnd(), id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int SensorDialog::SelectedListItem(int id) {
    LRESULT index = SendDlgItemMessageA(GetHwnd(), id, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

HWND SensorDialog::CreateWithPort(HINSTANCE instance, HWND parent, WORD templateId) {
    if (m_devicePort == NULL || IsOpen()) return NULL;
    SetInstance(instance);
    SetParent(parent);
    CreateModeless(MAKEINTRESOURCEA(templateId), parent);
    return GetHwnd();
}

long SensorDialog::LeadingNumber(const char* text, long limit) {
    if (text == NULL) return 0;
    while (*text == ' ' || *text == '\t') ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    long magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        // Saturates: further digits cannot bring the number back in range.
        if (magnitude < limit) magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > limit) magnitude = limit;
    }
    return negative ? -magnitude : magnitude;
}

long SensorDialog::ItemNumber(int id, long limit) {
    char text[64] = "";
    GetDlgItemTextA(GetHwnd(), id, text, sizeof text);
    return LeadingNumber(text, limit);
}
