#include "dialogs/PlayBackDlg.h"

#include "protocol/DeviceMessages.h"
#include "resources/resource.h"
#include "sensor/MeasuringData.h"

#include <commctrl.h>

#include <cstdio>

namespace {

const int kThumbLength = 16;

}  // namespace

PlayBackDlg::PlayBackDlg() : SensorDialog("PlayBackDlg"), m_index(0), m_state(kStopped) {
    AddMessageHandler(WM_HSCROLL, Handler(&PlayBackDlg::OnHScroll));
    AddMessageHandler(WM_TIMER, Handler(&PlayBackDlg::OnTimer));
    AddCommandHandler(IDC_PLAY_BACK_PLAY, Command(&PlayBackDlg::OnPlay));
    AddCommandHandler(IDC_PLAY_BACK_PAUSE, Command(&PlayBackDlg::OnPause));
    AddCommandHandler(IDC_PLAY_BACK_STOP, Command(&PlayBackDlg::OnStop));
}

HWND PlayBackDlg::Create(HINSTANCE instance, HWND parent) {
    if (GetMeasuringData() == NULL) return NULL;
    if (IsOpen()) return GetHwnd();
    SetInstance(instance);
    SetParent(parent);
    DoModal(MAKEINTRESOURCEA(kTemplate), parent);
    return GetHwnd();
}

BOOL PlayBackDlg::Destroy() {
    if (!IsOpen()) return FALSE;
    EndDialog(GetHwnd(), 0);
    return TRUE;
}

DWORD PlayBackDlg::ScanCount() {
    return GetMeasuringData() != NULL ? GetMeasuringData()->Count() : 0;
}

LRESULT PlayBackDlg::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    const DWORD count = ScanCount();
    // The data may have been cleared or replaced since the last opening.
    if (m_index >= count) m_index = 0;
    // Closed while playing: no timer runs any more, so it goes on as paused.
    if (m_state == kPlaying) m_state = kPaused;
    HWND slider = GetDlgItem(GetHwnd(), IDC_PLAY_BACK_SLIDER);
    SendMessageA(slider, TBM_SETTHUMBLENGTH, kThumbLength, 0);
    SendMessageA(slider, TBM_SETRANGEMIN, FALSE, 0);
    if (count > 0) SendMessageA(slider, TBM_SETRANGEMAX, FALSE, count - 1);
    SendMessageA(slider, TBM_SETLINESIZE, 0, 1);
    if (count > 0) SendMessageA(slider, TBM_SETPAGESIZE, 0, count / 10);
    SendMessageA(slider, TBM_SETPOS, TRUE, 0);
    ShowCurrent();
    UpdateButtons();
    return Dialog::OnInitDialog(wParam, lParam);
}

void PlayBackDlg::ShowCurrent() {
    SendDlgItemMessageA(GetHwnd(), IDC_PLAY_BACK_SLIDER, TBM_SETPOS, TRUE, m_index);
    MeasuringData* data = GetMeasuringData();
    if (data == NULL) return;
    const ScanData* scan = data->GetAt(m_index);
    if (GetParent() != NULL && scan != NULL)
        PostMessageA(GetParent(), WM_DEVICE_SCAN, reinterpret_cast<WPARAM>(scan), 0);
    char counter[32];
    snprintf(counter, sizeof counter, "%lu/%lu", static_cast<unsigned long>(m_index + 1),
             static_cast<unsigned long>(data->Count()));
    SetDlgItemTextA(GetHwnd(), IDC_PLAY_BACK_COUNTER, counter);
}

// The position is asked from the slider itself: the thumb value a scroll
// message carries has only 16 bits.
LRESULT PlayBackDlg::OnHScroll(WPARAM, LPARAM) {
    LRESULT pos = SendDlgItemMessageA(GetHwnd(), IDC_PLAY_BACK_SLIDER, TBM_GETPOS, 0, 0);
    m_index = pos > 0 ? static_cast<DWORD>(pos) : 0;
    ShowCurrent();
    return 0;
}

LRESULT PlayBackDlg::OnTimer(WPARAM, LPARAM) {
    if (GetMeasuringData() == NULL) return 0;
    if (++m_index < ScanCount()) {
        StartTimer();
    } else {
        StopTimer();
        m_index = 0;
        m_state = kStopped;
        UpdateButtons();
    }
    ShowCurrent();
    return 0;
}

// The base binds Escape and the close box of a modal dialog here.
LRESULT PlayBackDlg::OnCancelModal(WORD id, WORD notifyCode, LPARAM hwndCtl) {
    return OnClose(id, notifyCode, hwndCtl);
}

LRESULT PlayBackDlg::OnClose(WORD, WORD, LPARAM) {
    EndDialog(GetHwnd(), 0);
    return 0;
}

LRESULT PlayBackDlg::OnPlay(WORD, WORD, LPARAM) {
    ShowCurrent();
    m_state = kPlaying;
    UpdateButtons();
    StartTimer();
    return 0;
}

LRESULT PlayBackDlg::OnPause(WORD, WORD, LPARAM) {
    StopTimer();
    m_state = kPaused;
    UpdateButtons();
    return 0;
}

LRESULT PlayBackDlg::OnStop(WORD, WORD, LPARAM) {
    StopTimer();
    m_index = 0;
    ShowCurrent();
    m_state = kStopped;
    UpdateButtons();
    return 0;
}

void PlayBackDlg::StartTimer() {
    if (GetMeasuringData() == NULL) return;
    SetTimer(GetHwnd(), kTimerId, GetMeasuringData()->ModelConstant(), NULL);
}

void PlayBackDlg::StopTimer() {
    KillTimer(GetHwnd(), kTimerId);
}

void PlayBackDlg::UpdateButtons() {
    HWND dialog = GetHwnd();
    const int buttons[] = {IDC_PLAY_BACK_PLAY, IDC_PLAY_BACK_PAUSE, IDC_PLAY_BACK_STOP};
    const BOOL enabled[] = {m_state != kPlaying, m_state == kPlaying, m_state != kStopped};
    const HWND focus = GetFocus();
    for (int i = 0; i < 3; ++i) EnableWindow(GetDlgItem(dialog, buttons[i]), enabled[i]);
    // The focus on a button just disabled is lost or takes no keys, not even
    // Esc and Enter: it moves on to the first button that works.
    if (focus == NULL || ::GetParent(focus) != dialog || IsWindowEnabled(focus)) return;
    for (int i = 0; i < 3; ++i) {
        if (!enabled[i]) continue;
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, buttons[i])), TRUE);
        return;
    }
}

LRESULT PlayBackDlg::OnDestroy(WPARAM wParam, LPARAM lParam) {
    StopTimer();
    return Dialog::OnDestroy(wParam, lParam);
}
