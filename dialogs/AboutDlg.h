#ifndef DIALOGS_ABOUTDLG_H
#define DIALOGS_ABOUTDLG_H

#include "framework/Dialog.h"

// The modeless About box: the program's icon, its name and version, and the
// legal notice of its version block. OK, Escape and the close box end it.
// Template 645; its placement is kept in the settings section "AboutDlg".
// User-interface thread only.
class AboutDlg : public Dialog {
public:
    static const WORD kTemplate = 645;

    AboutDlg();
    ~AboutDlg() override;

    // Drops the owner window.
    virtual void Reset();
    // The string value key of the program's own version block, at most
    // size - 1 characters; 0 when there is none.
    virtual BOOL GetVersionString(const char* key, char* buffer, UINT size);
    HWND Create(HINSTANCE instance, HWND parent) override;
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
};

#endif
