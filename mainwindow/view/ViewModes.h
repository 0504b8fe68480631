#ifndef MAINWINDOW_VIEW_VIEWMODES_H
#define MAINWINDOW_VIEW_VIEWMODES_H

#include <windows.h>

#include "mainwindow/view/ViewFigures.h"
#include "mainwindow/view/ViewMapping.h"
#include "resources/ViewIds.h"

class AreaSet;
class MouseView;

// The mouse side of the scan view: raw button and move messages become
// clicks and drags of the left, right and middle buttons, dispatched by the
// view's mode. Mode 0 drags the current area's vertex and output handles,
// mode 1 pans, mode 2 zooms by click or rubber rectangle, mode 3 places the
// area's seven points one click at a time, mode 4 (print preview) ignores
// the mouse. The middle button pans in every mode but 4. Positions go to the
// frame in millimetres. User-interface thread only.
class ViewModes {
public:
    enum Mode { kEdit = 0, kMove = 1, kZoom = 2, kPlaceVertices = 3, kPreview = 4 };
    enum Button { kLeft = 0, kRight = 1, kMiddle = 2 };
    static const int kCommitPlacement = 254;  // SetMode: end placement, store the points
    static const int kDiscardPlacement = 255; // SetMode: end placement, drop the points
    static const int kHintEdit = IDS_HINT_EDIT;
    static const int kHintMove = IDS_HINT_MOVE;
    static const int kHintZoom = IDS_HINT_ZOOM;
    static const WORD kMoveCursor = IDC_VIEW_MOVE;
    static const WORD kMovingCursor = IDC_VIEW_MOVING;
    static const WORD kZoomCursor = IDC_VIEW_ZOOM;

    explicit ViewModes(MouseView* view);

    void ButtonDown(int button, WPARAM keys, POINT point);
    void ButtonUp(int button, WPARAM keys, POINT point);
    void MouseMove(WPARAM keys, POINT point);
    void MouseLeave();

    int GetMode() const { return m_mode; }
    void SetMode(int mode);
    void CancelDrag();
    int FitRectToClient(int x, int y, int zoomIn);
    HCURSOR Cursor() const { return m_cursor; }

    // The feedback figures of an edit drag, in mm: the area's outline with
    // vertex `handle` moved, and the zone an output distance would cut off
    // (a line from left to right, a circle, or the area scaled down).
    static void BuildVertexFigure(AreaSet& areas, int handle, POINT moved, ViewFeedback* figure);
    static void BuildOutputFigure(AreaSet& areas, POINT moved, LONG left, LONG right, ViewFeedback* figure);

private:
    ViewModes(const ViewModes&) = delete;
    ViewModes& operator=(const ViewModes&) = delete;

    void LeftDragBegin(WPARAM keys, POINT point);
    void LeftDrag(WPARAM keys, POINT point);
    void LeftDragEnd(WPARAM keys, POINT point);
    void LeftClick(WPARAM keys, POINT point);
    void PanBegin();
    void PanEnd();

    void EditHover(POINT point);
    void EditDrag(WPARAM keys, POINT point);
    void EditEnd(WPARAM keys, POINT point);
    void HintOnce(int hint, POINT point);
    void MoveBegin();
    void MoveDrag(WPARAM keys, POINT point);
    void CancelMove();
    void ZoomBegin();
    void ZoomDrag(POINT point);
    void ZoomToRect(WPARAM keys, POINT point);
    void ZoomClick(WPARAM keys, POINT point);
    void ZoomInto(bool zoomOut, RECT r, bool animate, bool fitAspect);
    void AnimateZoom(const RECT& from, const RECT& to);
    void EnterVertexMode();
    void LeaveVertexMode(int commit);
    void VertexMove(WPARAM keys, POINT point);
    void PlaceVertex(WPARAM keys, POINT point);

    int HitTest(POINT point, POINT* value);
    POINT EditPoint(WPARAM keys, POINT point);
    POINT PlanPoint(WPARAM keys, POINT point);
    void ShowFeedback(bool inMillimetres);
    void SetModeCursor();
    void SetCursor(HCURSOR cursor);
    void PostToParent(UINT msg, WPARAM wParam, LPARAM lParam);
    void PostCursor(POINT mm);
    RECT ClientRect() const;

    MouseView* m_view;
    int m_mode;
    int m_lastOrdinaryMode;  // 0, 1 or 2: where a temporary mode returns
    int m_hotHandle;         // 0..8, kNoHandleHinted or kNoHandle
    int m_dragging;
    int m_editDrag;          // the left drag began on an active handle
    int m_button;
    POINT m_down;            // device, where the button went down
    POINT m_last;            // device, the last mouse position
    int m_tracking;          // mouse-leave tracking armed
    HCURSOR m_cursor;
    POINTS m_placed[7];      // mm, the vertices placed in mode 3
    int m_placedCount;
    ViewMapping m_panStart;  // the mapping when a pan began, for Escape
    ViewFeedback m_figure;   // the feedback as last handed to the view
};

#endif
