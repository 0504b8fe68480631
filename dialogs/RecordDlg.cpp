#include "dialogs/RecordDlg.h"

#include "dialogs/DialogMessages.h"
#include "dialogs/RecordingView.h"
#include "framework/ChildWindow.h"
#include "framework/ProgressView.h"
#include "protocol/DeviceHost.h"
#include "protocol/DevicePort.h"
#include "resources/resource.h"
#include "sensor/MeasuringData.h"

RecordDlg::RecordDlg()
    : SensorDialog("RecordDlg"),
      m_scanView(NULL),
      m_mainFrame(NULL),
      m_progress(NULL),
      m_count(1),
      m_remaining(0) {
    AddMessageHandler(WM_PROGRESS_CANCEL, Handler(&RecordDlg::OnProgressCancel));
    AddCommandHandler(IDOK, Command(&RecordDlg::OnStart));
}

RecordDlg::~RecordDlg() {
    // The base destroys a window still open, but no longer reaches OnDestroy.
    StopRecording();
}

void RecordDlg::SetScanView(RecordingView* scanView) {
    m_scanView = scanView;
}

void RecordDlg::SetMainFrame(ChildWindow* mainFrame) {
    m_mainFrame = mainFrame;
}

void RecordDlg::Reset() {
    SensorDialog::Reset();
    m_scanView = NULL;
    m_mainFrame = NULL;
}

BOOL RecordDlg::HasCollaborators() const {
    return GetApplication() != NULL && m_mainFrame != NULL && GetDevicePort() != NULL && m_scanView != NULL &&
           GetMeasuringData() != NULL;
}

HWND RecordDlg::Create(HINSTANCE instance, HWND parent) {
    if (!HasCollaborators()) return NULL;
    if (IsOpen()) return GetHwnd();
    SetInstance(instance);
    SetParent(parent);
    DoModal(MAKEINTRESOURCEA(kTemplate), parent);
    return GetHwnd();
}

BOOL RecordDlg::Destroy() {
    if (!IsOpen()) return FALSE;
    EndDialog(GetHwnd(), 0);
    return TRUE;
}

int RecordDlg::Close() {
    if (IsOpen()) EndDialog(GetHwnd(), 0);
    return 0;
}

int RecordDlg::IsRecording() {
    return IsOpen() && m_remaining != 0;
}

LRESULT RecordDlg::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    SetDlgItemInt(GetHwnd(), IDC_RECORD_COUNT, m_count, FALSE);
    CheckRadioButton(GetHwnd(), IDC_RECORD_DISTANCE2, IDC_RECORD_ASIC_MEMORY, IDC_RECORD_DISTANCE);
    return Dialog::OnInitDialog(wParam, lParam);
}

BYTE RecordDlg::CheckedFormat() {
    if (IsDlgButtonChecked(GetHwnd(), IDC_RECORD_DISTANCE) == BST_CHECKED) return MeasuringData::kFormatDistance;
    if (IsDlgButtonChecked(GetHwnd(), IDC_RECORD_ASIC_MEMORY) == BST_CHECKED)
        return MeasuringData::kFormatAsicMemory;
    return MeasuringData::kFormatDistance2;
}

LRESULT RecordDlg::OnStart(WORD, WORD, LPARAM) {
    // A second Start would clear what is being recorded and switch realtime
    // on a second time, which the last scan's single "off" would not undo.
    if (m_remaining != 0 || !HasCollaborators()) return 0;
    long count = ItemNumber(IDC_RECORD_COUNT, kMaxCount + 1);
    if (count < 1 || count > static_cast<long>(kMaxCount)) {
        SetDlgItemInt(GetHwnd(), IDC_RECORD_COUNT, count < 1 ? 1 : kMaxCount, FALSE);
        return 0;
    }
    BeginRecording(static_cast<DWORD>(count));
    return 0;
}

void RecordDlg::BeginRecording(DWORD count) {
    MeasuringData* data = GetMeasuringData();
    data->SetSaveFormat(CheckedFormat());
    data->Clear();
    data->TakeSensorCaps(NULL);
    m_scanView->RedrawRecording();
    m_count = count;
    m_remaining = count;
    // The progress dialog comes first: a scan that is queued as soon as
    // realtime is on must find it.
    m_progress = GetApplication()->BeginProgress(GetHwnd());
    if (m_progress != NULL) {
        m_progress->SetCaption(MAKEINTRESOURCEA(IDS_RECORD_CAPTION));
        m_progress->SetMessage(MAKEINTRESOURCEA(IDS_RECORD_MESSAGE));
    }
    GetDevicePort()->SetRealtime(1);
    SetDlgItemInt(GetHwnd(), IDC_RECORD_COUNT, count, FALSE);
}

void RecordDlg::OnScan(const ScanData& scan) {
    if (m_remaining == 0 || !HasCollaborators()) return;
    GetMeasuringData()->Append(scan);
    m_scanView->DrawRecordedScan();
    if (m_remaining == 1) {
        // The dialog goes first and the progress dialog, which has the
        // keyboard, last: a window manager then hands the keyboard to the
        // main window, enabled again by then.
        PostRecordEnd();
        EndDialog(GetHwnd(), 0);
        StopRecording();
        return;
    }
    --m_remaining;
    if (m_progress != NULL) m_progress->SetPos((m_count - m_remaining) * 100 / m_count);
}

// Realtime off and the progress dialog gone; nothing when neither is on.
void RecordDlg::StopRecording() {
    if (m_remaining != 0 && GetDevicePort() != NULL) GetDevicePort()->SetRealtime(0);
    m_remaining = 0;
    if (m_progress != NULL && GetApplication() != NULL) GetApplication()->EndProgress(m_progress);
    m_progress = NULL;
}

void RecordDlg::PostRecordEnd() {
    if (m_mainFrame != NULL) m_mainFrame->PostMessage(WM_RECORD_END, 0, 0);
}

LRESULT RecordDlg::OnProgressCancel(WPARAM, LPARAM) {
    PostRecordEnd();
    EndDialog(GetHwnd(), 0);
    return 0;
}

LRESULT RecordDlg::OnDestroy(WPARAM wParam, LPARAM lParam) {
    StopRecording();
    return Dialog::OnDestroy(wParam, lParam);
}
