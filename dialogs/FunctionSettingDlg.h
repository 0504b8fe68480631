#ifndef DIALOGS_FUNCTIONSETTINGDLG_H
#define DIALOGS_FUNCTIONSETTINGDLG_H

#include "dialogs/SensorDialog.h"

// Edits and writes the sensor's option byte. Shares its settings section
// with the function writing dialog.
// Template 171; its placement is kept in the settings section "FunctionDlg".
// User-interface thread only.
class FunctionSettingDlg : public SensorDialog {
public:
    static const WORD kTemplate = 171;

    FunctionSettingDlg();

    virtual void OnWriteResult(DWORD result);
};

#endif
