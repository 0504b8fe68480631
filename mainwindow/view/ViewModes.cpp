#include "mainwindow/view/ViewModes.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "dialogs/DialogMessages.h"
#include "framework/GdiObject.h"
#include "framework/WindowDc.h"
#include "mainwindow/view/MouseView.h"
#include "mainwindow/view/ViewMessages.h"
#include "sensor/AreaSet.h"

namespace {

const double kPi = 3.14159265358979323846;
const double kFullTurn = 2 * kPi;
const int kNoHandleHinted = 254;  // no handle under the pointer, the mode's hint posted
const int kNoHandle = 255;        // no handle, no hint posted yet
const int kSnapPixels = 10;       // a vertex dropped this near the sensor goes onto it
const int kAnimationSteps = 10;
const DWORD kAnimationStepMs = 20;

DWORD Pack(POINT p) {
    return static_cast<DWORD>(static_cast<WORD>(p.x)) | static_cast<DWORD>(static_cast<WORD>(p.y)) << 16;
}

POINT Unpack(DWORD packed) {
    POINT p = {static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))};
    return p;
}

// Shift rounds to whole 100 mm, halves away from zero.
int RoundTo100(int v) {
    return ((v < 0 ? -50 : 50) + v) / 100 * 100;
}

int LimitCoordinate(int v) {
    if (v > AreaSet::kCoordinateLimit) return AreaSet::kCoordinateLimit;
    return v < -AreaSet::kCoordinateLimit ? -AreaSet::kCoordinateLimit : v;
}

int Clamp(int v, int low, int high) {
    if (v > high) v = high;
    return v < low ? low : v;
}

bool Shift(WPARAM keys) {
    return (keys & MK_SHIFT) != 0;
}

int Radius(POINT p) {
    return static_cast<int>(std::sqrt(static_cast<double>(p.x) * p.x + static_cast<double>(p.y) * p.y));
}

}  // namespace

ViewModes::ViewModes(MouseView* view)
    : m_view(view),
      m_mode(kEdit),
      m_lastOrdinaryMode(kEdit),
      m_hotHandle(kNoHandle),
      m_dragging(0),
      m_editDrag(0),
      m_button(kLeft),
      m_down(),
      m_last(),
      m_tracking(0),
      m_cursor(LoadCursor(NULL, IDC_ARROW)),
      m_placed(),
      m_placedCount(0) {}

// --- Buttons and moves ---------------------------------------------------

void ViewModes::ButtonDown(int button, WPARAM keys, POINT point) {
    HWND hwnd = m_view->GetHwnd();
    if (m_view->Parent() != NULL && GetFocus() != m_view->Parent()) SetFocus(m_view->Parent());
    if (GetCapture() == hwnd) return;
    SetCapture(hwnd);
    m_button = button;
    m_down = point;
    // A pan measures its first step from here, whatever moved before.
    m_last = point;
    if (button == kLeft && m_mode == kMove) LeftDragBegin(keys, point);
    if (button == kMiddle) PanBegin();
}

void ViewModes::ButtonUp(int button, WPARAM keys, POINT point) {
    if (GetCapture() != m_view->GetHwnd() || m_button != button) return;
    ReleaseCapture();
    if (button == kLeft) {
        if (m_dragging) {
            LeftDragEnd(keys, point);
        } else {
            LeftClick(keys, point);
        }
    } else if (button == kMiddle && m_dragging) {
        PanEnd();
    }
}

