#ifndef DIALOGS_IOTESTDLG_H
#define DIALOGS_IOTESTDLG_H

#include "dialogs/SensorDialog.h"

// Shows and forces the sensor's inputs and outputs.
// Template 643; its placement is kept in the settings section "IOTestDlg".
// User-interface thread only.
class IOTestDlg : public SensorDialog {
public:
    static const WORD kTemplate = 643;

    IOTestDlg();

    // The sensor's I/O state byte and its two output bytes.
    virtual void ShowState(BYTE state, BYTE b, BYTE c);
};

#endif
