#ifndef DIALOGS_RAMEDITORDLG_H
#define DIALOGS_RAMEDITORDLG_H

#include "dialogs/SensorDialog.h"

// Reads, edits and writes words of the sensor's RAM.
// Template 649; its placement is kept in the settings section "RAMEditorDlg".
// User-interface thread only.
class RAMEditorDlg : public SensorDialog {
public:
    static const WORD kTemplate = 649;

    RAMEditorDlg();
};

#endif
