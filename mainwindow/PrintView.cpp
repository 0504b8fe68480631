#include "mainwindow/PrintView.h"

#include "mainwindow/Rebar.h"
#include "resources/ToolBandIds.h"

#include <cstdio>
#include <cstdlib>

PrintView::PrintView() : m_rebar(NULL), m_scanView(NULL) {}

PrintView::~PrintView() {}

void PrintView::SetScanView(ScanView* view) {
    m_scanView = view;
}

void PrintView::SetRebar(Rebar* rebar) {
    m_rebar = rebar;
}

void PrintView::ReleaseObjects() {
    m_rebar = NULL;
    m_scanView = NULL;
}

int PrintView::ZoomFromText(const char* text) {
    unsigned long value = strtoul(text != NULL ? text : "", NULL, 10);
    if (value < static_cast<unsigned long>(kMinZoom)) return kMinZoom;
    if (value > static_cast<unsigned long>(kMaxZoom)) return kMaxZoom;
    return static_cast<int>(value);
}

int PrintView::GetZoom() {
    HWND combo = m_rebar != NULL ? m_rebar->GetItemWindow(IDC_PRINT_ZOOM) : NULL;
    if (combo == NULL) return kMinZoom;
    LONG zoom = GetWindowLongA(combo, GWL_USERDATA);
    if (zoom < kMinZoom) return kMinZoom;
    if (zoom > kMaxZoom) return kMaxZoom;
    return static_cast<int>(zoom);
}

void PrintView::ShowZoom() {
    HWND combo = m_rebar != NULL ? m_rebar->GetItemWindow(IDC_PRINT_ZOOM) : NULL;
    if (combo == NULL) return;
    char text[16];
    snprintf(text, sizeof text, "%d%%", GetZoom());
    SetWindowTextA(combo, text);
}

void PrintView::OnZoomEdit() {
    HWND combo = m_rebar != NULL ? m_rebar->GetItemWindow(IDC_PRINT_ZOOM) : NULL;
    if (combo == NULL) return;
    char text[64] = {};
    GetWindowTextA(combo, text, sizeof text);
    StoreZoom(text);
}

void PrintView::OnZoomSelect() {
    if (m_rebar == NULL) return;
    LRESULT index = m_rebar->SendItemMessage(IDC_PRINT_ZOOM, CB_GETCURSEL, 0, 0);
    if (index < 0) return;
    StoreZoom(GetComboText(IDC_PRINT_ZOOM, static_cast<int>(index)));
}

std::string PrintView::GetComboText(UINT comboId, int index) {
    if (m_rebar == NULL) return std::string();
    LRESULT length = m_rebar->SendItemMessage(comboId, CB_GETLBTEXTLEN, index, 0);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    m_rebar->SendItemMessage(comboId, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

void PrintView::StoreZoom(const std::string& text) {
    HWND combo = m_rebar != NULL ? m_rebar->GetItemWindow(IDC_PRINT_ZOOM) : NULL;
    if (combo != NULL) SetWindowLongA(combo, GWL_USERDATA, ZoomFromText(text.c_str()));
}

// The preview has no page to paint until printing is set up.
int PrintView::PaintPreview(int /*flags*/) {
    return 0;
}

// The fitted zoom follows the page, which printing sets up.
void PrintView::ZoomToFit() {}
