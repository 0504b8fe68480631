#include "dialogs/WaveFormCanvas.h"

#include <utility>

namespace {

const int kGridBottomGap = 20;  // pixels below the last grid line

// The stock OEM fixed font at the given height.
HFONT FixedFont(int height) {
    LOGFONTA face = {};
    GetObjectA(GetStockObject(OEM_FIXED_FONT), sizeof face, &face);
    face.lfHeight = -height;
    face.lfWidth = 0;
    return CreateFontIndirectA(&face);
}

}  // namespace

WaveFormCanvas::WaveFormCanvas() : m_fontHeight(0) {}

WaveFormCanvas::~WaveFormCanvas() {
    Release();
}

BOOL WaveFormCanvas::Make(HWND display) {
    Release();
    WindowDc screen(display);
    RECT desktop;
    GetClientRect(GetDesktopWindow(), &desktop);
    std::unique_ptr<MemoryDc> dc(new MemoryDc(screen));
    m_bitmap.Reset(CreateCompatibleBitmap(screen, desktop.right, desktop.bottom));
    m_font.Reset(FixedFont(kLargestFont));
    m_fontHeight = kLargestFont;
    if (!dc->Valid() || !m_bitmap.Valid() || !m_font.Valid() || !MeasureFonts(*dc)) {
        Release();
        return FALSE;
    }
    SelectObject(*dc, m_bitmap);
    SelectObject(*dc, m_font);
    SetBkMode(*dc, TRANSPARENT);
    m_dc = std::move(dc);
    return TRUE;
}

BOOL WaveFormCanvas::MeasureFonts(HDC dc) {
    m_fonts.clear();
    for (int height = kLargestFont; height >= kSmallestFont; --height) {
        OwnedFont font(FixedFont(height));
        if (!font.Valid()) return FALSE;
        SelectScope selected(dc, font);
        TEXTMETRICA metrics;
        if (!GetTextMetricsA(dc, &metrics)) return FALSE;
        m_fonts.push_back({height, metrics.tmAveCharWidth, metrics.tmHeight});
    }
    return TRUE;
}

void WaveFormCanvas::UseFont(int index) {
    if (!IsMade() || index < 0 || index >= static_cast<int>(m_fonts.size())) return;
    const int height = m_fonts[index].height;
    if (height == m_fontHeight) return;
    OwnedFont font(FixedFont(height));
    if (!font.Valid()) return;
    SelectObject(*m_dc, font);
    m_font = std::move(font);
    m_fontHeight = height;
}

void WaveFormCanvas::Release() {
    m_dc.reset();  // first: it selects its own tools back
    m_bitmap.Reset();
    m_font.Reset();
    m_fonts.clear();
    m_fontHeight = 0;
}

void WaveFormCanvas::Paint(const RECT& client) {
    if (!IsMade()) return;
    HDC dc = *m_dc;
    RECT all = {client.left, client.top, client.right + 1, client.bottom + 1};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    OwnedPen grid(CreatePen(PS_SOLID, 1, kGridColour));
    SelectScope pen(dc, grid);
    const int oldMix = SetROP2(dc, R2_MERGEPEN);
    for (int i = 1; i <= kGridLines; ++i) {
        const int y = (client.bottom - kGridBottomGap) * i / kGridLines;
        MoveToEx(dc, client.left, y, NULL);
        LineTo(dc, client.right, y);
    }
    SetROP2(dc, oldMix);
}

void WaveFormCanvas::Write(const std::string& text, const RECT& rect, COLORREF colour, UINT align) {
    if (!IsMade()) return;
    RECT area = rect;
    SetTextColor(*m_dc, colour);
    DrawTextA(*m_dc, text.c_str(), static_cast<int>(text.size()), &area, align | DT_NOPREFIX | DT_NOCLIP);
}

void WaveFormCanvas::CopyTo(HWND display, const RECT& client) {
    if (!IsMade()) return;
    WindowDc target(display);
    BitBlt(target, client.left, client.top, client.right - client.left, client.bottom - client.top, *m_dc,
           client.left, client.top, SRCCOPY);
}
