#ifndef DIALOGS_FUNCTIONDLG_H
#define DIALOGS_FUNCTIONDLG_H

#include "dialogs/SensorDialog.h"

// Edits and writes the sensor's function word.
// Template 647; its placement is kept in the settings section "FunctionDlg".
// User-interface thread only.
class FunctionDlg : public SensorDialog {
public:
    static const WORD kTemplate = 647;

    FunctionDlg();

    virtual void OnWriteResult(DWORD result);
};

#endif
