#ifndef DIALOGS_ABOUTDLG_H
#define DIALOGS_ABOUTDLG_H

#include "framework/Dialog.h"

// The About box with the program's version.
// Template 645; its placement is kept in the settings section "AboutDlg".
// User-interface thread only.
class AboutDlg : public Dialog {
public:
    static const WORD kTemplate = 645;

    AboutDlg();
    ~AboutDlg() override;

    // Drops the owner window.
    virtual void Reset();
};

#endif
