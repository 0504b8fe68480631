#include "mainwindow/print/PrintView.h"

#include "framework/CriticalLock.h"
#include "framework/GdiObject.h"
#include "framework/Geometry.h"
#include "framework/MetaFileDc.h"
#include "framework/OwnedDc.h"
#include "framework/WindowDc.h"
#include "mainwindow/print/PrintControls.h"
#include "mainwindow/print/PrintLayout.h"
#include "mainwindow/view/ScanView.h"
#include "resources/ToolBandIds.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kDocumentName[] = "ZOR";
// Two strings, each NUL-terminated, then a second NUL (the literal's own).
const char kMetaFileDescription[] = "ZOR Configurator\0ScreenShot\0";

void DefaultFont(LOGFONTA* font) {
    memset(font, 0, sizeof *font);
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof *font, font);
}

// A black one-pixel frame around rect, inside it.
void Frame(HDC dc, const RECT& rect) {
    SelectScope pen(dc, GetStockObject(BLACK_PEN));
    SelectScope brush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

// A copy of font (or of the context's current one) at num / den of its
// height, never under one pixel.
LOGFONTA ScaledFont(HDC dc, const LOGFONTA* font, int num, int den) {
    LOGFONTA scaled = {};
    if (font != NULL) {
        scaled = *font;
    } else {
        GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof scaled, &scaled);
    }
    scaled.lfHeight = PrintLayout::MulDivOrZero(scaled.lfHeight, num, den);
    if (scaled.lfHeight >= 0) scaled.lfHeight = -1;
    return scaled;
}

// The height of text's lines in the context's current font.
int LinesHeight(HDC dc, const char* text, int width, UINT format) {
    RECT measured = {0, 0, width, 0};
    return DrawTextA(dc, text, static_cast<int>(strlen(text)), &measured, (format & ~DT_BOTTOM) | DT_CALCRECT);
}

}  // namespace

PrintView::PrintView() : m_rebar(NULL), m_scanView(NULL), m_page(), m_previewZoom(100) {
    DefaultFont(&m_headerFooter.headerFont);
    DefaultFont(&m_headerFooter.footerFont);
}

PrintView::~PrintView() {}

void PrintView::SetScanView(ScanView* view) {
    m_scanView = view;
}

void PrintView::SetRebar(PrintControls* rebar) {
    m_rebar = rebar;
}

void PrintView::ReleaseObjects() {
    m_rebar = NULL;
    m_scanView = NULL;
}

// --- The print band's combo boxes -------------------------------------------

int PrintView::GetSelectedPrinter(std::string* name, RECT** margins) {
    if (m_rebar == NULL) return 0;
    // Index 0 is the first printer; only CB_ERR means none.
    LRESULT index = m_rebar->SendItemMessage(IDC_PRINTER, CB_GETCURSEL, 0, 0);
    if (index < 0) return 0;
    LPARAM data = 0;
    if (!GetComboData(IDC_PRINTER, static_cast<int>(index), &data) || data == 0) return 0;
    *name = GetComboText(IDC_PRINTER, static_cast<int>(index));
    *margins = reinterpret_cast<RECT*>(data);
    return name->empty() ? 0 : 1;
}

