#ifndef DIALOGS_RECORDDLG_H
#define DIALOGS_RECORDDLG_H

#include "dialogs/SensorDialog.h"

class ScanData;

// Records realtime scans into the measuring data.
// Template 641; its placement is kept in the settings section "RecordDlg".
// User-interface thread only.
class RecordDlg : public SensorDialog {
public:
    static const WORD kTemplate = 641;

    RecordDlg();

    // 1 while scans are being recorded.
    virtual int IsRecording();
    // A realtime scan while recording.
    virtual void OnScan(const ScanData& scan);
};

#endif
