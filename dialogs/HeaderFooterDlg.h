#ifndef DIALOGS_HEADERFOOTERDLG_H
#define DIALOGS_HEADERFOOTERDLG_H

#include "framework/Dialog.h"
#include "framework/OwnedModule.h"

class HeaderFooterStore;

// Edits the printed page's header and footer: two multi-line rich edit boxes
// and a font button for each. The texts and fonts belong to the print view,
// which the dialog sees as a HeaderFooterStore; closing the dialog (close
// box or Escape) always hands the texts back, and a confirmed font chooser
// hands its font to the print view at once.
// Template 162; its placement is kept in the settings section "HeaderFooterDlg".
// User-interface thread only.
class HeaderFooterDlg : public Dialog {
public:
    static const WORD kTemplate = 162;

    // Loads the rich edit library, which registers the "RICHEDIT" class.
    HeaderFooterDlg();
    ~HeaderFooterDlg() override;

    virtual void SetPrintView(HeaderFooterStore* printView);
    // Drops the owner window and every collaborator.
    virtual void Reset();
    // Either font button: the font chooser on the print view's header or
    // footer font.
    virtual LRESULT ChooseHeaderFooterFont(WORD id, WORD notifyCode, LPARAM hwndCtl);
    // Runs the dialog modally and returns when it has ended: the window it
    // had (gone by then), or 0 without a print view or when the dialog
    // cannot be made.
    HWND Create(HINSTANCE instance, HWND parent) override;
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam) override;

private:
    std::string ItemText(int id);

    OwnedModule m_richEdit;
    HeaderFooterStore* m_printView;  // collaborator
    HWND m_shown;  // the last run's window
};

#endif
