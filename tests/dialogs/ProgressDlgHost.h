#ifndef TESTS_DIALOGS_PROGRESSDLGHOST_H
#define TESTS_DIALOGS_PROGRESSDLGHOST_H

#include <windows.h>

#include "dialogs/ProgressDlg.h"
#include "tests/protocol/TestHost.h"

// The test host with the real progress dialog, started and ended as the
// application does it: on a thread of its own, owned by the window given.
// The dialog only needs a message pump to be there, not to run.
class ProgressDlgHost : public TestHost {
public:
    ProgressView* BeginProgress(HWND owner) override {
        ProgressDlg* dialog = new ProgressDlg;
        dialog->SetApplication(this);
        if (dialog->Start(GetModuleHandleA(NULL), owner) == NULL) {
            delete dialog;
            return NULL;
        }
        return dialog;
    }
    BOOL EndProgress(ProgressView* dialog) override {
        if (dialog == NULL) return FALSE;
        dialog->End();
        delete dialog;
        return TRUE;
    }
};

#endif
