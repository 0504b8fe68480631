#include "mainwindow/view/ViewLayers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "mainwindow/view/ViewMapping.h"

namespace {

const int kMetre = 1000;
const int kCircles = 15;  // one every third of a metre up to 5 m
const double kThird = 0.33333333333;

int FloorDiv(int value, int divisor) {
    int q = value / divisor;
    return (value % divisor != 0 && value < 0) ? q - 1 : q;
}

int CeilDiv(int value, int divisor) {
    int q = value / divisor;
    return (value % divisor != 0 && value > 0) ? q + 1 : q;
}

int Clamp(int value, int low, int high) {
    if (value > high) value = high;
    return value < low ? low : value;
}

}  // namespace

ViewLayers::ViewLayers()
    : m_whiteBrush(CreateSolidBrush(kWhite)),
      m_redBrush(CreateSolidBrush(kRed)),
      m_lightGreyPen(CreatePen(PS_SOLID, 0, kLightGrey)),
      m_greyPen(CreatePen(PS_SOLID, 0, kGrey)),
      m_size() {}

ViewLayers::~ViewLayers() {
    Free();
}

int ViewLayers::Create(HDC like, int width, int height) {
    Free();
    std::unique_ptr<MemoryDc> background(new MemoryDc(like));
    std::unique_ptr<MemoryDc> composite(new MemoryDc(like));
    if (!background->Valid() || !composite->Valid()) return 0;
    OwnedBitmap backgroundBitmap(CreateCompatibleBitmap(like, width, height));
    OwnedBitmap compositeBitmap(CreateCompatibleBitmap(like, width, height));
    if (!backgroundBitmap.Valid() || !compositeBitmap.Valid()) return 0;

    m_backgroundBitmap = std::move(backgroundBitmap);
    m_compositeBitmap = std::move(compositeBitmap);
    m_background = std::move(background);
    m_composite = std::move(composite);
    m_size.cx = width;
    m_size.cy = height;
    SelectObject(*m_background, m_backgroundBitmap);
    SelectObject(*m_background, GetStockObject(DEFAULT_GUI_FONT));
    // The grid's circles are filled with the background's brush, so each
    // smaller one covers the inside of the larger one.
    SelectObject(*m_background, m_whiteBrush);
    SelectObject(*m_composite, m_compositeBitmap);
    SetPolyFillMode(*m_composite, WINDING);
    PatBlt(*m_background, 0, 0, width, height, WHITENESS);
    PatBlt(*m_composite, 0, 0, width, height, WHITENESS);
    return 1;
}

void ViewLayers::Free() {
    // The contexts give the bitmaps back before the bitmaps are deleted.
    m_composite.reset();
    m_background.reset();
    m_compositeBitmap.Reset();
    m_backgroundBitmap.Reset();
    m_size.cx = 0;
    m_size.cy = 0;
}

void ViewLayers::ClearBackground() {
    if (!Valid()) return;
    SelectScope brush(*m_background, m_whiteBrush);
    PatBlt(*m_background, 0, 0, m_size.cx, m_size.cy, PATCOPY);
}

void ViewLayers::CopyBackground() {
    if (!Valid()) return;
    BitBlt(*m_composite, 0, 0, m_size.cx, m_size.cy, *m_background, 0, 0, SRCCOPY);
}

void ViewLayers::ClipTo(int width, int height) {
    if (!Valid()) return;
    OwnedRegion clip(CreateRectRgn(0, 0, width, height));
    SelectClipRgn(*m_background, clip);
    SelectClipRgn(*m_composite, clip);
}

void ViewLayers::DrawGrid(HDC dc, int right, int bottom, int circles) const {
    POINT viewportOrigin, windowOrigin;
    GetViewportOrgEx(dc, &viewportOrigin);
    GetWindowOrgEx(dc, &windowOrigin);
    POINT corners[2] = {{0, 0}, {right + viewportOrigin.x, bottom + viewportOrigin.y}};
    DPtoLP(dc, corners, 2);
    const POINT topLeft = corners[0];
    const SIZE size = {corners[1].x - windowOrigin.x, corners[1].y - windowOrigin.y};  // cy negative

    const int firstColumn = FloorDiv(topLeft.x, kMetre);
    const int lastColumn = CeilDiv(topLeft.x + size.cx, kMetre);
    const int firstRow = FloorDiv(topLeft.y + size.cy, kMetre);
    const int lastRow = CeilDiv(topLeft.y, kMetre);
    const int nx = lastColumn - firstColumn + 1;
    const int ny = lastRow - firstRow + 1;
    if (nx <= 0 || ny <= 0 || nx > kMaxGridLines || ny > kMaxGridLines) return;

    POINT columns[kMaxGridLines];
    POINT rows[kMaxGridLines];
    for (int i = 0; i < nx; ++i) columns[i] = {kMetre * (firstColumn + i), 0};
    for (int j = 0; j < ny; ++j) rows[j] = {0, kMetre * (firstRow + j)};
    POINT axes[2] = {{0, 0}, {kMetre, -kMetre}};  // the origin and a metre on each axis
    LPtoDP(dc, columns, nx);
    LPtoDP(dc, rows, ny);
    LPtoDP(dc, axes, 2);

    const int saved = SaveDC(dc);
    ViewMapping::Reset(dc);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, m_lightGreyPen);
    if (circles) {
        POINT metre = {std::abs(axes[1].x - axes[0].x), std::abs(axes[1].y - axes[0].y)};
        DrawGridCircles(dc, axes[0], metre);
    } else {
        DrawGridLines(dc, columns, nx, rows, ny, right, bottom);
    }
    DrawGridLabels(dc, firstColumn, columns, nx, true, axes[0], bottom);
    DrawGridLabels(dc, firstRow, rows, ny, false, axes[0], right);
    RestoreDC(dc, saved);
}

