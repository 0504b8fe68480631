#ifndef DIALOGS_PLAYBACKDLG_H
#define DIALOGS_PLAYBACKDLG_H

#include "dialogs/SensorDialog.h"

// The modal "Play Back" dialog: replays the recorded scans of the measuring
// data in the main window with Play, Pause, Stop and a slider. Each shown
// scan is posted to the owner (the main frame) as WM_DEVICE_SCAN, as if it
// came from the sensor; the scan stays owned by the measuring data.
// Index and state outlive the window, so the next opening goes on from
// where the last one ended.
// Template 640; its placement is kept in the settings section "PlayBackDlg".
// User-interface thread only.
class PlayBackDlg : public SensorDialog {
public:
    static const WORD kTemplate = 640;
    static const UINT_PTR kTimerId = 1;

    enum State { kStopped = 0, kPlaying = 1, kPaused = 2 };

    PlayBackDlg();

    // Runs the dialog modally and returns when it has ended; 0 without data,
    // the open window when it is open already.
    HWND Create(HINSTANCE instance, HWND parent) override;
    BOOL Destroy() override;
    virtual LRESULT OnHScroll(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnClose(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnPlay(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnPause(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnStop(WORD id, WORD notifyCode, LPARAM hwndCtl);
    // Shows the scan at the index: slider, counter, and the scan posted.
    virtual void ShowCurrent();
    virtual void UpdateButtons();
    virtual void StartTimer();
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCancelModal(WORD id, WORD notifyCode, LPARAM hwndCtl) override;

    DWORD GetIndex() const { return m_index; }
    int GetState() const { return m_state; }

private:
    DWORD ScanCount();
    void StopTimer();

    DWORD m_index;  // 0-based index of the shown scan
    int m_state;    // State
};

#endif
