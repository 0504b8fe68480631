#ifndef MAINWINDOW_VIEW_VIEWFIGURES_H
#define MAINWINDOW_VIEW_VIEWFIGURES_H

#include <windows.h>

// The figures the view draws in device pixels over its layers: the drag
// feedback (a rubber figure or the placed vertices) and the nine edit
// handles of the current area. Plain values, copied between the view's
// user-interface and render threads under the view's state lock.

struct ViewFeedback {
    enum Kind { kPolyline = 0, kPolygon = 1, kEllipse = 2, kPlacedPoints = 3 };
    // Enough for the origin, eight vertices and the origins a vertex figure
    // inserts where it jumps behind the sensor.
    static const int kMaxPoints = 16;

    ViewFeedback() : points(), pointCount(0), figureCount(0), kind(kPolyline) {}

    // Appends one point; 0 when the buffer is full.
    int Append(LONG x, LONG y) {
        if (pointCount >= kMaxPoints) return 0;
        points[pointCount].x = x;
        points[pointCount].y = y;
        ++pointCount;
        return 1;
    }

    POINT points[kMaxPoints];
    int pointCount;
    int figureCount;  // figures, or the number of placed points
    int kind;
};

struct ViewHandles {
    static const int kCount = 9;
    static const int kVertexCount = 7;
    static const int kOutput2 = 7;
    static const int kOutput3 = 8;

    ViewHandles() : rects(), values(), valid(0) {}

    RECT rects[kCount];    // device pixels of the view
    POINT values[kCount];  // mm: the vertex, or (0, distance) for an output
    int valid;             // 0 until the first computation
};

#endif
