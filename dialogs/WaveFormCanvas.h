#ifndef DIALOGS_WAVEFORMCANVAS_H
#define DIALOGS_WAVEFORMCANVAS_H

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/WaveFormLayout.h"
#include "framework/GdiObject.h"
#include "framework/WindowDc.h"

// The waveform dialog's off-screen canvas: a memory context compatible with
// the display control, holding a bitmap as large as the desktop so that any
// size of the display fits. Each report is painted on it (black, a green
// grid, texts in a fixed-pitch font of 24 pixels or, where that does not fit
// the display, smaller) and then copied to the display in one piece.
// User-interface thread only.
class WaveFormCanvas {
public:
    static constexpr COLORREF kGridColour = RGB(0, 127, 0);
    static constexpr COLORREF kStatisticsColour = RGB(0, 255, 0);
    static constexpr COLORREF kSecondColour = RGB(255, 100, 0);  // the second channel in "Both"
    static constexpr COLORREF kFlagColour = RGB(255, 0, 0);
    static const int kGridLines = 5;
    static const int kLargestFont = 24;  // pixels
    static const int kSmallestFont = 7;

    WaveFormCanvas();
    ~WaveFormCanvas();

    // FALSE when a GDI object cannot be made; the canvas then stays unmade.
    BOOL Make(HWND display);
    void Release();
    BOOL IsMade() const { return m_dc != nullptr; }
    // Black with five horizontal grid lines merged over it.
    void Paint(const RECT& client);
    // The fonts the texts may take, largest first, measured when made.
    const std::vector<WaveFormLayout::Font>& GetFonts() const { return m_fonts; }
    // Texts are written in this one of the fonts from now on.
    void UseFont(int index);
    // Text in rect, one row per line; align: DT_LEFT or DT_RIGHT.
    void Write(const std::string& text, const RECT& rect, COLORREF colour, UINT align);
    // Copies the client-sized part of the canvas to the display's client origin.
    void CopyTo(HWND display, const RECT& client);
    // The canvas context, 0 while not made (tests read its pixels).
    HDC GetDc() const { return m_dc != nullptr ? m_dc->Get() : NULL; }

private:
    WaveFormCanvas(const WaveFormCanvas&) = delete;
    WaveFormCanvas& operator=(const WaveFormCanvas&) = delete;

    BOOL MeasureFonts(HDC dc);

    // Declared before the context, which gives them back before they go.
    OwnedBitmap m_bitmap;
    OwnedFont m_font;
    std::unique_ptr<MemoryDc> m_dc;
    std::vector<WaveFormLayout::Font> m_fonts;
    int m_fontHeight;  // of m_font
};

#endif
