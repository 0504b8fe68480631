#ifndef MAINWINDOW_VIEW_VIEWLAYERS_H
#define MAINWINDOW_VIEW_VIEWLAYERS_H

#include <windows.h>

#include <memory>

#include "framework/GdiObject.h"
#include "framework/WindowDc.h"
#include "mainwindow/view/ViewFigures.h"

// The view's two memory layers and its drawing tools. The background layer
// holds the grid and the recorded scans; the composite layer is the
// background with the realtime scan, the area, the handles and the feedback
// drawn over it, and is what the window shows. Both bitmaps cover the virtual
// screen, so resizing the view never re-creates them.
//
// Not locked itself: the view holds its view lock around every use.
class ViewLayers {
public:
    static const COLORREF kWhite = 0xFFFFFF;
    static const COLORREF kRed = 0x0000FF;
    static const COLORREF kLightGrey = 0xCCCCCC;
    static const COLORREF kGrey = 0x999999;
    static const int kMaxGridLines = 200;  // per direction

    ViewLayers();
    ~ViewLayers();

    // Both layers at width x height, compatible with like and filled white;
    // 0 with the reason in the last error.
    int Create(HDC like, int width, int height);
    // Releases both layers; the tools stay.
    void Free();
    bool Valid() const { return m_composite && m_background; }
    HDC Background() const { return m_background ? m_background->Get() : NULL; }
    HDC Composite() const { return m_composite ? m_composite->Get() : NULL; }
    SIZE Size() const { return m_size; }

    void ClearBackground();
    void CopyBackground();
    // Clips both layers to the view's client size.
    void ClipTo(int width, int height);

    // A metre grid, or circles every third of a metre up to 5 m round the
    // sensor, with metre labels, over (0, 0, right, bottom) in device pixels.
    // The mapping must be set on dc; it is left as it was.
    void DrawGrid(HDC dc, int right, int bottom, int circles) const;
    // Black outlines when active, else grey; red fill beyond range mm.
    void DrawHandles(HDC dc, const ViewHandles& handles, int active, int range) const;
    void DrawFeedback(HDC dc, const ViewFeedback& feedback) const;

private:
    ViewLayers(const ViewLayers&) = delete;
    ViewLayers& operator=(const ViewLayers&) = delete;

    void DrawGridLines(HDC dc, const POINT* columns, int nx, const POINT* rows, int ny, int right, int bottom) const;
    void DrawGridCircles(HDC dc, POINT origin, POINT metre) const;
    void DrawGridLabels(HDC dc, int first, const POINT* lines, int n, bool columns, POINT origin, int limit) const;

    // Tools first: the layers give them back before the tools go.
    OwnedBrush m_whiteBrush;
    OwnedBrush m_redBrush;
    OwnedPen m_lightGreyPen;
    OwnedPen m_greyPen;
    OwnedBitmap m_backgroundBitmap;
    OwnedBitmap m_compositeBitmap;
    std::unique_ptr<MemoryDc> m_background;
    std::unique_ptr<MemoryDc> m_composite;
    SIZE m_size;
};

#endif
