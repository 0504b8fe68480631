#ifndef FRAMEWORK_WINDOWDC_H
#define FRAMEWORK_WINDOWDC_H

#include <windows.h>

// The device context of a window (GetDC), released when the scope ends.
class WindowDc {
public:
    explicit WindowDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~WindowDc() {
        if (m_dc != NULL) ReleaseDC(m_window, m_dc);
    }

    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }

private:
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HWND m_window;
    HDC m_dc;
};

// The painting context of a window for one WM_PAINT (BeginPaint), ended
// when the scope ends.
class PaintDc {
public:
    explicit PaintDc(HWND window) : m_window(window), m_paint(), m_dc(BeginPaint(window, &m_paint)) {}
    ~PaintDc() {
        if (m_dc != NULL) EndPaint(m_window, &m_paint);
    }

    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    // The area to paint, in client coordinates.
    const RECT& Area() const { return m_paint.rcPaint; }

private:
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HWND m_window;
    PAINTSTRUCT m_paint;
    HDC m_dc;
};

// A memory device context (CreateCompatibleDC) that remembers the bitmap,
// pen, brush and font it had at creation and selects them back before it is
// deleted, so the tools selected into it can be deleted by their owners.
class MemoryDc {
public:
    explicit MemoryDc(HDC like);
    ~MemoryDc();

    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    bool Valid() const { return m_dc != NULL; }

private:
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC m_dc;
    HGDIOBJ m_bitmap;
    HGDIOBJ m_pen;
    HGDIOBJ m_brush;
    HGDIOBJ m_font;
};

#endif
