#ifndef TESTS_DIALOGS_WAVEFORMRECORDS_H
#define TESTS_DIALOGS_WAVEFORMRECORDS_H

#include <windows.h>

#include "dialogs/WaveFormCanvas.h"
#include "sensor/WaveFormRecord.h"

// One waveform report as the device stores it: the 42-byte record with the
// values the waveform dialog reads (flags, the peak words of phase 3,
// distance, level, AGC), little-endian.
struct TestReport {
    BYTE flags;  // bit 0: channel
    WORD distance, level, agc;
    BYTE fmax, fmin, bmax, bmin;

    void StoreIn(WaveFormRecord* record) const {
        BYTE bytes[WaveFormRecord::kBytes] = {};
        bytes[1] = flags;
        Put(bytes, 22, static_cast<WORD>(fmax << 8 | fmin));  // phase 3, word 1
        Put(bytes, 24, static_cast<WORD>(bmax << 8 | bmin));  // phase 3, word 2
        Put(bytes, 26, distance);
        Put(bytes, 28, level);
        Put(bytes, 30, agc);
        record->CopyFrom(bytes);
    }
    static void Put(BYTE* bytes, int offset, WORD value) {
        bytes[offset] = LOBYTE(value);
        bytes[offset + 1] = HIBYTE(value);
    }
};

// The waveform dialog's canvas pixels of one colour in a rectangle.
inline int CanvasPixels(const WaveFormCanvas& canvas, const RECT& area, COLORREF colour) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) n += GetPixel(canvas.GetDc(), x, y) == colour;
    return n;
}

// The canvas pixels in a rectangle that show text: neither black nor the grid.
inline int CanvasInk(const WaveFormCanvas& canvas, const RECT& area) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF pixel = GetPixel(canvas.GetDc(), x, y);
            n += pixel != RGB(0, 0, 0) && pixel != WaveFormCanvas::kGridColour;
        }
    }
    return n;
}

#endif