void ViewModes::MouseMove(WPARAM keys, POINT point) {
    if (m_mode == kPreview) {
        m_last = point;
        return;
    }
    if (!m_dragging && GetCapture() == m_view->GetHwnd()) {
        const int dx = std::abs(static_cast<short>(point.x) - static_cast<short>(m_down.x));
        const int dy = std::abs(static_cast<short>(point.y) - static_cast<short>(m_down.y));
        if (dx > GetSystemMetrics(SM_CXDRAG) || dy > GetSystemMetrics(SM_CYDRAG)) {
            if (m_button == kLeft) LeftDragBegin(keys, point);
            if (m_button == kMiddle) PanBegin();
        }
    }
    if (!m_tracking) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, m_view->GetHwnd(), HOVER_DEFAULT};
        m_tracking = TrackMouseEvent(&track) ? 1 : 0;
    }
    if (!m_dragging) {
        switch (m_mode) {
        case kEdit: EditHover(point); break;
        case kMove: HintOnce(kHintMove, point); break;
        case kZoom: HintOnce(kHintZoom, point); break;
        case kPlaceVertices: VertexMove(keys, point); break;
        default: break;
        }
    } else if (m_button == kLeft) {
        LeftDrag(keys, point);
    } else if (m_button == kMiddle) {
        MoveDrag(keys, point);
    }
    m_last = point;
}

void ViewModes::MouseLeave() {
    m_tracking = 0;
    m_hotHandle = kNoHandle;
    PostToParent(WM_STATUS_CLEAR_HINT, 0, 0);
}

void ViewModes::LeftDragBegin(WPARAM keys, POINT point) {
    m_dragging = 1;
    if (m_mode == kPreview) return;
    if (m_mode == kEdit) {
        m_editDrag = m_hotHandle < ViewHandles::kCount && m_view->TestDrawItem(MouseView::kDrawHandles);
        if (!m_editDrag) return;
    }
    if (m_mode != kPlaceVertices) {
        m_view->SetDrawItem(MouseView::kDrawFeedback, 1);
        m_figure = ViewFeedback();
        m_view->SetFeedback(m_figure);
    }
    if (m_mode == kMove) MoveBegin();
    if (m_mode == kZoom) ZoomBegin();
    (void)keys;
    (void)point;
}

void ViewModes::LeftDrag(WPARAM keys, POINT point) {
    switch (m_mode) {
    case kEdit: EditDrag(keys, point); break;
    case kMove: MoveDrag(keys, point); break;
    case kZoom: ZoomDrag(point); break;
    case kPlaceVertices: VertexMove(keys, point); break;
    default: break;
    }
}

void ViewModes::LeftDragEnd(WPARAM keys, POINT point) {
    m_dragging = 0;
    if (m_mode == kPreview) return;
    if (m_mode != kPlaceVertices) m_view->SetDrawItem(MouseView::kDrawFeedback, 0);
    switch (m_mode) {
    case kEdit: EditEnd(keys, point); break;
    case kMove: SetCursor(LoadCursor(m_view->Instance(), MAKEINTRESOURCE(kMoveCursor))); break;
    case kZoom: ZoomToRect(keys, point); break;
    default: break;
    }
}

void ViewModes::LeftClick(WPARAM keys, POINT point) {
    if (m_mode == kZoom) ZoomClick(keys, point);
    if (m_mode == kPlaceVertices) PlaceVertex(keys, point);
}

void ViewModes::PanBegin() {
    m_dragging = 1;
    if (m_mode != kPreview) MoveBegin();
}

void ViewModes::PanEnd() {
    m_dragging = 0;
    if (m_mode != kPreview) SetModeCursor();
}

// --- Edit mode -----------------------------------------------------------

void ViewModes::EditHover(POINT point) {
    PostCursor(m_view->ToLogical(point));
    if (m_view->Areas() == NULL) return;
    POINT value = {0, 0};
    const int index = HitTest(point, &value);
    if (GetCapture() == m_view->GetHwnd() || index == m_hotHandle) return;
    m_hotHandle = index;
    HCURSOR cursor = LoadCursor(NULL, index < ViewHandles::kVertexCount ? IDC_SIZEALL
                                      : index < ViewHandles::kCount ? IDC_SIZENS
                                                                     : IDC_ARROW);
    if (!m_view->TestDrawItem(MouseView::kDrawHandles)) cursor = LoadCursor(NULL, IDC_ARROW);
    SetCursor(cursor);
    if (index < ViewHandles::kCount) {
        PostToParent(WM_STATUS_EDIT_HANDLE, index, static_cast<LPARAM>(Pack(value)));
    } else {
        PostToParent(WM_STATUS_HINT, kHintEdit, 0);
    }
}

