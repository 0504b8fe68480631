#ifndef DIALOGS_TIVINFODLG_H
#define DIALOGS_TIVINFODLG_H

#include "dialogs/SensorDialog.h"

// Shows the connected sensor's version, functions and trouble.
// Template 642; its placement is kept in the settings section "TivInfoDlg".
// User-interface thread only.
class TivInfoDlg : public SensorDialog {
public:
    static const WORD kTemplate = 642;

    TivInfoDlg();

    // What the frame hands on from the sensor side; each refreshes the
    // dialog's items while it is open.
    virtual void RefreshVersion();
    virtual void RefreshFunctions();
    virtual void OnFunctionWritten(DWORD result);
    virtual void SetTrouble(BYTE code);
    virtual void SetStatistics(const void* counts);
    virtual void OnFunctionsChanged();
};

#endif