void ViewLayers::DrawGridLines(HDC dc, const POINT* columns, int nx, const POINT* rows, int ny, int right,
                               int bottom) const {
    for (int i = 0; i < nx; ++i) {
        MoveToEx(dc, columns[i].x, 0, NULL);
        LineTo(dc, columns[i].x, bottom);
    }
    for (int j = 0; j < ny; ++j) {
        MoveToEx(dc, 0, rows[j].y, NULL);
        LineTo(dc, right, rows[j].y);
    }
}

// Largest first, each filled with the current brush over the one before.
void ViewLayers::DrawGridCircles(HDC dc, POINT origin, POINT metre) const {
    for (int k = kCircles; k >= 1; --k) {
        const int rx = static_cast<int>(k * metre.x * kThird);
        const int ry = static_cast<int>(k * metre.y * kThird);
        Ellipse(dc, origin.x - rx, origin.y - ry, origin.x + rx, origin.y + ry);
    }
}

// Column labels follow the x axis and row labels the y axis, but stay inside
// the drawn area when the axis is off it.
void ViewLayers::DrawGridLabels(HDC dc, int first, const POINT* lines, int n, bool columns, POINT origin,
                                int limit) const {
    SIZE label;
    if (!GetTextExtentPoint32A(dc, "00m", 3, &label)) return;
    for (int i = 0; i < n; ++i) {
        char text[16];
        const int length = snprintf(text, sizeof text, "%2dm", std::abs(first + i));
        int x, y;
        if (columns) {
            x = lines[i].x - label.cx / 2;
            y = Clamp(origin.y - label.cy / 2, 0, limit - label.cy);
        } else {
            x = Clamp(origin.x - label.cx / 2, 0, limit - label.cx);
            y = lines[i].y - label.cy / 2;
        }
        TextOutA(dc, x, y, text, length);
    }
}

void ViewLayers::DrawHandles(HDC dc, const ViewHandles& handles, int active, int range) const {
    SelectScope pen(dc, active ? GetStockObject(BLACK_PEN) : static_cast<HGDIOBJ>(m_greyPen));
    for (int i = 0; i < ViewHandles::kCount; ++i) {
        const POINT& v = handles.values[i];
        const bool beyond = std::abs(v.x) > range || std::abs(v.y) > range;
        SelectScope brush(dc, beyond ? m_redBrush : m_whiteBrush);
        const RECT& r = handles.rects[i];
        if (i < ViewHandles::kVertexCount) {
            Rectangle(dc, r.left, r.top, r.right, r.bottom);
        } else {
            // A triangle standing on its apex, the apex on the output distance.
            POINT corners[3] = {{r.left, r.top}, {r.right, r.top}, {(r.left + r.right) / 2, r.bottom}};
            Polygon(dc, corners, 3);
        }
    }
}

void ViewLayers::DrawFeedback(HDC dc, const ViewFeedback& feedback) const {
    SelectScope pen(dc, GetStockObject(BLACK_PEN));
    SelectScope brush(dc, GetStockObject(NULL_BRUSH));
    const POINT* p = feedback.points;
    switch (feedback.kind) {
    case ViewFeedback::kPolyline:
        if (feedback.figureCount != 0 && feedback.pointCount > 1) Polyline(dc, p, feedback.pointCount);
        break;
    case ViewFeedback::kPolygon:
        if (feedback.figureCount != 0 && feedback.pointCount > 1) Polygon(dc, p, feedback.pointCount);
        break;
    case ViewFeedback::kEllipse:
        if (feedback.pointCount >= 2) Ellipse(dc, p[0].x, p[0].y, p[1].x, p[1].y);
        break;
    case ViewFeedback::kPlacedPoints: {
        SelectScope black(dc, GetStockObject(BLACK_BRUSH));
        const int n = feedback.figureCount < feedback.pointCount ? feedback.figureCount : feedback.pointCount;
        for (int i = 0; i < n; ++i) Rectangle(dc, p[i].x - 3, p[i].y - 3, p[i].x + 4, p[i].y + 4);
        break;
    }
    default:
        break;
    }
}
