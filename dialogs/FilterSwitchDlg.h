#ifndef DIALOGS_FILTERSWITCHDLG_H
#define DIALOGS_FILTERSWITCHDLG_H

#include "dialogs/SensorDialog.h"

// Shows and writes the sensor's filter switches and its level switch.
// Template 172; its placement is kept in the settings section "FilterSwitchDlg".
// User-interface thread only.
class FilterSwitchDlg : public SensorDialog {
public:
    static const WORD kTemplate = 172;

    FilterSwitchDlg();

    // The sensor's two filter-switch bytes.
    virtual void LoadSwitchState(const BYTE* bytes);
    virtual void OnWriteResult(DWORD result);
};

#endif