std::string PrintView::GetComboText(UINT comboId, int index) {
    if (m_rebar == NULL) return std::string();
    LRESULT length = m_rebar->SendItemMessage(comboId, CB_GETLBTEXTLEN, index, 0);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    m_rebar->SendItemMessage(comboId, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(strlen(text.c_str()));
    return text;
}

int PrintView::GetComboData(UINT comboId, int index, LPARAM* data) {
    if (m_rebar == NULL || m_rebar->GetItemWindow(comboId) == NULL) return 0;
    LRESULT value = m_rebar->SendItemMessage(comboId, CB_GETITEMDATA, index, 0);
    if (value == CB_ERR) return 0;
    *data = value;
    return 1;
}

HWND PrintView::ZoomCombo() {
    return m_rebar != NULL ? m_rebar->GetItemWindow(IDC_PRINT_ZOOM) : NULL;
}

int PrintView::ZoomFromText(const char* text) {
    unsigned long value = strtoul(text != NULL ? text : "", NULL, 10);
    if (value < static_cast<unsigned long>(kMinZoom)) return kMinZoom;
    if (value > static_cast<unsigned long>(kMaxZoom)) return kMaxZoom;
    return static_cast<int>(value);
}

int PrintView::GetZoom() {
    HWND combo = ZoomCombo();
    if (combo == NULL) return kMinZoom;
    LONG zoom = GetWindowLongA(combo, GWL_USERDATA);
    if (zoom < kMinZoom) return kMinZoom;
    if (zoom > kMaxZoom) return kMaxZoom;
    return static_cast<int>(zoom);
}

void PrintView::ShowZoom() {
    HWND combo = ZoomCombo();
    if (combo == NULL) return;
    char text[16];
    snprintf(text, sizeof text, "%d%%", GetZoom());
    SetWindowTextA(combo, text);
}

void PrintView::OnZoomEdit() {
    HWND combo = ZoomCombo();
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

void PrintView::StoreZoom(const std::string& text) {
    HWND combo = ZoomCombo();
    if (combo != NULL) SetWindowLongA(combo, GWL_USERDATA, ZoomFromText(text.c_str()));
}

void PrintView::ZoomToFit() {
    HWND combo = ZoomCombo();
    if (combo == NULL || m_scanView == NULL) return;
    int zoom = CalcFitZoom();
    if (zoom < kMinZoom) zoom = kMinZoom;
    if (zoom > kMaxZoom) zoom = kMaxZoom;
    SetWindowLongA(combo, GWL_USERDATA, zoom);
    // The band passes it on to the frame, which shows and applies the zoom.
    PostMessageA(::GetParent(combo), WM_COMMAND, MAKEWPARAM(IDC_PRINT_ZOOM, CBN_SETFOCUS),
                 reinterpret_cast<LPARAM>(combo));
}

int PrintView::CalcFitZoom() {
    if (m_rebar == NULL || m_scanView == NULL) return 0;
    RECT printable;
    int caps[kCapCount];
    if (!GetPageMetrics(&printable, caps)) return 0;
    RECT content;
    m_scanView->GetContentExtents(&content);
    SIZE screen;
    GetScreenDpi(&screen);
    return PrintLayout::FitZoom(printable, content, caps, screen);
}

// --- The selected printer ---------------------------------------------------

int PrintView::DocumentProperties(HWND owner) {
    std::string name;
    RECT* margins = NULL;
    if (!GetSelectedPrinter(&name, &margins)) return 0;
    return ShowDocumentProperties(name.c_str(), margins, owner) ? 1 : 0;
}

int PrintView::PageSetup(HWND owner) {
    std::string name;
    RECT* margins = NULL;
    if (!GetSelectedPrinter(&name, &margins)) return 0;
    return ShowPageSetup(name.c_str(), margins, owner) ? 1 : 0;
}

int PrintView::GetPageMetrics(RECT* printable, int caps[kCapCount]) {
    std::string name;
    RECT* margins = NULL;
    if (!GetSelectedPrinter(&name, &margins)) return 0;
    return PrinterHelper::GetPageMetrics(name.c_str(), margins, printable, caps) ? 1 : 0;
}

void PrintView::GetScreenDpi(SIZE* dpi) {
    WindowDc screen(GetDesktopWindow());
    dpi->cx = GetDeviceCaps(screen, LOGPIXELSX);
    dpi->cy = GetDeviceCaps(screen, LOGPIXELSY);
}

// --- Header and footer -----------------------------------------------------

LOGFONTA* PrintView::GetHeaderFont() {
    return &m_headerFooter.headerFont;
}

LOGFONTA* PrintView::GetFooterFont() {
    return &m_headerFooter.footerFont;
}

const char* PrintView::GetHeaderText() {
    return m_headerFooter.headerText.c_str();
}

const char* PrintView::GetFooterText() {
    return m_headerFooter.footerText.c_str();
}

const char* PrintView::SetHeaderText(const char* text) {
    return StoreText(&m_headerFooter.headerText, text);
}

const char* PrintView::SetFooterText(const char* text) {
    return StoreText(&m_headerFooter.footerText, text);
}

// Only the user-interface thread writes them: its reads need no lock.
HeaderFooter PrintView::GetHeaderFooter() {
    return m_headerFooter;
}

void PrintView::SetHeaderFooter(const HeaderFooter& headerFooter) {
    CriticalLock::Hold hold(PreviewLock());
    m_headerFooter = headerFooter;
}

const char* PrintView::StoreText(std::string* field, const char* text) {
    CriticalLock::Hold hold(PreviewLock());
    *field = text != NULL ? text : "";
    return field->c_str();
}

// The render thread paints the preview under the view's lock.
CriticalLock& PrintView::PreviewLock() {
    return m_scanView != NULL ? m_scanView->ViewLock() : m_unsharedLock;
}

int PrintView::DrawTextScaled(HDC dc, const char* text, RECT* rect, UINT format, const LOGFONTA* font, int num,
                              int den) {
    if (text == NULL || text[0] == '\0') return 0;
    const LOGFONTA scaled = ScaledFont(dc, font, num, den);
    OwnedFont made(CreateFontIndirectA(&scaled));
    SelectScope selected(dc, made);
    const int saved = SaveDC(dc);
    const int length = static_cast<int>(strlen(text));
    int height = 0;
    if ((format & DT_BOTTOM) != 0 && (format & DT_SINGLELINE) == 0) {
        height = LinesHeight(dc, text, RectWidth(rect), format);
        // Too tall: the first lines are cut off, the last ones sit on the edge.
        if (height > RectHeight(rect)) IntersectClipRect(dc, rect->left, rect->top, rect->right, rect->bottom);
        rect->top = rect->bottom - height;
    }
    const int drawn = DrawTextA(dc, text, length, rect, format & ~DT_BOTTOM);
    RestoreDC(dc, saved);
    if ((format & DT_SINGLELINE) != 0) return scaled.lfHeight < 0 ? -scaled.lfHeight : scaled.lfHeight;
    return height != 0 ? height : drawn;
}

// --- Page, preview and metafile ----------------------------------------------

int PrintView::TextHeight(HDC dc, const std::string& text, int width, const LOGFONTA& font, int num, int den) {
    if (text.empty()) return 0;
    const LOGFONTA scaled = ScaledFont(dc, &font, num, den);
    OwnedFont made(CreateFontIndirectA(&scaled));
    SelectScope selected(dc, made);
    return LinesHeight(dc, text.c_str(), width, DT_CENTER);
}

RECT PrintView::PlaceContent(HDC dc, const RECT& printable, double sx, double sy, int num, int den) {
    RECT placed = printable;
    if (m_scanView != NULL) m_scanView->DrawTo(NULL, &placed, sx, sy);
    const int width = RectWidth(&printable);
    return PrintLayout::ClearOfHeaderAndFooter(
        printable, placed, TextHeight(dc, m_headerFooter.headerText, width, m_headerFooter.headerFont, num, den),
        TextHeight(dc, m_headerFooter.footerText, width, m_headerFooter.footerFont, num, den));
}

void PrintView::DrawPage(HDC dc, const RECT& printable, double sx, double sy, int num, int den) {
    RECT content = PlaceContent(dc, printable, sx, sy, num, den);
    RECT header = {printable.left, printable.top, printable.right, content.top};
    RECT footer = {printable.left, content.bottom, printable.right, printable.bottom};
    DrawTextScaled(dc, m_headerFooter.headerText.c_str(), &header, DT_CENTER | DT_BOTTOM,
                   &m_headerFooter.headerFont, num, den);
    DrawTextScaled(dc, m_headerFooter.footerText.c_str(), &footer, DT_CENTER, &m_headerFooter.footerFont, num,
                   den);
    // The view centres its content in the rectangle and cuts it there.
    m_scanView->DrawTo(dc, &content, sx, sy);
    Frame(dc, content);
}

int PrintView::Print() {
    if (m_scanView == NULL) return 0;
    std::string name;
    RECT* margins = NULL;
    if (!GetSelectedPrinter(&name, &margins)) return 0;
    RECT printable;
    int caps[kCapCount];
    if (!PrinterHelper::GetPageMetrics(name.c_str(), margins, &printable, caps)) return 0;
    OwnedDc dc(CreatePrinterDC(name.c_str()));
    if (!dc.Valid()) return 0;
    SIZE screen;
    GetScreenDpi(&screen);
    const int zoom = GetZoom();
    if (StartDocument(dc, kDocumentName) <= 0) return 0;
    if (StartPage(dc) <= 0) {
        AbortDoc(dc);
        return 0;
    }
    DrawPage(dc, printable, PrintLayout::PaperScale(caps[PrintLayout::kDpiX], zoom, screen.cx),
             PrintLayout::PaperScale(caps[PrintLayout::kDpiY], zoom, screen.cy), caps[PrintLayout::kDpiY], screen.cy);
    if (EndPage(dc) <= 0) {
        AbortDoc(dc);
        return 0;
    }
    return EndDoc(dc) > 0 ? 1 : 0;
}

int PrintView::PaintPreview(int flags) {
    if (m_rebar == NULL || m_scanView == NULL) return 0;
    // The printer is asked before the lock is taken: making its context takes time.
    PreviewPage page = {};
    if ((flags & kRefreshPage) != 0) {
        std::string name;
        RECT* margins = NULL;
        if (!GetSelectedPrinter(&name, &margins)) return 0;
        page.margins = *margins;
        PrinterHelper::GetPageMetrics(name.c_str(), margins, NULL, page.caps);
        GetScreenDpi(&page.screenDpi);
    }
    const int zoom = (flags & kRefreshZoom) != 0 ? GetZoom() : 0;
    HWND view = m_scanView->GetHwnd();
    RECT client = {};
    if (view != NULL) GetClientRect(view, &client);

    {
        CriticalLock::Hold hold(m_scanView->ViewLock());
        if ((flags & kRefreshPage) != 0) m_page = page;
        if ((flags & kRefreshZoom) != 0) m_previewZoom = zoom;
        HDC dc = m_scanView->GetCompositeDC();
        if (dc != NULL) DrawPreview(dc, client.right, client.bottom);
    }
    if (view != NULL) InvalidateRect(view, NULL, FALSE);
    return 1;
}

// Under the view's lock.
void PrintView::DrawPreview(HDC dc, int width, int height) {
    const int* caps = m_page.caps;
    const int pageW = caps[PrintLayout::kPageWidth], pageH = caps[PrintLayout::kPageHeight];
    SelectScope pen(dc, GetStockObject(BLACK_PEN));
    SelectScope brush(dc, GetStockObject(NULL_BRUSH));
    RECT client = {0, 0, width, height};
    FillRect(dc, &client, GetSysColorBrush(COLOR_APPWORKSPACE));
    if (pageW <= 0 || pageH <= 0) return;

    RECT page = PrintLayout::FitPage(width, height, pageW, pageH);
    Rectangle(dc, page.left - 1, page.top - 1, page.right + 1, page.bottom + 1);
    RECT shadow = {page.left + 3, page.top + 3, page.right + 4, page.bottom + 4};
    FillRect(dc, &shadow, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    FillRect(dc, &page, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    const RECT printable = PrintLayout::PrintableOnPage(page, m_page.margins, caps);
    const SIZE screen = m_page.screenDpi;
    const double sx = PrintLayout::PreviewScale(caps[PrintLayout::kDpiX], m_previewZoom, screen.cx,
                                                RectWidth(&page), pageW);
    const double sy = PrintLayout::PreviewScale(caps[PrintLayout::kDpiY], m_previewZoom, screen.cy,
                                                RectHeight(&page), pageH);
    // Text shrinks with the page as the content does; both are limited to int.
    const LONGLONG num = static_cast<LONGLONG>(RectHeight(&page)) * caps[PrintLayout::kDpiY];
    const LONGLONG den = static_cast<LONGLONG>(pageH) * screen.cy;
    DrawPage(dc, printable, sx, sy, static_cast<int>(num), static_cast<int>(den));
}

int PrintView::SaveAsEnhMetaFile(const char* path) {
    if (m_scanView == NULL || path == NULL) return 0;
    std::string name;
    RECT* margins = NULL;
    if (!GetSelectedPrinter(&name, &margins)) return 0;
    OwnedDc reference(CreatePrinterDC(name.c_str()));
    if (!reference.Valid()) return 0;
    int caps[kCapCount];
    ReadCaps(reference, caps);
    SIZE screen;
    GetScreenDpi(&screen);
    RECT client = {};
    if (m_scanView->GetHwnd() != NULL) GetClientRect(m_scanView->GetHwnd(), &client);
    const RECT frame = PrintLayout::MetaFileFrame(client, screen);
    RECT drawing = PrintLayout::MetaFileDrawing(client, caps, screen);
    MetaFileDc metafile(reference, path, &frame, kMetaFileDescription);
    if (!metafile.Valid()) return 0;
    m_scanView->DrawTo(metafile.Get(), &drawing, PrintLayout::PaperScale(caps[PrintLayout::kDpiX], 100, screen.cx),
                       PrintLayout::PaperScale(caps[PrintLayout::kDpiY], 100, screen.cy));
    return metafile.Close() ? 1 : 0;
}
