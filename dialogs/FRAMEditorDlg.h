#ifndef DIALOGS_FRAMEDITORDLG_H
#define DIALOGS_FRAMEDITORDLG_H

#include "dialogs/SensorDialog.h"

// Reads, edits and writes words of the sensor's FRAM.
// Template 650; its placement is kept in the settings section "FRAMEditorDlg".
// User-interface thread only.
class FRAMEditorDlg : public SensorDialog {
public:
    static const WORD kTemplate = 650;

    FRAMEditorDlg();
};

#endif