// The first handle whose square contains the point, with its value in mm.
int ViewModes::HitTest(POINT point, POINT* value) {
    ViewHandles handles;
    m_view->GetHandles(&handles);
    if (!handles.valid) return kNoHandleHinted;
    AreaSet* areas = m_view->Areas();
    for (int i = 0; i < ViewHandles::kCount; ++i) {
        if (!PtInRect(&handles.rects[i], point)) continue;
        if (i < ViewHandles::kVertexCount) {
            *value = Unpack(areas->GetPoint(i));
        } else {
            value->x = 0;
            value->y = i == ViewHandles::kOutput2 ? areas->GetOutput2() : areas->GetOutput3();
        }
        return i;
    }
    return kNoHandleHinted;
}

// The pointer in mm: onto the sensor within 10 pixels of it, rounded with
// Shift, within the area limits.
POINT ViewModes::EditPoint(WPARAM keys, POINT point) {
    POINT origin = {0, 0};
    const POINT sensor = m_view->ToDevice(origin);
    const int dx = point.x - sensor.x;
    const int dy = point.y - sensor.y;
    if (dx * dx + dy * dy < kSnapPixels * kSnapPixels) return origin;
    return PlanPoint(keys, point);
}

POINT ViewModes::PlanPoint(WPARAM keys, POINT point) {
    POINT mm = m_view->ToLogical(point);
    if (Shift(keys)) {
        mm.x = RoundTo100(mm.x);
        mm.y = RoundTo100(mm.y);
    }
    mm.x = LimitCoordinate(mm.x);
    mm.y = LimitCoordinate(mm.y);
    return mm;
}

void ViewModes::EditDrag(WPARAM keys, POINT point) {
    const POINT mm = EditPoint(keys, point);
    PostCursor(mm);
    LPCSTR shape = IDC_ARROW;
    if (mm.x != 0 || mm.y != 0) {
        if (m_hotHandle < ViewHandles::kVertexCount) shape = IDC_SIZEALL;
        else if (m_hotHandle < ViewHandles::kCount) shape = IDC_SIZENS;
    }
    SetCursor(LoadCursor(NULL, shape));
    if (!m_editDrag || m_view->Areas() == NULL) return;
    if (m_hotHandle < ViewHandles::kVertexCount) {
        BuildVertexFigure(*m_view->Areas(), m_hotHandle, mm, &m_figure);
    } else {
        const SIZE client = m_view->ClientSize();
        const POINT left = {0, 0}, right = {client.cx, 0};
        BuildOutputFigure(*m_view->Areas(), mm, m_view->ToLogical(left).x, m_view->ToLogical(right).x, &m_figure);
    }
    ShowFeedback(true);
}

// The area's outline with the dragged vertex at its new place: the other
// points in angular order with the moved one at the place where it will sort,
// passing through the sensor where the outline jumps more than half a turn.
void ViewModes::BuildVertexFigure(AreaSet& areas, int handle, POINT moved, ViewFeedback* figure) {
    ViewFeedback& f = *figure;
    f = ViewFeedback();
    f.kind = ViewFeedback::kPolygon;
    f.figureCount = 1;
    f.Append(0, 0);
    const int place = areas.AreaGeometry25(Pack(moved));
    double previous = kFullTurn;
    for (int i = 0; i <= ViewHandles::kVertexCount; ++i) {
        if (i == place) {
            const double a = areas.PolarAngle(moved.x, moved.y);
            if (a - previous > kPi) f.Append(0, 0);
            f.Append(moved.x, moved.y);
            previous = a;
        }
        if (i == handle) continue;
        if (i == ViewHandles::kVertexCount) break;
        const double a = areas.VertexAngle(i);
        if (a == kFullTurn) break;
        if (a - previous > kPi) f.Append(0, 0);
        const POINT p = Unpack(areas.GetPoint(i));
        f.Append(p.x, p.y);
        previous = a;
    }
}

