#ifndef TESTS_MAINWINDOW_AREAPEAKS_H
#define TESTS_MAINWINDOW_AREAPEAKS_H

#include <windows.h>

// Where a drawn detection area peaks, as fractions of the content rectangle
// it was drawn into: the outline starts at the sensor, so for an area in
// front of it the lowest coloured point is the sensor and the highest is the
// area's farthest vertex. Area pixels are the coloured ones; the grid, the
// labels, scans, the page and its frame are grey, black or white.
struct AreaPeaks {
    double sensorX, sensorY, vertexX, vertexY;

    static AreaPeaks Find(HDC dc, const RECT& content) {
        AreaPeaks peaks = {-1, -1, -1, -1};
        const double w = content.right - content.left, h = content.bottom - content.top;
        for (int y = content.top; y < content.bottom && peaks.vertexY < 0; ++y) {
            const double x = RowCentre(dc, content, y);
            if (x >= 0) peaks = {-1, -1, (x - content.left) / w, (y - content.top) / h};
        }
        for (int y = content.bottom - 1; y >= content.top && peaks.sensorY < 0; --y) {
            const double x = RowCentre(dc, content, y);
            if (x >= 0) {
                peaks.sensorX = (x - content.left) / w;
                peaks.sensorY = (y - content.top) / h;
            }
        }
        return peaks;
    }

private:
    static bool Coloured(COLORREF c) {
        return c != CLR_INVALID && (GetRValue(c) != GetGValue(c) || GetGValue(c) != GetBValue(c));
    }
    // The mean x of the coloured pixels in row y, or -1 for none.
    static double RowCentre(HDC dc, const RECT& content, int y) {
        int sum = 0, count = 0;
        for (int x = content.left; x < content.right; ++x) {
            if (Coloured(GetPixel(dc, x, y))) {
                sum += x;
                ++count;
            }
        }
        return count > 0 ? static_cast<double>(sum) / count : -1;
    }
};

#endif
