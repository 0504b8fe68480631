#ifndef DIALOGS_RECORDDLG_H
#define DIALOGS_RECORDDLG_H

#include "dialogs/SensorDialog.h"

class ChildWindow;
class ProgressView;
class RecordingView;
class ScanData;

// The modal "Record Measurement Data" dialog: the user gives a number of
// scans (1..10000) and a save format and presses Start; realtime scanning is
// switched on and the frame hands every scan that arrives to OnScan, which
// appends it to the measuring data and has the view draw it until the
// number is reached; the frame's window is then told WM_RECORD_END. A
// progress dialog shows how far it got and can cancel.
// Template 641; its placement is kept in the settings section "RecordDlg".
// User-interface thread only.
class RecordDlg : public SensorDialog {
public:
    static const WORD kTemplate = 641;
    static const DWORD kMaxCount = 10000;

    RecordDlg();
    ~RecordDlg() override;

    virtual void SetScanView(RecordingView* scanView);
    virtual void SetMainFrame(ChildWindow* mainFrame);
    void Reset() override;
    // Runs the dialog modally and returns when it has ended; 0 unless every
    // collaborator is set, the open window when it is open already.
    HWND Create(HINSTANCE instance, HWND parent) override;
    BOOL Destroy() override;
    // A realtime scan: appended and drawn while scans remain to be recorded.
    virtual void OnScan(const ScanData& scan);
    // 1 while the dialog is open and scans remain to be recorded.
    virtual int IsRecording();
    virtual LRESULT OnProgressCancel(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnStart(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual int Close();
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam) override;

private:
    BOOL HasCollaborators() const;
    BYTE CheckedFormat();
    void BeginRecording(DWORD count);
    void StopRecording();
    void PostRecordEnd();

    RecordingView* m_scanView;  // collaborator
    ChildWindow* m_mainFrame;   // collaborator: the main frame's window
    ProgressView* m_progress;   // of the running recording; 0 = none
    DWORD m_count;              // number to record, kept between openings
    DWORD m_remaining;          // scans still to record; 0 = not recording
};

#endif