// The zone an output distance would cut off, by the partition shape: a line
// across the view, a circle round the sensor, or the area scaled down.
void ViewModes::BuildOutputFigure(AreaSet& areas, POINT moved, LONG left, LONG right, ViewFeedback* figure) {
    ViewFeedback& f = *figure;
    f = ViewFeedback();
    switch (areas.GetEffectivePartitionShape()) {
    case 0: {
        f.kind = ViewFeedback::kPolyline;
        f.figureCount = 1;
        const int y = moved.y > 0 ? moved.y : 0;
        f.Append(right, y);
        f.Append(left, y);
        break;
    }
    case 1: {
        f.kind = ViewFeedback::kEllipse;
        const int r = Radius(moved);
        f.Append(-r, r);
        f.Append(r, -r);
        break;
    }
    case 2: {
        f.kind = ViewFeedback::kPolygon;
        f.figureCount = 1;
        const int maxY = areas.MaxAbsY();
        double ratio = maxY == 0 ? 0.0 : static_cast<double>(moved.y) / maxY;
        if (ratio > 1.0) ratio = 1.0;
        if (ratio < 0.0) ratio = 0.0;
        f.Append(0, 0);
        double previous = kFullTurn;
        for (int i = 0; i < ViewHandles::kVertexCount; ++i) {
            const double a = areas.VertexAngle(i);
            if (a == kFullTurn) break;
            if (a - previous > kPi) f.Append(0, 0);
            const POINT p = Unpack(areas.GetPoint(i));
            f.Append(static_cast<LONG>(p.x * ratio), static_cast<LONG>(p.y * ratio));
            previous = a;
        }
        break;
    }
    default:
        break;
    }
}

// Hands the figure to the render thread, its points turned into pixels first
// when they are millimetres.
void ViewModes::ShowFeedback(bool inMillimetres) {
    ViewFeedback shown = m_figure;
    if (inMillimetres) {
        for (int i = 0; i < shown.pointCount; ++i) shown.points[i] = m_view->ToDevice(shown.points[i]);
    }
    m_view->SetFeedback(shown);
    m_view->Redraw(MouseView::kRedrawFeedback);
}

void ViewModes::EditEnd(WPARAM keys, POINT point) {
    AreaSet* areas = m_view->Areas();
    if (!m_editDrag || areas == NULL) return;
    m_editDrag = 0;
    const POINT mm = EditPoint(keys, point);
    areas->SetRecordHistory(1);
    if (m_hotHandle < ViewHandles::kVertexCount) {
        areas->SetPoint(m_hotHandle, Pack(mm));
    } else {
        int value;
        switch (areas->GetEffectivePartitionShape()) {
        case 0:
        case 2: value = mm.y > 0 ? mm.y : 0; break;
        case 1: value = Radius(mm); break;
        default: value = mm.y; break;
        }
        if (m_hotHandle == ViewHandles::kOutput2) {
            areas->SetOutput2(static_cast<short>(value));
        } else {
            areas->SetOutput3(static_cast<short>(value));
        }
    }
    ::SendMessageA(m_view->Parent(), WM_AREA_EDITED, 0, 0);
    // The feedback is gone and the area has changed: recompose at once.
    m_view->Redraw(MouseView::kRedrawAreas);
}

// --- Move mode and the middle-button pan -------------------------------------

void ViewModes::HintOnce(int hint, POINT point) {
    PostCursor(m_view->ToLogical(point));
    if (m_hotHandle != kNoHandle) return;
    m_hotHandle = kNoHandleHinted;
    PostToParent(WM_STATUS_HINT, hint, 0);
}

