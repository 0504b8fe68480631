#ifndef DIALOGS_PLAYBACKDLG_H
#define DIALOGS_PLAYBACKDLG_H

#include "framework/Dialog.h"

class MeasuringData;

// Plays the recorded scans back one after another.
// Template 640; its placement is kept in the settings section "PlayBackDlg".
// User-interface thread only.
class PlayBackDlg : public Dialog {
public:
    static const WORD kTemplate = 640;

    PlayBackDlg();
    ~PlayBackDlg() override;

    virtual void SetMeasuringData(MeasuringData* measuringData);
    // Drops the owner window and every collaborator.
    virtual void Reset();

private:
    MeasuringData* m_measuringData;
};

#endif
