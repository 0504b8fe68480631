#include "framework/Geometry.h"

int RectWidth(const RECT* rect) {
    return rect->right - rect->left;
}

int RectHeight(const RECT* rect) {
    return rect->bottom - rect->top;
}

void PointFromLParam(POINT* point, LPARAM lParam) {
    point->x = static_cast<short>(LOWORD(lParam));
    point->y = static_cast<short>(HIWORD(lParam));
}

void PointsFromWords(POINTS* points, short x, short y) {
    points->x = x;
    points->y = y;
}

void PointsFromPoint(POINTS* points, const POINT* point) {
    points->x = static_cast<short>(point->x);
    points->y = static_cast<short>(point->y);
}

void MakePoint(POINT* point, int x, int y) {
    point->x = x;
    point->y = y;
}

void SetPoint(POINT& point, int x, int y) {
    point.x = x;
    point.y = y;
}

int Sign(int value) {
    return value < 0 ? -1 : 1;
}
