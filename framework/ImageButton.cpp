#include "framework/ImageButton.h"

#include "framework/ToolBarItem.h"

#include <commctrl.h>

namespace {

const DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
// Destination AND NOT source: clears the glyph where the mask is 1.
const DWORD kRopAndNotSource = 0x220326;
// The brush where the source is 0, the destination where it is 1.
const DWORD kRopBrushWhereZero = 0xB8074A;
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);

// A monochrome source maps 1 to the destination's background colour and 0
// to its text colour: white and black make masks act as all-ones and zeros.
void PrepareForMasks(HDC dc) {
    SetBkColor(dc, kWhite);
    SetTextColor(dc, kBlack);
}

}  // namespace

ImageButton::ImageButton() : m_state(0), m_kind(0), m_tracking(FALSE) {
    AddMessageHandler(WM_COMMAND, Handler(&ImageButton::OnCommand));
    AddMessageHandler(WM_SYSCOLORCHANGE, Handler(&ImageButton::OnSysColorChange));
    AddMessageHandler(WM_ENABLE, Handler(&ImageButton::OnEnable));
    AddMessageHandler(WM_DRAWITEM, Handler(&ImageButton::OnDrawItem));
    AddMessageHandler(WM_MOUSEMOVE, Handler(&ImageButton::OnMouseMove));
    AddMessageHandler(WM_MOUSELEAVE, Handler(&ImageButton::OnMouseLeave));
    AddMessageHandler(WM_LBUTTONDOWN, Handler(&ImageButton::OnLButtonDown));
    AddMessageHandler(WM_LBUTTONUP, Handler(&ImageButton::OnLButtonUp));
    AddMessageHandler(WM_LBUTTONDBLCLK, Handler(&ImageButton::OnLButtonDblClk));
    AddMessageHandler(BM_GETCHECK, Handler(&ImageButton::OnGetCheck));
    AddMessageHandler(BM_SETCHECK, Handler(&ImageButton::OnSetCheck));
    AddMessageHandler(WM_KEYDOWN, Handler(&ImageButton::OnKeyDown));
    AddMessageHandler(WM_KEYUP, Handler(&ImageButton::OnKeyUp));
    AddMessageHandler(BM_CLICK, Handler(&ImageButton::OnClick));
}

ImageButton::~ImageButton() {}

HWND ImageButton::Create(int /*reserved*/, HBITMAP strip, int srcX, int srcY, int glyphWidth, int glyphHeight,
                         int x, int y, int cx, int cy, HWND parent, UINT id, HINSTANCE instance, BYTE state,
                         BYTE kind) {
    if (GetHwnd() != NULL) return GetHwnd();
    m_state = state;
    m_kind = kind;
    HWND hwnd = CreateWindowExA(0, "BUTTON", "", kButtonStyle, x, y, cx, cy, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, NULL);
    if (hwnd == NULL) return NULL;
    SetHwnd(hwnd);
    PrepareGlyph(strip, srcX, srcY, glyphWidth, glyphHeight);
    m_checkedBrush.Reset(CreateCheckedBrush());
    Subclass();
    return hwnd;
}

BOOL ImageButton::PrepareGlyph(HBITMAP strip, int srcX, int srcY, int width, int height) {
    WindowDc screen(GetHwnd());
    if (screen.Get() == NULL || strip == NULL) return FALSE;
    m_glyphDc.reset(new MemoryDc(screen));
    m_maskDc.reset(new MemoryDc(screen));
    m_disabledMaskDc.reset(new MemoryDc(screen));
    m_glyph.Reset(CreateCompatibleBitmap(screen, width, height));
    m_mask.Reset(CreateBitmap(width, height, 1, 1, NULL));
    m_disabledMask.Reset(CreateBitmap(width, height, 1, 1, NULL));
    if (!m_glyphDc->Valid() || !m_maskDc->Valid() || !m_disabledMaskDc->Valid() || !m_glyph.Valid() ||
        !m_mask.Valid() || !m_disabledMask.Valid())
        return FALSE;
    SelectObject(*m_glyphDc, m_glyph);
    SelectObject(*m_maskDc, m_mask);
    SelectObject(*m_disabledMaskDc, m_disabledMask);
    {
        MemoryDc source(screen);
        SelectScope chosen(source, strip);
        BitBlt(*m_glyphDc, 0, 0, width, height, source, srcX, srcY, SRCCOPY);
    }
    // Colour to monochrome: pixels of the background colour become 1.
    SetBkColor(*m_glyphDc, GetPixel(*m_glyphDc, 0, 0));
    BitBlt(*m_maskDc, 0, 0, width, height, *m_glyphDc, 0, 0, SRCCOPY);
    BitBlt(*m_disabledMaskDc, 0, 0, width, height, *m_maskDc, 0, 0, SRCCOPY);
    SetBkColor(*m_glyphDc, kWhite);
    BitBlt(*m_disabledMaskDc, 0, 0, width, height, *m_glyphDc, 0, 0, SRCPAINT);
    // Transparent pixels black, so the glyph can be ORed over the mask's hole.
    PrepareForMasks(*m_glyphDc);
    BitBlt(*m_glyphDc, 0, 0, width, height, *m_maskDc, 0, 0, kRopAndNotSource);
    return TRUE;
}

