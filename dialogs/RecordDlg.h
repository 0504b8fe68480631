#ifndef DIALOGS_RECORDDLG_H
#define DIALOGS_RECORDDLG_H

#include "dialogs/SensorDialog.h"

// Records realtime scans into the measuring data.
// Template 641; its placement is kept in the settings section "RecordDlg".
// User-interface thread only.
class RecordDlg : public SensorDialog {
public:
    static const WORD kTemplate = 641;

    RecordDlg();
};

#endif
