#ifndef TESTS_TESTCANVAS_H
#define TESTS_TESTCANVAS_H

#include <windows.h>

#include "framework/GdiObject.h"
#include "framework/WindowDc.h"

// A white 32-bit memory bitmap of 200 pixels square with the sensor at its
// centre. Logical units are pixels (y down) or, after SetMillimetres, a
// number of millimetres per pixel with y up, as the view maps its plan.
class TestCanvas {
public:
    static const int kSize = 200;

    TestCanvas() : m_dc(NULL) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kSize;
        info.bmiHeader.biHeight = -kSize;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = NULL;
        m_bitmap.Reset(CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, NULL, 0));
        SelectObject(m_dc, m_bitmap);
        Fill(RGB(255, 255, 255));
        SetViewportOrgEx(m_dc, kSize / 2, kSize / 2, NULL);
    }
    void SetMillimetres(int perPixel) {
        SetMapMode(m_dc, MM_ANISOTROPIC);
        SetWindowExtEx(m_dc, perPixel, perPixel, NULL);
        SetViewportExtEx(m_dc, 1, -1, NULL);
    }
    void Fill(COLORREF colour) {
        OwnedBrush brush(CreateSolidBrush(colour));
        RECT all = {0, 0, kSize, kSize};
        int saved = SaveDC(m_dc);
        SetMapMode(m_dc, MM_TEXT);
        SetViewportOrgEx(m_dc, 0, 0, NULL);
        FillRect(m_dc, &all, brush);
        RestoreDC(m_dc, saved);
    }
    HDC Dc() const { return m_dc; }
    COLORREF Pixel(int x, int y) const { return GetPixel(m_dc, x, y); }

private:
    TestCanvas(const TestCanvas&) = delete;
    TestCanvas& operator=(const TestCanvas&) = delete;
    OwnedBitmap m_bitmap;  // declared first: the context lets it go before it is deleted
    MemoryDc m_dc;
};

#endif