void ViewModes::MoveBegin() {
    m_panStart = m_view->Mapping();
    SetCursor(LoadCursor(m_view->Instance(), MAKEINTRESOURCE(kMovingCursor)));
}

void ViewModes::MoveDrag(WPARAM keys, POINT point) {
    const int factor = Shift(keys) ? 3 : 1;
    const SIZE client = m_view->ClientSize();
    m_view->SetMapping((m_last.x - point.x) * factor, (m_last.y - point.y) * factor, client.cx, client.cy);
    m_view->Redraw(MouseView::kRedrawLayout | MouseView::kRedrawBackground);
}

// Escape puts back the mapping the pan started from, however fast it went.
void ViewModes::CancelMove() {
    if (!m_dragging) return;
    if (GetCapture() == m_view->GetHwnd()) ReleaseCapture();
    m_dragging = 0;
    m_view->RestoreMapping(m_panStart);
    m_view->SetDrawItem(MouseView::kDrawFeedback, 0);
    m_view->Redraw(MouseView::kRedrawLayout | MouseView::kRedrawBackground);
    if (m_mode == kMove) {
        SetCursor(LoadCursor(m_view->Instance(), MAKEINTRESOURCE(kMoveCursor)));
    } else {
        SetModeCursor();
    }
}

// --- Zoom mode -----------------------------------------------------------

void ViewModes::ZoomBegin() {
    m_figure = ViewFeedback();
    m_figure.kind = ViewFeedback::kPolygon;
    m_figure.figureCount = 1;
    for (int i = 0; i < 4; ++i) m_figure.Append(m_down.x, m_down.y);
    m_view->SetFeedback(m_figure);
}

void ViewModes::ZoomDrag(POINT point) {
    const SIZE client = m_view->ClientSize();
    const POINT c = {Clamp(point.x, 0, client.cx), Clamp(point.y, 0, client.cy)};
    m_figure.points[1].x = c.x;
    m_figure.points[1].y = m_down.y;
    m_figure.points[2] = c;
    m_figure.points[3].x = m_down.x;
    m_figure.points[3].y = c.y;
    ShowFeedback(false);
    POINT from = m_view->ToLogical(m_down);
    POINT to = m_view->ToLogical(c);
    ::SendMessageA(m_view->Parent(), WM_STATUS_ZOOM_SIZE, reinterpret_cast<WPARAM>(&from),
                   reinterpret_cast<LPARAM>(&to));
}

void ViewModes::ZoomToRect(WPARAM keys, POINT point) {
    // A rectangle that never left the drag distance is a click.
    if (std::abs(point.x - m_down.x) <= GetSystemMetrics(SM_CXDRAG) &&
        std::abs(point.y - m_down.y) <= GetSystemMetrics(SM_CYDRAG)) {
        ZoomClick(keys, point);
        return;
    }
    RECT r = {m_down.x < point.x ? m_down.x : point.x, m_down.y < point.y ? m_down.y : point.y,
              m_down.x < point.x ? point.x : m_down.x, m_down.y < point.y ? point.y : m_down.y};
    ZoomInto(Shift(keys), r, true, true);
}

// One click zooms by 1.2 about the point, keeping it on its pixel.
void ViewModes::ZoomClick(WPARAM keys, POINT point) {
    const SIZE c = m_view->ClientSize();
    RECT r = {point.x - 5 * point.x / 6, point.y - 5 * point.y / 6, point.x + 5 * (c.cx - point.x) / 6,
              point.y + 5 * (c.cy - point.y) / 6};
    ZoomInto(Shift(keys), r, true, false);
}

int ViewModes::FitRectToClient(int x, int y, int zoomIn) {
    const SIZE c = m_view->ClientSize();
    RECT r = {x - 9 * x / 10, y - 9 * y / 10, x + 9 * (c.cx - x) / 10, y + 9 * (c.cy - y) / 10};
    ZoomInto(zoomIn == 0, r, false, false);
    return 0;
}

