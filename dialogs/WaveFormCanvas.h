#ifndef DIALOGS_WAVEFORMCANVAS_H
#define DIALOGS_WAVEFORMCANVAS_H

#include <windows.h>

#include <memory>
#include <string>

#include "framework/GdiObject.h"
#include "framework/WindowDc.h"

// The waveform dialog's off-screen canvas: a memory context compatible with
// the display control, holding a bitmap as large as the desktop so that any
// size of the display fits. Each report is painted on it (black, a green
// grid, texts in a 24-pixel fixed-pitch font) and then copied to the display
// in one piece. User-interface thread only.
class WaveFormCanvas {
public:
    static const COLORREF kGridColour = RGB(0, 127, 0);
    static const COLORREF kStatisticsColour = RGB(0, 255, 0);
    static const COLORREF kSecondColour = RGB(255, 100, 0);  // the second channel in "Both"
    static const COLORREF kFlagColour = RGB(255, 0, 0);
    static const int kGridLines = 5;
    static const int kFontHeight = -24;

    WaveFormCanvas();
    ~WaveFormCanvas();

    // FALSE when a GDI object cannot be made; the canvas then stays unmade.
    BOOL Make(HWND display);
    void Release();
    BOOL IsMade() const { return m_dc != nullptr; }
    // Black with five horizontal grid lines merged over it.
    void Paint(const RECT& client);
    // Right-aligned, word-wrapped text from the top of rect.
    void WriteRight(const std::string& text, const RECT& rect, COLORREF colour);
    // Left-aligned, word-wrapped text whose bottom lies on rect's bottom.
    void WriteAtBottom(const std::string& text, const RECT& rect, COLORREF colour);
    // Copies the client-sized part of the canvas to the display's client origin.
    void CopyTo(HWND display, const RECT& client);
    // The canvas context, 0 while not made (tests read its pixels).
    HDC GetDc() const { return m_dc != nullptr ? m_dc->Get() : NULL; }

private:
    WaveFormCanvas(const WaveFormCanvas&) = delete;
    WaveFormCanvas& operator=(const WaveFormCanvas&) = delete;

    // Declared before the context, which gives them back before they go.
    OwnedBitmap m_bitmap;
    OwnedFont m_font;
    std::unique_ptr<MemoryDc> m_dc;
};

#endif
