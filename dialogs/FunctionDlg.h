#ifndef DIALOGS_FUNCTIONDLG_H
#define DIALOGS_FUNCTIONDLG_H

#include "dialogs/FunctionFile.h"
#include "dialogs/SensorDialog.h"
#include "sensor/SensorCaps.h"

// Edits the sensor's function word field by field in a working copy of its
// own: output logic, the functions of output 3 and input 4 and two option
// bits. The copy is taken from what the program knows of the sensor
// ("Read"), loaded from and saved to a function definition file, and
// written to the sensor. Bits 9-15 travel as the sensor reported them.
// Template 647; its placement is kept in the settings section "FunctionDlg",
// which the function setting dialog shares. User-interface thread only.
class FunctionDlg : public SensorDialog {
public:
    static const WORD kTemplate = 647;
    static const int kPathChars = 260;

    FunctionDlg();
    ~FunctionDlg() override;

    // Modeless; 0 unless the sensor's capabilities and the device port are
    // linked; the open window when there is one.
    HWND Create(HINSTANCE instance, HWND parent) override;
    // Enables the controls the sensor supports, shows the working copy and
    // drops the option bits the sensor lacks from it.
    void UpdateControls() override;
    // The sensor's answer to a write: on success it now holds the working copy.
    virtual LRESULT OnWriteResult(DWORD result);
    // "Open": 1 when a file was read, 0 when cancelled or unreadable.
    virtual LRESULT OpenFunctionFile(WORD id, WORD notifyCode, LPARAM hwndCtl);
    // "Save": 1 when written, 0 when cancelled or not written.
    virtual LRESULT SaveFunctionFile(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnRead(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT WriteFunction(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnOutputLogicChanged(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnOutput3Changed(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnInput4Changed(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnNoSidewaysExtension(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnLedHigh(WORD id, WORD notifyCode, LPARAM hwndCtl);
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;

private:
    // Runs the open or save dialog on the kept path; FALSE when cancelled.
    BOOL ChooseFile(BOOL save);
    void TakeSelection(int id, WORD notifyCode, void (SensorCaps::*set)(int));
    void TakeTick(int id, void (SensorCaps::*set)(int));

    char m_path[kPathChars];  // the last file chosen; also where the file dialogs start
    SensorCaps m_working;     // only its function word is used
    FunctionFile m_file;
};

#endif