// Zooms in so that r fills the client, or out so that the client shrinks
// into r.
void ViewModes::ZoomInto(bool zoomOut, RECT r, bool animate, bool fitAspect) {
    const RECT client = ClientRect();
    const int W = client.right, H = client.bottom;
    if (W < 1 || H < 1) return;
    if (animate) {
        if (zoomOut) {
            AnimateZoom(client, r);
        } else {
            AnimateZoom(r, client);
        }
    }
    int w = r.right - r.left, h = r.bottom - r.top;
    if (fitAspect) {
        if (W * h > H * w) {
            const int grow = w - MulDiv(W, h, H);
            r.left += grow / 2;
            r.right -= grow / 2;
        } else {
            const int grow = h - MulDiv(H, w, W);
            r.top += grow / 2;
            r.bottom -= grow / 2;
        }
        w = r.right - r.left;
        h = r.bottom - r.top;
    }
    if (w < 1 || h < 1) return;
    if (zoomOut) {
        RECT out = {-MulDiv(r.left, W, w), -MulDiv(r.top, H, h), W + MulDiv(W - r.right, W, w),
                    H + MulDiv(H - r.bottom, H, h)};
        r = out;
    }
    m_view->SetMapping(r.left, r.top, r.right - r.left, r.bottom - r.top);
    m_view->Redraw(MouseView::kRedrawLayout | MouseView::kRedrawBackground);
}

// Ten inverted rectangles from one rectangle towards the other, each drawn
// and wiped again, about 200 ms in all.
void ViewModes::AnimateZoom(const RECT& from, const RECT& to) {
    WindowDc dc(m_view->GetHwnd());
    if (dc.Get() == NULL) return;
    SelectScope brush(dc, GetStockObject(NULL_BRUSH));
    const int oldRop = SetROP2(dc, R2_NOT);
    for (int i = 0; i < kAnimationSteps; ++i) {
        const RECT r = {from.left - (from.left - to.left) * i / kAnimationSteps,
                        from.top - (from.top - to.top) * i / kAnimationSteps,
                        from.right - (from.right - to.right) * i / kAnimationSteps,
                        from.bottom - (from.bottom - to.bottom) * i / kAnimationSteps};
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        Sleep(kAnimationStepMs);
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
    }
    SetROP2(dc, oldRop);
}

// --- Vertex placement ------------------------------------------------------

void ViewModes::EnterVertexMode() {
    m_figure = ViewFeedback();
    m_figure.kind = ViewFeedback::kPlacedPoints;
    m_view->SetFeedback(m_figure);
    m_view->SetDrawItem(MouseView::kDrawFeedback, 1);
    m_placedCount = 0;
    memset(m_placed, 0, sizeof m_placed);
}

void ViewModes::VertexMove(WPARAM keys, POINT point) {
    PostCursor(PlanPoint(keys, point));
}

void ViewModes::PlaceVertex(WPARAM keys, POINT point) {
    const POINT mm = PlanPoint(keys, point);
    PostCursor(mm);
    if (m_placedCount < ViewHandles::kVertexCount) {
        m_figure.points[m_placedCount] = m_view->ToDevice(mm);
        m_placed[m_placedCount].x = static_cast<SHORT>(mm.x);
        m_placed[m_placedCount].y = static_cast<SHORT>(mm.y);
        ++m_placedCount;
        m_figure.pointCount = m_placedCount;
        m_figure.figureCount = m_placedCount;
        m_view->SetFeedback(m_figure);
    }
    m_view->Redraw(MouseView::kRedrawFeedback);
    if (m_placedCount == ViewHandles::kVertexCount) ::SendMessageA(m_view->Parent(), WM_AREA_POINTS_PLACED, 0, 0);
}

