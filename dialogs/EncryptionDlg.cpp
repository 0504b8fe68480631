#include "dialogs/EncryptionDlg.h"

EncryptionDlg::EncryptionDlg() : Dialog("EncryptionDlg") {}

EncryptionDlg::~EncryptionDlg() {}

void EncryptionDlg::Reset() {
    SetParent(NULL);
}
