#ifndef DIALOGS_FUNCTIONSETTINGDLG_H
#define DIALOGS_FUNCTIONSETTINGDLG_H

#include "dialogs/SensorDialog.h"
#include "sensor/SensorCaps.h"

// Edits the sensor's option byte in a working copy of its own (slow
// scanning and the synchronization mode) and sends it with "Setting". Bits
// 4-7 travel as the sensor reported them.
// Template 171; its placement is kept in the settings section "FunctionDlg",
// which it shares with the function writing dialog.
// User-interface thread only.
class FunctionSettingDlg : public SensorDialog {
public:
    static const WORD kTemplate = 171;

    FunctionSettingDlg();
    ~FunctionSettingDlg() override;

    // Modeless; 0 unless the sensor's capabilities and the device port are
    // linked; the open window when there is one.
    HWND Create(HINSTANCE instance, HWND parent) override;
    // Enables the controls the sensor supports and shows the working copy.
    void UpdateControls() override;
    // The sensor's answer to "Setting": on success it now holds the working copy.
    virtual LRESULT OnWriteResult(DWORD result);
    virtual void Refresh();
    virtual LRESULT OnSetting(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnSlowScanning(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnSynchronizationChanged(WORD id, WORD notifyCode, LPARAM hwndCtl);
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;

private:
    SensorCaps m_working;  // only its option byte is used
};

#endif
