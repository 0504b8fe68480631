#ifndef DIALOGS_COMMONITORDLG_H
#define DIALOGS_COMMONITORDLG_H

#include "dialogs/SensorDialog.h"

// Shows the frames on the serial line, decoded.
// Template 651; its placement is kept in the settings section "ComMonitorDlg".
// User-interface thread only.
class ComMonitorDlg : public SensorDialog {
public:
    static const WORD kTemplate = 651;

    ComMonitorDlg();
};

#endif
