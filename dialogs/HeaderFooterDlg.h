#ifndef DIALOGS_HEADERFOOTERDLG_H
#define DIALOGS_HEADERFOOTERDLG_H

#include "framework/Dialog.h"

class PrintView;

// Edits the printed page's header and footer texts and fonts.
// Template 162; its placement is kept in the settings section "HeaderFooterDlg".
// User-interface thread only.
class HeaderFooterDlg : public Dialog {
public:
    static const WORD kTemplate = 162;

    HeaderFooterDlg();
    ~HeaderFooterDlg() override;

    virtual void SetPrintView(PrintView* printView);
    // Drops the owner window and every collaborator.
    virtual void Reset();

private:
    PrintView* m_printView;
};

#endif
