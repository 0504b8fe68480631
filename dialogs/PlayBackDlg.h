#ifndef DIALOGS_PLAYBACKDLG_H
#define DIALOGS_PLAYBACKDLG_H

#include "dialogs/SensorDialog.h"

// Plays the recorded scans back one after another.
// Template 640; its placement is kept in the settings section "PlayBackDlg".
// User-interface thread only.
class PlayBackDlg : public SensorDialog {
public:
    static const WORD kTemplate = 640;

    PlayBackDlg();
};

#endif
