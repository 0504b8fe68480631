#include "dialogs/HeaderFooterDlg.h"

#include "dialogs/HeaderFooterStore.h"
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

void HeaderFooterDlg::SetPrintView(HeaderFooterStore* printView) {
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
        const HeaderFooter shown = m_printView->GetHeaderFooter();
        SetDlgItemTextA(GetHwnd(), IDC_HEADER_TEXT, shown.headerText.c_str());
        SetDlgItemTextA(GetHwnd(), IDC_FOOTER_TEXT, shown.footerText.c_str());
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
        HeaderFooter edited = m_printView->GetHeaderFooter();
        edited.headerText = ItemText(IDC_HEADER_TEXT);
        edited.footerText = ItemText(IDC_FOOTER_TEXT);
        m_printView->SetHeaderFooter(edited);
    }
    return Dialog::OnDestroy(wParam, lParam);
}

LRESULT HeaderFooterDlg::ChooseHeaderFooterFont(WORD id, WORD /*notifyCode*/, LPARAM /*hwndCtl*/) {
    if (m_printView == NULL) return 0;
    if (id != IDC_HEADER_FONT && id != IDC_FOOTER_FONT) return 0;
    // The chooser works on a copy: some implementations write the font
    // while the user browses, a cancel must leave it as it was, and the
    // preview may be painting with it meanwhile.
    HeaderFooter edited = m_printView->GetHeaderFooter();
    LOGFONTA* font = id == IDC_HEADER_FONT ? &edited.headerFont : &edited.footerFont;
    CHOOSEFONTA choose = {};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = GetHwnd();
    choose.lpLogFont = font;
    choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (ChooseFontA(&choose)) m_printView->SetHeaderFooter(edited);
    return 0;
}
