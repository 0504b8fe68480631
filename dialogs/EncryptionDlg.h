#ifndef DIALOGS_ENCRYPTIONDLG_H
#define DIALOGS_ENCRYPTIONDLG_H

#include "framework/Dialog.h"

// Converts firmware between S-record text and the enciphered update form.
// Template 652; its placement is kept in the settings section "EncryptionDlg".
// User-interface thread only.
class EncryptionDlg : public Dialog {
public:
    static const WORD kTemplate = 652;

    EncryptionDlg();
    ~EncryptionDlg() override;

    // Drops the owner window.
    virtual void Reset();
};

#endif
