#ifndef DIALOGS_NUMERICALINPUTDLG_H
#define DIALOGS_NUMERICALINPUTDLG_H

#include "dialogs/SensorDialog.h"

// Edits the current area's points and options as numbers, within what the
// connected sensor's capabilities allow.
// Template 644; its placement is kept in the settings section "NumericalInputDlg".
// User-interface thread only.
class NumericalInputDlg : public SensorDialog {
public:
    static const WORD kTemplate = 644;

    NumericalInputDlg();
};

#endif
