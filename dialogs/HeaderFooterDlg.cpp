#include "dialogs/HeaderFooterDlg.h"

HeaderFooterDlg::HeaderFooterDlg() : Dialog("HeaderFooterDlg"), m_printView(NULL) {}

HeaderFooterDlg::~HeaderFooterDlg() {}

void HeaderFooterDlg::SetPrintView(PrintView* printView) {
    m_printView = printView;
}

void HeaderFooterDlg::Reset() {
    SetParent(NULL);
    m_printView = NULL;
}
