#ifndef FRAMEWORK_GEOMETRY_H
#define FRAMEWORK_GEOMETRY_H

#include <windows.h>

// Small helpers for rectangles, points and signs.
int RectWidth(const RECT* rect);
int RectHeight(const RECT* rect);
// Mouse coordinates may be negative: both words are sign-extended.
void PointFromLParam(POINT* point, LPARAM lParam);
void PointsFromWords(POINTS* points, short x, short y);
// Each coordinate cut to its low 16 bits.
void PointsFromPoint(POINTS* points, const POINT* point);
void MakePoint(POINT* point, int x, int y);
void SetPoint(POINT& point, int x, int y);
// -1 for a negative value, else 1 (also for 0).
int Sign(int value);

#endif
