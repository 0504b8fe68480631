#ifndef DIALOGS_ENCRYPTIONDLG_H
#define DIALOGS_ENCRYPTIONDLG_H

#include <string>

#include "framework/Dialog.h"

// Converts firmware between S-record text ("*.mot") and the enciphered
// update file ("*.tiv"): "Encrypt" reads S-record text and writes an update
// file, "Decrypt" the other way. Success shows "Finished"; a refused input
// shows why, and leaves no output file behind.
// Template 652; its placement is kept in the settings section "EncryptionDlg".
// User-interface thread only.
class EncryptionDlg : public Dialog {
public:
    static const WORD kTemplate = 652;
    // Characters read from each path box.
    static const int kPathChars = 255;

    EncryptionDlg();
    ~EncryptionDlg() override;

    // Modeless; the open window when it is open already.
    HWND Create(HINSTANCE instance, HWND parent) override;
    // Drops the owner window.
    virtual void Reset();
    virtual LRESULT BrowseInput(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT BrowseOutput(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT EncryptMotFile(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT DecryptToMotFile(WORD id, WORD notifyCode, LPARAM hwndCtl);

private:
    int ReadPaths(std::string* input, std::string* output);
    void Convert(bool encrypt);
    void Browse(int pathId, bool save);
};

#endif