// Stores all seven placed points at once as one area record, so each placed
// point lands in its own vertex: setting them one by one by sorted position
// would overwrite points that an earlier set had moved into that position.
void ViewModes::LeaveVertexMode(int commit) {
    m_view->SetDrawItem(MouseView::kDrawFeedback, 0);
    AreaSet* areas = m_view->Areas();
    if (!commit || areas == NULL) return;
    BYTE record[kAreaRecordBytes];
    areas->GetCurrentRaw(record);
    for (int i = 0; i < ViewHandles::kVertexCount; ++i) {
        const WORD x = static_cast<WORD>(m_placed[i].x);
        const WORD y = static_cast<WORD>(m_placed[i].y);
        record[4 * i] = LOBYTE(x);
        record[4 * i + 1] = HIBYTE(x);
        record[4 * i + 2] = LOBYTE(y);
        record[4 * i + 3] = HIBYTE(y);
    }
    areas->SetCurrentRaw(record);
}

// --- Modes -----------------------------------------------------------------

void ViewModes::SetMode(int mode) {
    const int before = m_mode;
    if (mode == kPreview) {
        m_mode = kPreview;
    } else if (mode == kEdit || mode == kMove || mode == kZoom) {
        m_lastOrdinaryMode = mode;
        if (m_mode != kPreview) m_mode = mode;
    } else if (mode == kPlaceVertices) {
        if (m_mode != kPreview) m_mode = kPlaceVertices;
    } else if (mode == kCommitPlacement || mode == kDiscardPlacement) {
        m_mode = m_lastOrdinaryMode;
    } else {
        return;
    }
    SetModeCursor();
    if (m_mode == before) return;
    if (m_mode == kPlaceVertices) EnterVertexMode();
    if (m_mode == kPreview) {
        m_view->SetDrawItem(MouseView::kDrawPreview, 1);
        m_view->SavePreviewClient();
    }
    if (before == kPlaceVertices) {
        LeaveVertexMode(mode == kCommitPlacement);
        m_view->Redraw(MouseView::kRedrawAreas);
    }
    if (before == kPreview) m_view->SetDrawItem(MouseView::kDrawPreview, 0);
}

void ViewModes::CancelDrag() {
    switch (m_mode) {
    case kEdit:
    case kZoom:
        if (!m_dragging) return;
        // A pan with the middle button is undone like one in move mode.
        if (m_button == kMiddle) {
            CancelMove();
            return;
        }
        if (GetCapture() == m_view->GetHwnd()) ReleaseCapture();
        m_dragging = 0;
        m_editDrag = 0;
        m_view->SetDrawItem(MouseView::kDrawFeedback, 0);
        m_view->Redraw(0);
        break;
    case kMove:
        CancelMove();
        break;
    case kPlaceVertices:
        SetMode(kDiscardPlacement);
        break;
    default:
        break;
    }
}

void ViewModes::SetModeCursor() {
    switch (m_mode) {
    case kMove: SetCursor(LoadCursor(m_view->Instance(), MAKEINTRESOURCE(kMoveCursor))); break;
    case kZoom: SetCursor(LoadCursor(m_view->Instance(), MAKEINTRESOURCE(kZoomCursor))); break;
    case kPlaceVertices: SetCursor(LoadCursor(NULL, IDC_CROSS)); break;
    default: SetCursor(LoadCursor(NULL, IDC_ARROW)); break;
    }
}

void ViewModes::SetCursor(HCURSOR cursor) {
    m_cursor = cursor != NULL ? cursor : LoadCursor(NULL, IDC_ARROW);
    ::SetCursor(m_cursor);
}

void ViewModes::PostToParent(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_view->Parent() != NULL) PostMessageA(m_view->Parent(), msg, wParam, lParam);
}

void ViewModes::PostCursor(POINT mm) {
    PostToParent(WM_STATUS_CURSOR, static_cast<WPARAM>(mm.x), static_cast<LPARAM>(mm.y));
}

RECT ViewModes::ClientRect() const {
    const SIZE c = m_view->ClientSize();
    RECT r = {0, 0, c.cx, c.cy};
    return r;
}
