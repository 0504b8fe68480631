#include "dialogs/AboutDlg.h"

AboutDlg::AboutDlg() : Dialog("AboutDlg") {}

AboutDlg::~AboutDlg() {}

void AboutDlg::Reset() {
    SetParent(NULL);
}
