#ifndef DIALOGS_CORRECTIONDLG_H
#define DIALOGS_CORRECTIONDLG_H

#include "dialogs/SensorDialog.h"

// Reads and writes the sensor's factory corrections.
// Template 646; its placement is kept in the settings section "CorrectionDlg".
// User-interface thread only.
class CorrectionDlg : public SensorDialog {
public:
    static const WORD kTemplate = 646;

    CorrectionDlg();
};

#endif
