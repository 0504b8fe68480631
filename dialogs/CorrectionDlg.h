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

    // The sensor's correction replies, as the frame hands them on.
    virtual void ShowDistanceTable(WPARAM table);
    virtual void ShowDistanceResult(WPARAM result);
    virtual void ShowAngle(BYTE angle);
    virtual void ShowCorrectionResult(WPARAM result);
    virtual void ShowSensitivity(BYTE sensitivity);
    virtual void ShowSensitivityResult(WPARAM result);
};

#endif
