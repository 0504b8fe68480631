#ifndef MAINWINDOW_VIEW_MOUSEVIEW_H
#define MAINWINDOW_VIEW_MOUSEVIEW_H

#include <windows.h>

#include "mainwindow/view/ViewFigures.h"
#include "mainwindow/view/ViewMapping.h"

class AreaSet;

// The scan view as its mouse modes (ViewModes) see it: its window and the
// frame's, the mapping between pixels and millimetres, what it draws and
// redraws, the drag feedback and edit handles, and the areas being edited.
// The scan view implements it. User-interface thread only.
class MouseView {
public:
    // DrawItem bits.
    static const WORD kDrawRecord = 0x02;
    static const WORD kDrawRealtime = 0x04;
    static const WORD kDrawArea = 0x08;
    static const WORD kDrawHandles = 0x10;
    static const WORD kDrawFeedback = 0x20;
    static const WORD kDrawPreview = 0x40;
    static const WORD kDefaultDrawItem = kDrawRealtime | kDrawArea | kDrawHandles;
    // The bits a saved DrawItem may carry: feedback and preview belong to a
    // running view.
    static const WORD kSavedDrawItems = kDrawRecord | kDrawRealtime | kDrawArea | kDrawHandles;
    // Redraw flags of WM_VIEW_REDRAW.
    static const WORD kRedrawLayout = 0x01;      // background and handles
    static const WORD kRedrawBackground = 0x02;  // background
    static const WORD kRedrawRealtime = 0x04;    // realtime scan polygon
    static const WORD kRedrawAreas = 0x08;       // area regions and handles
    static const WORD kRedrawFeedback = 0x20;    // recompose only
    static const WORD kRedrawScan2 = 0x80;       // recompose only

    virtual ~MouseView() {}

    virtual HWND GetHwnd() = 0;
    // The frame's window, which takes the view's status messages.
    virtual HWND Parent() const = 0;
    // The module that holds the view's cursors.
    virtual HINSTANCE Instance() const = 0;
    virtual AreaSet* Areas() const = 0;
    virtual const ViewMapping& Mapping() const = 0;
    virtual void RestoreMapping(const ViewMapping& mapping) = 0;
    // Makes the device rectangle (x, y, cx, cy) of the picture the visible
    // area, within the mapping's limits.
    virtual int SetMapping(int x, int y, int cx, int cy) = 0;
    // Asks the render thread for a redraw with the flags.
    virtual int Redraw(WORD flags) = 0;
    virtual int TestDrawItem(WORD mask) = 0;
    virtual void SetDrawItem(WORD mask, int on) = 0;
    virtual void GetHandles(ViewHandles* handles) = 0;
    virtual void SetFeedback(const ViewFeedback& feedback) = 0;
    // Keeps the client origin and extent for the print preview.
    virtual void SavePreviewClient() = 0;

    POINT ToLogical(POINT device) const { return Mapping().ToLogical(device); }
    POINT ToDevice(POINT logical) const { return Mapping().ToDevice(logical); }
    SIZE ClientSize() const { return Mapping().ClientExtent(); }
};

#endif