HBRUSH ImageButton::CreateCheckedBrush() {
    // A 2 x 2 dither of highlight and face, 24 bits per pixel, rows padded to 4 bytes.
    const COLORREF light = GetSysColor(COLOR_3DHILIGHT);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF pattern[2][2] = {{light, face}, {face, light}};
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = -2;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    BYTE bits[2][8] = {};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            bits[y][x * 3] = GetBValue(pattern[y][x]);
            bits[y][x * 3 + 1] = GetGValue(pattern[y][x]);
            bits[y][x * 3 + 2] = GetRValue(pattern[y][x]);
        }
    }
    WindowDc screen(GetHwnd());
    OwnedBitmap bitmap(CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, bits, &info, DIB_RGB_COLORS));
    if (!bitmap.Valid()) return NULL;
    return CreatePatternBrush(bitmap);  // the brush keeps its own copy
}

LRESULT ImageButton::OnSysColorChange(WPARAM wParam, LPARAM lParam) {
    m_checkedBrush.Reset(CreateCheckedBrush());
    return PassOn(WM_SYSCOLORCHANGE, wParam, lParam);
}

LRESULT ImageButton::OnEnable(WPARAM wParam, LPARAM /*lParam*/) {
    if (wParam == 1) {
        m_state |= kEnabled;
    } else {
        m_state &= ~kEnabled;
    }
    if (m_state & kHot) {
        m_state &= ~kHot;
        m_tracking = FALSE;
    }
    if (m_state & kPressed) {
        m_state &= ~kPressed;
        if (GetCapture() == GetHwnd()) ReleaseCapture();
    }
    Repaint();
    return 0;
}

LRESULT ImageButton::OnDrawItem(WPARAM /*wParam*/, LPARAM lParam) {
    const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item == NULL) return FALSE;
    HDC dc = item->hDC;
    RECT rc = item->rcItem;
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    const BOOL checked = (m_state & kChecked) != 0;
    const BOOL hot = (m_state & kHot) != 0;
    const BOOL pressed = (m_state & kPressed) != 0;
    if (checked && m_checkedBrush.Valid()) {
        SelectScope brush(dc, m_checkedBrush);
        PatBlt(dc, rc.left + 2, rc.top + 2, rc.right - rc.left - 4, rc.bottom - rc.top - 4, PATCOPY);
    }
    const BOOL sunken = (pressed && hot) || checked;
    if (sunken) {
        DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT);
    } else if (hot) {
        DrawEdge(dc, &rc, BDR_RAISEDINNER, BF_RECT);
    } else if (!pressed) {
        FrameRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    }
    DrawGlyph(dc, rc, sunken);
    return TRUE;
}

void ImageButton::DrawGlyph(HDC dc, const RECT& rc, BOOL sunken) {
    if (!m_glyphDc || !m_maskDc || !m_disabledMaskDc) return;
    int x = (rc.left + rc.right - kGlyphWidth) / 2;
    int y = (rc.top + rc.bottom - kGlyphHeight) / 2;
    if (sunken) {
        ++x;
        ++y;
    }
    COLORREF oldBack = GetBkColor(dc);
    COLORREF oldText = GetTextColor(dc);
    PrepareForMasks(dc);
    if (IsEnabled()) {
        BitBlt(dc, x, y, kGlyphWidth, kGlyphHeight, *m_maskDc, 0, 0, SRCAND);
        BitBlt(dc, x, y, kGlyphWidth, kGlyphHeight, *m_glyphDc, 0, 0, SRCPAINT);
    } else {
        // Embossed: the shape in highlight one pixel down and right, then in shadow.
        {
            SelectScope brush(dc, GetSysColorBrush(COLOR_3DHILIGHT));
            BitBlt(dc, x + 1, y + 1, kGlyphWidth, kGlyphHeight, *m_disabledMaskDc, 0, 0, kRopBrushWhereZero);
        }
        SelectScope brush(dc, GetSysColorBrush(COLOR_3DSHADOW));
        BitBlt(dc, x, y, kGlyphWidth, kGlyphHeight, *m_disabledMaskDc, 0, 0, kRopBrushWhereZero);
    }
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}

