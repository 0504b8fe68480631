#include "dialogs/HeaderFooterDlg.h"

#include "mainwindow/PrintView.h"
#include "resources/DialogIds.h"

#include <commdlg.h>

#include <string>

HeaderFooterDlg::HeaderFooterDlg() : Dialog("HeaderFooterDlg"), m_richEdit("riched32.dll"), m_printView(NULL), m_shown(NULL) {
    AddCommandHandler(IDC_HEADER_FONT, Command(&HeaderFooterDlg::ChooseHeaderFooterFont));
    AddCommandHandler(IDC_FOOTER_FONT, Command(&HeaderFooterDlg::ChooseHeaderFooterFont));
}

HeaderFooterDlg::~HeaderFooterDlg() {
    Destroy();
}

void HeaderFooterDlg::SetPrintView(PrintView* printView) {
    m_printView = printView;
}

void HeaderFooterDlg::Reset() {
    SetParent(NULL);
    m_printView = NULL;
}

HWND HeaderFooterDlg::Create(HINSTANCE instance, HWND parent) {
    if (m_printView == NULL) return NULL;
    if (IsOpen()) return GetHwnd();
    SetInstance(instance);
    SetParent(parent);
    m_shown = NULL;
    if (DoModal(MAKEINTRESOURCEA(kTemplate), parent) == -1) return NULL;
    return m_shown;
}

LRESULT HeaderFooterDlg::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    m_shown = GetHwnd();
    if (m_printView != NULL) {
        SetDlgItemTextA(GetHwnd(), IDC_HEADER_TEXT, m_printView->GetHeaderText());
        SetDlgItemTextA(GetHwnd(), IDC_FOOTER_TEXT, m_printView->GetFooterText());
    }
    return Dialog::OnInitDialog(wParam, lParam);
}

std::string HeaderFooterDlg::ItemText(int id) {
    HWND item = GetDlgItem(GetHwnd(), id);
    const int length = GetWindowTextLengthA(item);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(item, &text[0], length + 1);
    text.resize(strlen(text.c_str()));
    return text;
}

// Every way of closing keeps the edited texts: there is nothing to cancel.
LRESULT HeaderFooterDlg::OnDestroy(WPARAM wParam, LPARAM lParam) {
    if (m_printView != NULL) {
        m_printView->SetHeaderText(ItemText(IDC_HEADER_TEXT).c_str());
        m_printView->SetFooterText(ItemText(IDC_FOOTER_TEXT).c_str());
    }
    return Dialog::OnDestroy(wParam, lParam);
}

LRESULT HeaderFooterDlg::ChooseHeaderFooterFont(WORD id, WORD /*notifyCode*/, LPARAM /*hwndCtl*/) {
    if (m_printView == NULL) return 0;
    if (id != IDC_HEADER_FONT && id != IDC_FOOTER_FONT) return 0;
    // The chooser works on a copy: some implementations write the font
    // while the user browses, a cancel must leave it as it was, and the
    // preview may be painting with it meanwhile.
    LOGFONTA chosen = id == IDC_HEADER_FONT ? *m_printView->GetHeaderFont() : *m_printView->GetFooterFont();
    CHOOSEFONTA choose = {};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = GetHwnd();
    choose.lpLogFont = &chosen;
    choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (!ChooseFontA(&choose)) return 0;
    if (id == IDC_HEADER_FONT) {
        m_printView->SetHeaderFont(chosen);
    } else {
        m_printView->SetFooterFont(chosen);
    }
    return 0;
}
