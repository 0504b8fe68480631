#ifndef DIALOGS_WAVEFORMDLG_H
#define DIALOGS_WAVEFORMDLG_H

#include "dialogs/SensorDialog.h"

// Shows the statistics of the sensor's waveform reports at one step.
// Template 648; its placement is kept in the settings section "WaveFormDlg".
// User-interface thread only.
class WaveFormDlg : public SensorDialog {
public:
    static const WORD kTemplate = 648;

    WaveFormDlg();

    // The waveform record was refilled: one waveform, or the statistics
    // form when both selector values are shown.
    virtual void ShowWaveForm();
    virtual void ShowStatistics();
};

#endif
