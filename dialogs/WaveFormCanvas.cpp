#include "dialogs/WaveFormCanvas.h"

#include <utility>

namespace {

const int kGridBottomGap = 20;  // pixels below the last grid line

}  // namespace

WaveFormCanvas::WaveFormCanvas() {}

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
    LOGFONTA face = {};
    GetObjectA(GetStockObject(OEM_FIXED_FONT), sizeof face, &face);
    face.lfHeight = kFontHeight;
    face.lfWidth = 0;
    m_font.Reset(CreateFontIndirectA(&face));
    if (!dc->Valid() || !m_bitmap.Valid() || !m_font.Valid()) {
        Release();
        return FALSE;
    }
    SelectObject(*dc, m_bitmap);
    SelectObject(*dc, m_font);
    SetBkMode(*dc, TRANSPARENT);
    m_dc = std::move(dc);
    return TRUE;
}

void WaveFormCanvas::Release() {
    m_dc.reset();  // first: it selects its own tools back
    m_bitmap.Reset();
    m_font.Reset();
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

void WaveFormCanvas::WriteRight(const std::string& text, const RECT& rect, COLORREF colour) {
    if (!IsMade()) return;
    RECT area = rect;
    SetTextColor(*m_dc, colour);
    DrawTextA(*m_dc, text.c_str(), static_cast<int>(text.size()), &area, DT_RIGHT | DT_WORDBREAK | DT_NOPREFIX);
}

void WaveFormCanvas::WriteAtBottom(const std::string& text, const RECT& rect, COLORREF colour) {
    if (!IsMade()) return;
    RECT measured = rect;
    const int length = static_cast<int>(text.size());
    DrawTextA(*m_dc, text.c_str(), length, &measured, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    const int height = measured.bottom - measured.top;
    RECT area = {rect.left, rect.bottom - height, rect.right, rect.bottom};
    SetTextColor(*m_dc, colour);
    DrawTextA(*m_dc, text.c_str(), length, &area, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

void WaveFormCanvas::CopyTo(HWND display, const RECT& client) {
    if (!IsMade()) return;
    WindowDc target(display);
    BitBlt(target, client.left, client.top, client.right - client.left, client.bottom - client.top, *m_dc,
           client.left, client.top, SRCCOPY);
}
