#ifndef FRAMEWORK_IMAGEBUTTON_H
#define FRAMEWORK_IMAGEBUTTON_H

#include "framework/ChildWindow.h"
#include "framework/GdiObject.h"
#include "framework/WindowDc.h"

#include <memory>

// An owner-drawn push, check or radio button of a tool strip showing a
// 16 x 15 glyph on a flat face that rises while the mouse is over it. It
// keeps its own copy of the glyph with two masks: one for the transparent
// draw, one for the embossed look while disabled. Hover, leave and click go
// to the parent as WM_NOTIFY. The window itself is never disabled: the
// button keeps an enabled bit (WM_ENABLE) and swallows clicks, double clicks,
// the Space key and BM_CLICK while it is clear. User-interface thread only.
class ImageButton : public ChildWindow {
public:
    // State bits.
    static const BYTE kHot = 1;
    static const BYTE kPressed = 2;
    static const BYTE kChecked = 4;
    static const BYTE kEnabled = 8;
    // The glyph drawn, whatever size the strip was built with.
    static const int kGlyphWidth = 16;
    static const int kGlyphHeight = 15;

    ImageButton();
    ~ImageButton() override;

    using ChildWindow::Create;
    // The button window at (x, y) of parent with the glyph at (srcX, srcY)
    // of strip; reserved is not used. Returns the bound window if any.
    virtual HWND Create(int reserved, HBITMAP strip, int srcX, int srcY, int glyphWidth, int glyphHeight, int x,
                        int y, int cx, int cy, HWND parent, UINT id, HINSTANCE instance, BYTE state, BYTE kind);
    virtual BOOL PrepareGlyph(HBITMAP strip, int srcX, int srcY, int width, int height);
    virtual HBRUSH CreateCheckedBrush();
    virtual LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnEnable(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    virtual BOOL SetHot();
    virtual BOOL ClearHot();
    virtual LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    // A disabled button lets neither the Space key nor BM_CLICK through.
    virtual LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnClick(WPARAM wParam, LPARAM lParam);

private:
    BOOL IsEnabled() const { return (m_state & kEnabled) != 0; }
    LRESULT PassOn(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT PassKey(UINT msg, WPARAM key, LPARAM lParam);
    void Notify(UINT code);
    void Repaint();
    void DrawGlyph(HDC dc, const RECT& rc, BOOL sunken);

    // Bitmaps before the contexts they are selected into: the contexts go first.
    OwnedBitmap m_glyph;
    OwnedBitmap m_mask;          // 1 where the glyph is transparent
    OwnedBitmap m_disabledMask;  // 0 where the glyph is neither transparent nor white
    std::unique_ptr<MemoryDc> m_glyphDc;
    std::unique_ptr<MemoryDc> m_maskDc;
    std::unique_ptr<MemoryDc> m_disabledMaskDc;
    OwnedBrush m_checkedBrush;
    BYTE m_state;
    BYTE m_kind;
    BOOL m_tracking;  // a leave notice is requested
};

#endif