LRESULT ImageButton::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (!(m_state & kPressed) && !m_tracking) {
        m_tracking = TRUE;
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, GetHwnd(), HOVER_DEFAULT};
        _TrackMouseEvent(&track);
        Notify(NM_TOOLITEM_HOVER);
        if (IsEnabled()) SetHot();
    } else if ((m_state & kPressed) && IsEnabled()) {
        // Hot while the captured mouse is over the button: the same test by
        // which the system button decides on its click.
        POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        RECT client;
        GetClientRect(GetHwnd(), &client);
        if (PtInRect(&client, point)) {
            SetHot();
        } else {
            ClearHot();
        }
    }
    return PassOn(WM_MOUSEMOVE, wParam, lParam);
}

LRESULT ImageButton::OnMouseLeave(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    m_tracking = FALSE;
    Notify(NM_TOOLITEM_LEAVE);
    if (IsEnabled()) ClearHot();
    return 0;
}

LRESULT ImageButton::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
    if (!IsEnabled()) return 0;
    m_state |= kPressed;
    return PassOn(WM_LBUTTONDOWN, wParam, lParam);  // the system button captures the mouse
}

LRESULT ImageButton::OnLButtonUp(WPARAM wParam, LPARAM lParam) {
    if (!IsEnabled()) return 0;
    m_state &= ~kPressed;
    if (m_state & kHot) {
        m_state &= ~kHot;
        // The panel updates check and radio states before the system
        // button's BN_CLICKED carries the command on.
        Notify(NM_TOOLITEM_CLICK);
        m_tracking = FALSE;
    }
    return PassOn(WM_LBUTTONUP, wParam, lParam);
}

LRESULT ImageButton::OnLButtonDblClk(WPARAM wParam, LPARAM lParam) {
    SendMessage(WM_LBUTTONDOWN, wParam, lParam);
    return 0;
}

BOOL ImageButton::SetHot() {
    m_state |= kHot;
    if (!(m_state & (kPressed | kChecked))) Repaint();
    return TRUE;
}

BOOL ImageButton::ClearHot() {
    m_state &= ~kHot;
    if (!(m_state & (kPressed | kChecked))) Repaint();
    return TRUE;
}

LRESULT ImageButton::OnGetCheck(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    return (m_state & kChecked) ? 1 : 0;
}

LRESULT ImageButton::OnSetCheck(WPARAM wParam, LPARAM /*lParam*/) {
    if (wParam == 1) {
        m_state |= kChecked;
    } else {
        m_state &= ~kChecked;
    }
    Repaint();
    return 0;
}

LRESULT ImageButton::OnKeyDown(WPARAM wParam, LPARAM lParam) {
    return PassKey(WM_KEYDOWN, wParam, lParam);
}

LRESULT ImageButton::OnKeyUp(WPARAM wParam, LPARAM lParam) {
    return PassKey(WM_KEYUP, wParam, lParam);
}

LRESULT ImageButton::PassKey(UINT msg, WPARAM key, LPARAM lParam) {
    // The system button clicks on Space without a mouse message.
    if (key == VK_SPACE && !IsEnabled()) return 0;
    return PassOn(msg, key, lParam);
}

LRESULT ImageButton::OnClick(WPARAM wParam, LPARAM lParam) {
    if (!IsEnabled()) return 0;
    return PassOn(BM_CLICK, wParam, lParam);
}

LRESULT ImageButton::PassOn(UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallOldProc(GetHwnd(), msg, wParam, lParam);
}

void ImageButton::Notify(UINT code) {
    SendToolItemNotify(GetHwnd(), code);
}

void ImageButton::Repaint() {
    InvalidateRect(GetHwnd(), NULL, FALSE);
}
