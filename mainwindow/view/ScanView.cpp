#include "mainwindow/view/ScanView.h"

#include "framework/ErrorCodes.h"
#include "framework/Geometry.h"
#include "framework/IniFile.h"
#include "framework/MessagePump.h"
#include "framework/WindowDc.h"
#include "mainwindow/view/PreviewPainter.h"
#include "mainwindow/view/ViewMessages.h"
#include "sensor/AreaSet.h"
#include "sensor/MeasuringData.h"
#include "sensor/ScanShape.h"
#include "sensor/SensorCaps.h"

const char ScanView::kWindowClass[] = "ZORViewWClass";
const char ScanView::kSection[] = "View";

namespace {

const int kVertexHalf = 3;     // a vertex handle is 7 x 7 pixels about its point
const int kOutputHalf = 5;     // an output handle is 10 pixels wide
const int kOutputHeight = 12;  // and stands 12 pixels high on its point

POINT Unpack(DWORD packed) {
    POINT p = {static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))};
    return p;
}

}  // namespace

ScanView::ScanView()
    : m_application(NULL),
      m_devicePort(NULL),
      m_printView(NULL),
      m_areaSet(NULL),
      m_scanShape(NULL),
      m_measuringData(NULL),
      m_sensorCaps(NULL),
      m_instance(NULL),
      m_parent(NULL),
      m_modes(this),
      m_renderThread(this),
      m_stopping(0),
      m_drawItem(kDefaultDrawItem),
      m_gridCircle(0),
      m_previewClientOrigin(),
      m_previewClientExtent(),
      m_lastWindowRect() {
    LoadMapping();
    AddMessageHandler(WM_CREATE, Handler(&ScanView::OnCreate));
    AddMessageHandler(WM_DESTROY, Handler(&ScanView::OnDestroy));
    AddMessageHandler(WM_ERASEBKGND, Handler(&ScanView::OnEraseBkgnd));
    AddMessageHandler(WM_PAINT, Handler(&ScanView::OnPaint));
    AddMessageHandler(WM_SIZE, Handler(&ScanView::OnSize));
    AddMessageHandler(WM_SETCURSOR, Handler(&ScanView::OnSetCursor));
    AddMessageHandler(WM_LBUTTONDOWN, Handler(&ScanView::OnLButtonDown));
    AddMessageHandler(WM_LBUTTONUP, Handler(&ScanView::OnLButtonUp));
    AddMessageHandler(WM_RBUTTONDOWN, Handler(&ScanView::OnRButtonDown));
    AddMessageHandler(WM_RBUTTONUP, Handler(&ScanView::OnRButtonUp));
    AddMessageHandler(WM_MBUTTONDOWN, Handler(&ScanView::OnMButtonDown));
    AddMessageHandler(WM_MBUTTONUP, Handler(&ScanView::OnMButtonUp));
    AddMessageHandler(WM_MOUSEMOVE, Handler(&ScanView::OnMouseMove));
    AddMessageHandler(WM_MOUSELEAVE, Handler(&ScanView::OnMouseLeave));
    AddMessageHandler(WM_MOUSEWHEEL, Handler(&ScanView::OnMouseWheel));
    AddMessageHandler(WM_DISPLAYCHANGE, Handler(&ScanView::OnDisplayChange));
}

ScanView::~ScanView() {
    StopRenderThread();
    SaveMapping();
    if (GetHwnd() != NULL) Destroy();
}

ScanView* ScanView::SetSensorCaps(SensorCaps* caps) {
    m_sensorCaps = caps;
    return this;
}

ScanView* ScanView::SetMeasuringData(MeasuringData* data) {
    m_measuringData = data;
    return this;
}

ScanView* ScanView::SetScanShape(ScanShape* shape) {
    m_scanShape = shape;
    return this;
}

ScanView* ScanView::SetAreaSet(AreaSet* areas) {
    m_areaSet = areas;
    return this;
}

ScanView* ScanView::SetPrintView(PreviewPainter* printView) {
    m_printView = printView;
    return this;
}

ScanView* ScanView::SetDevicePort(DevicePort* port) {
    m_devicePort = port;
    return this;
}

ScanView* ScanView::SetApplication(MessagePump* application) {
    m_application = application;
    return this;
}

// A long drawing of recorded scans is cut short, and the render thread ends
// before the objects it draws go.
void ScanView::ReleaseObjects() {
    if (m_measuringData != NULL) m_measuringData->SetFlag75();
    StopRenderThread();
    m_application = NULL;
    m_devicePort = NULL;
    m_printView = NULL;
    m_areaSet = NULL;
    m_scanShape = NULL;
    m_measuringData = NULL;
    m_sensorCaps = NULL;
}

BOOL ScanView::HasCollaborators() const {
    return m_application != NULL && m_devicePort != NULL && m_printView != NULL && m_areaSet != NULL &&
           m_scanShape != NULL && m_measuringData != NULL && m_sensorCaps != NULL;
}

HWND ScanView::Create(HINSTANCE instance, HWND parent) {
    if (!HasCollaborators()) return NULL;
    if (GetHwnd() != NULL) return GetHwnd();
    m_instance = instance;
    m_parent = parent;
    InterlockedExchange(&m_stopping, 0);
    if (m_renderThread.GetThreadId() == 0 && !m_renderThread.Start(NULL, 0, 0, THREAD_PRIORITY_NORMAL)) return NULL;
    HWND hwnd = CreateViewWindow(instance, parent);
    if (hwnd == NULL) {
        SetLastError(kErrorMainWindow);
        return NULL;
    }
    Redraw(kRedrawLayout | kRedrawBackground);
    return hwnd;
}

HWND ScanView::CreateViewWindow(HINSTANCE instance, HWND parent) {
    WNDCLASSA wc = {};
    wc.style = CS_PARENTDC;
    wc.lpfnWndProc = &ChildWindow::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    // A second view in the same process finds the class registered.
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return NULL;

    CREATESTRUCTA cs = {};
    cs.hInstance = instance;
    cs.hMenu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId));
    cs.hwndParent = parent;
    cs.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    cs.lpszClass = kWindowClass;
    cs.dwExStyle = WS_EX_CLIENTEDGE;
    return ChildWindow::Create(&cs);
}

void ScanView::StopRenderThread() {
    InterlockedExchange(&m_stopping, 1);
    m_renderThread.Stop();
}

// --- Settings and mapping ----------------------------------------------------

void ScanView::LoadMapping() {
    IniFile settings;
    m_mapping.Load(settings);
    WORD items = static_cast<WORD>(settings.GetInt(kSection, "DrawItem", kDefaultDrawItem)) & kSavedDrawItems;
    // The handles are active exactly while the area layer is shown.
    if ((items & kDrawArea) != 0) {
        items |= kDrawHandles;
    } else {
        items &= static_cast<WORD>(~kDrawHandles);
    }
    m_drawItem = items;
    PublishMapping();
}

void ScanView::SaveMapping() {
    IniFile settings;
    m_mapping.Save(settings);
    settings.WriteInt(kSection, "DrawItem", m_drawItem);
}

int ScanView::SetMapping(int x, int y, int cx, int cy) {
    const int result = m_mapping.SetMapping(x, y, cx, cy);
    PublishMapping();
    return result;
}

void ScanView::RestoreMapping(const ViewMapping& mapping) {
    m_mapping = mapping;
    PublishMapping();
}

void ScanView::PublishMapping() {
    CriticalLock::Hold hold(m_stateLock);
    m_renderMapping = m_mapping;
}

ViewMapping ScanView::RenderMapping() {
    CriticalLock::Hold hold(m_stateLock);
    return m_renderMapping;
}

// --- Requests from the frame and the dialogs --------------------------------

int ScanView::Redraw(WORD flags) {
    if (m_renderThread.GetThreadId() == 0) return 0;
    return m_renderThread.PostMessage(WM_VIEW_REDRAW, flags, 0) ? 1 : 0;
}

int ScanView::RedrawAreas() {
    Redraw(kRedrawAreas);
    return 1;
}

int ScanView::RedrawRealtime() {
    Redraw(kRedrawRealtime);
    return 1;
}

int ScanView::RedrawFlag80() {
    Redraw(kRedrawScan2);
    return 1;
}

int ScanView::TestDrawItem(WORD mask) {
    return (m_drawItem & mask) != 0 ? 1 : 0;
}

void ScanView::SetDrawItem(WORD mask, int on) {
    if (on == 1) {
        m_drawItem = static_cast<WORD>(m_drawItem | mask);
    } else {
        m_drawItem = static_cast<WORD>(m_drawItem & ~mask);
    }
}

void ScanView::SetGridCircle(int circles) {
    InterlockedExchange(&m_gridCircle, circles);
    Redraw(kRedrawLayout);
}

void ScanView::SetRealtimeScan(const ScanData& scan) {
    if (m_scanShape == NULL) return;
    {
        CriticalLock::Hold hold(m_stateLock);
        m_scanShape->SetScan(scan);
    }
    RedrawRealtime();
}

int ScanView::FitRectToClient(int x, int y, int zoomIn) {
    return m_modes.FitRectToClient(x, y, zoomIn);
}

int ScanView::SetLastWindowRect(const RECT* rect) {
    if (rect != NULL && GetHwnd() != NULL && IsWindowVisible(GetHwnd())) m_lastWindowRect = *rect;
    return 1;
}

int ScanView::GetMode() {
    return m_modes.GetMode();
}

void ScanView::SetMode(int mode) {
    m_modes.SetMode(mode);
}

void ScanView::CancelDrag() {
    m_modes.CancelDrag();
}

HDC ScanView::GetCompositeDC() {
    return m_layers.Composite();
}

void ScanView::SavePreviewClient() {
    m_previewClientOrigin = m_mapping.ClientOrigin();
    m_previewClientExtent = m_mapping.ClientExtent();
}

void ScanView::GetContentExtents(RECT* rect) {
    if (rect == NULL) return;
    const SIZE extent = (m_drawItem & kDrawPreview) != 0 ? m_previewClientExtent : m_mapping.ClientExtent();
    SetRect(rect, 0, 0, extent.cx, extent.cy);
}

void ScanView::GetHandles(ViewHandles* handles) {
    CriticalLock::Hold hold(m_stateLock);
    *handles = m_handles;
}

void ScanView::SetFeedback(const ViewFeedback& feedback) {
    CriticalLock::Hold hold(m_stateLock);
    m_feedback = feedback;
}

// The recording dialog adds each recorded scan here, so the background layer
// grows by one polygon instead of being rebuilt from every scan.
void ScanView::DrawBackgroundItems() {
    if (m_measuringData == NULL) return;
    CriticalLock::Hold hold(m_viewLock);
    HDC dc = m_layers.Background();
    if (dc == NULL) return;
    m_mapping.Apply(dc);
    SelectScope pen(dc, GetStockObject(BLACK_PEN));
    SelectScope brush(dc, GetStockObject(NULL_BRUSH));
    m_measuringData->FinishDraw(dc);
    ViewMapping::Reset(dc);
}

void ScanView::RedrawRecording() {
    Redraw(kRedrawLayout | kRedrawBackground);
}

void ScanView::DrawRecordedScan() {
    DrawBackgroundItems();
}

// The render thread calls it for the preview: it reads the published copy
// of the mapping, not the user-interface thread's own.
int ScanView::DrawTo(HDC dc, RECT* rect, double sx, double sy) {
    if (rect == NULL) return 0;
    const ViewMapping mapping = RenderMapping();
    const SIZE content = (m_drawItem & kDrawPreview) != 0 ? m_previewClientExtent : mapping.ClientExtent();
    const SIZE viewport = {static_cast<LONG>(mapping.ViewportExtent().cx * sx),
                           static_cast<LONG>(mapping.ViewportExtent().cy * sy)};
    RECT k = {0, 0, static_cast<LONG>(content.cx * sx), static_cast<LONG>(content.cy * sy)};
    OffsetRect(&k, rect->left + (RectWidth(rect) - k.right) / 2, rect->top + (RectHeight(rect) - k.bottom) / 2);
    IntersectRect(rect, rect, &k);
    // The viewport origin is in screen pixels like the extent: it scales with it.
    const POINT origin = {static_cast<LONG>(mapping.ViewportOrigin().x * sx) + k.left,
                          static_cast<LONG>(mapping.ViewportOrigin().y * sy) + k.top};
    if (dc == NULL) return 1;

    CriticalLock::Hold hold(m_viewLock);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect->left, rect->top, rect->right, rect->bottom);
    LOGFONTA font = {};
    HDC background = m_layers.Background();
    if (background != NULL) GetObjectA(GetCurrentObject(background, OBJ_FONT), sizeof font, &font);
    font.lfHeight = content.cy > 0 ? MulDiv(font.lfHeight, RectHeight(&k), content.cy) : -1;
    if (font.lfHeight >= 0) font.lfHeight = -1;
    OwnedFont scaled(CreateFontIndirectA(&font));
    {
        SelectScope selected(dc, scaled);
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowExtEx(dc, mapping.WindowExtent().cx, mapping.WindowExtent().cy, NULL);
        SetViewportExtEx(dc, viewport.cx, viewport.cy, NULL);
        SetWindowOrgEx(dc, mapping.WindowOrigin().x, mapping.WindowOrigin().y, NULL);
        SetViewportOrgEx(dc, origin.x, origin.y, NULL);
        DrawContent(dc, m_drawItem, k.right, k.bottom);
    }
    RestoreDC(dc, saved);
    return 1;
}

// The printable content on a mapped context: grid, recorded scans, the
// realtime scan and the area, without handles or feedback.
void ScanView::DrawContent(HDC dc, WORD items, int right, int bottom) {
    m_layers.DrawGrid(dc, right, bottom, m_gridCircle);
    if ((items & kDrawRecord) != 0 && m_measuringData != NULL) DrawRecordedScans(dc);
    if ((items & kDrawRealtime) != 0 && m_scanShape != NULL) m_scanShape->DrawBrush1(dc);
    if ((items & kDrawArea) != 0 && m_areaSet != NULL) m_areaSet->Draw(dc);
}

void ScanView::DrawRecordedScans(HDC dc) {
    SelectScope pen(dc, GetStockObject(BLACK_PEN));
    SelectScope brush(dc, GetStockObject(NULL_BRUSH));
    m_measuringData->PrepareDraw(dc);
}

// --- Rendering (render thread) ------------------------------------------------

void ScanView::RenderPass(WORD flags) {
    RenderBackground(flags);
    if (m_application != NULL) m_application->Yield();
    RenderData(flags);
    if ((m_drawItem & kDrawPreview) == 0 && GetHwnd() != NULL) InvalidateRect(GetHwnd(), NULL, FALSE);
    if (m_application != NULL) m_application->Yield();
}

void ScanView::RenderBackground(WORD flags) {
    if ((m_drawItem & kDrawPreview) != 0 || (flags & (kRedrawLayout | kRedrawBackground)) == 0) return;
    const ViewMapping mapping = RenderMapping();
    // The recording dialog may add a scan to this layer from the other thread.
    CriticalLock::Hold hold(m_viewLock);
    HDC dc = m_layers.Background();
    if (dc == NULL) return;
    m_layers.ClearBackground();
    mapping.Apply(dc);
    m_layers.DrawGrid(dc, mapping.ClientExtent().cx, mapping.ClientExtent().cy, m_gridCircle);
    if ((m_drawItem & kDrawRecord) != 0 && m_measuringData != NULL) DrawRecordedScans(dc);
    ViewMapping::Reset(dc);
}

void ScanView::RenderData(WORD flags) {
    {
        // DrawTo draws the polygon and the regions on the other thread.
        CriticalLock::Hold hold(m_viewLock);
        if ((flags & kRedrawRealtime) != 0 && m_scanShape != NULL) BuildRealtimePolygon();
        if ((flags & kRedrawAreas) != 0 && m_areaSet != NULL) m_areaSet->BuildRegions();
    }
    if ((m_drawItem & kDrawPreview) != 0) {
        CriticalLock::Hold hold(m_viewLock);
        if (m_printView != NULL) m_printView->PaintPreview(0);
        return;
    }
    const ViewMapping mapping = RenderMapping();
    if ((flags & (kRedrawLayout | kRedrawAreas)) != 0) PrepareDataLayer(mapping);
    ComposeData(mapping);
}

// A sensor with fewer steps than the record has its scan in the record's
// middle, about step 384 (straight ahead), where the distance operation
// stores it and the recorded scans are drawn from.
void ScanView::BuildRealtimePolygon() {
    CriticalLock::Hold hold(m_stateLock);
    m_scanShape->BuildPolygon769();
}

// The first word of a realtime scan (step 0, or a short scan's first step)
// chooses how it is drawn: 1 and 2 draw over the previous picture with the
// second or third brush; anything else (0, or a distance a sensor reports
// there) refreshes it and uses the first brush.
int ScanView::RealtimeBrush() {
    CriticalLock::Hold hold(m_stateLock);
    const WORD first = m_scanShape->GetFirstWord();
    return first == 1 || first == 2 ? first : 0;
}

void ScanView::PrepareDataLayer(const ViewMapping& mapping) {
    if (m_areaSet == NULL) return;
    ViewHandles handles;
    for (int i = 0; i < ViewHandles::kCount; ++i) {
        POINT mm;
        if (i < ViewHandles::kVertexCount) {
            mm = Unpack(m_areaSet->GetPoint(i));
        } else {
            mm.x = 0;
            mm.y = i == ViewHandles::kOutput2 ? m_areaSet->GetOutput2() : m_areaSet->GetOutput3();
        }
        const POINT d = mapping.ToDevice(mm);
        handles.values[i] = mm;
        if (i < ViewHandles::kVertexCount) {
            SetRect(&handles.rects[i], d.x - kVertexHalf, d.y - kVertexHalf, d.x + kVertexHalf + 1, d.y + kVertexHalf + 1);
        } else {
            SetRect(&handles.rects[i], d.x - kOutputHalf, d.y - kOutputHeight, d.x + kOutputHalf, d.y);
        }
    }
    handles.valid = 1;
    CriticalLock::Hold hold(m_stateLock);
    m_handles = handles;
}

void ScanView::ComposeData(const ViewMapping& mapping) {
    const int brush = m_scanShape != NULL ? RealtimeBrush() : 0;
    ViewHandles handles;
    ViewFeedback feedback;
    {
        CriticalLock::Hold hold(m_stateLock);
        handles = m_handles;
        feedback = m_feedback;
    }
    const WORD items = m_drawItem;
    CriticalLock::Hold hold(m_viewLock);
    HDC dc = m_layers.Composite();
    if (dc == NULL) return;
    if (brush == 0) m_layers.CopyBackground();
    mapping.Apply(dc);
    if ((items & kDrawRealtime) != 0 && m_scanShape != NULL) {
        if (brush == 0) m_scanShape->DrawBrush1(dc);
        if (brush == 1) m_scanShape->DrawBrush2(dc);
        if (brush == 2) m_scanShape->DrawBrush3(dc);
    }
    if ((items & kDrawArea) != 0 && m_areaSet != NULL) m_areaSet->Draw(dc);
    ViewMapping::Reset(dc);
    if ((items & kDrawArea) != 0 && handles.valid && m_sensorCaps != NULL) {
        m_layers.DrawHandles(dc, handles, (items & kDrawHandles) != 0,
                             m_sensorCaps->HasCapability(SensorCaps::kCapCoordinateLimit));
    }
    if ((items & kDrawFeedback) != 0) m_layers.DrawFeedback(dc, feedback);
}

// --- Window messages ----------------------------------------------------------

LRESULT ScanView::OnCreate(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    CreateLayers();
    return 0;
}

// The layers cover the whole virtual screen (every monitor), so the view can
// grow to any size and be moved to any monitor without new bitmaps. The
// scale and its limits are per desktop window (the primary monitor), so a
// second monitor does not halve the zoom range.
int ScanView::CreateLayers() {
    const SIZE layers = VirtualScreenSize();
    WindowDc screen(GetHwnd());
    int created;
    {
        CriticalLock::Hold hold(m_viewLock);
        created = m_layers.Create(screen, layers.cx, layers.cy);
        const SIZE client = m_mapping.ClientExtent();
        m_layers.ClipTo(client.cx, client.cy);
    }
    const SIZE desktop = DesktopSize();
    m_mapping.SetDesktopSize(desktop.cx, desktop.cy);
    PublishMapping();
    return created;
}

SIZE ScanView::VirtualScreenSize() {
    const SIZE size = {GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    return size.cx >= 1 && size.cy >= 1 ? size : DesktopSize();
}

SIZE ScanView::DesktopSize() {
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const SIZE size = {RectWidth(&desktop), RectHeight(&desktop)};
    return size;
}

// The render thread ends before the layers it draws into are freed.
LRESULT ScanView::OnDestroy(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    StopRenderThread();
    CriticalLock::Hold hold(m_viewLock);
    m_layers.Free();
    return 0;
}

LRESULT ScanView::OnEraseBkgnd(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    return 0;
}

LRESULT ScanView::OnPaint(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    CriticalLock::Hold hold(m_viewLock);
    PaintDc dc(GetHwnd());
    HDC composite = m_layers.Composite();
    if (dc != NULL && composite != NULL) {
        const RECT& area = dc.Area();
        BitBlt(dc, area.left, area.top, RectWidth(&area), RectHeight(&area), composite, area.left, area.top,
               SRCCOPY);
    }
    return 0;
}

// The picture stays put on the screen when the view's top-left edge moves.
LRESULT ScanView::OnSize(WPARAM /*wParam*/, LPARAM lParam) {
    HWND hwnd = GetHwnd();
    if (!IsWindowVisible(hwnd)) return 0;
    SendMessage(WM_NCPAINT, 1, 0);
    const int width = LOWORD(lParam);
    const int height = HIWORD(lParam);
    m_mapping.SetClientExtent(width, height);
    RECT now;
    GetWindowRect(hwnd, &now);
    int dx = 0, dy = 0;
    if (!IsRectEmpty(&m_lastWindowRect)) {
        dx = now.left - m_lastWindowRect.left;
        dy = now.top - m_lastWindowRect.top;
    }
    m_lastWindowRect = now;
    {
        CriticalLock::Hold hold(m_viewLock);
        m_layers.ClipTo(width, height);
    }
    PublishMapping();
    if (width >= 1 && height >= 1) {
        SetMapping(dx, dy, width, height);
        Redraw(kRedrawLayout | kRedrawBackground);
    }
    return 0;
}

LRESULT ScanView::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT) return DefWindowProcA(GetHwnd(), WM_SETCURSOR, wParam, lParam);
    SetCursor(m_modes.Cursor());
    return TRUE;
}

LRESULT ScanView::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
    return MouseButton(ViewModes::kLeft, true, wParam, lParam);
}

LRESULT ScanView::OnLButtonUp(WPARAM wParam, LPARAM lParam) {
    return MouseButton(ViewModes::kLeft, false, wParam, lParam);
}

LRESULT ScanView::OnRButtonDown(WPARAM wParam, LPARAM lParam) {
    return MouseButton(ViewModes::kRight, true, wParam, lParam);
}

LRESULT ScanView::OnRButtonUp(WPARAM wParam, LPARAM lParam) {
    return MouseButton(ViewModes::kRight, false, wParam, lParam);
}

LRESULT ScanView::OnMButtonDown(WPARAM wParam, LPARAM lParam) {
    return MouseButton(ViewModes::kMiddle, true, wParam, lParam);
}

LRESULT ScanView::OnMButtonUp(WPARAM wParam, LPARAM lParam) {
    return MouseButton(ViewModes::kMiddle, false, wParam, lParam);
}

LRESULT ScanView::MouseButton(int button, bool down, WPARAM keys, LPARAM lParam) {
    POINT p;
    PointFromLParam(&p, lParam);
    if (down) {
        m_modes.ButtonDown(button, keys, p);
    } else {
        m_modes.ButtonUp(button, keys, p);
    }
    return 0;
}

LRESULT ScanView::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    POINT p;
    PointFromLParam(&p, lParam);
    m_modes.MouseMove(wParam, p);
    return 0;
}

LRESULT ScanView::OnMouseLeave(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    m_modes.MouseLeave();
    return 0;
}

// The frame zooms on the wheel through FitRectToClient; the wheel reaches
// the window with the focus, which may be the view.
LRESULT ScanView::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    if (Parent() == NULL) return 0;
    return ::SendMessageA(Parent(), WM_MOUSEWHEEL, wParam, lParam);
}

// A new screen layout gets layers of its size; the scale in millimetres per
// pixel stays, within the mapping's limits.
LRESULT ScanView::OnDisplayChange(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    CreateLayers();
    const SIZE client = m_mapping.ClientExtent();
    if (client.cx >= 1 && client.cy >= 1) SetMapping(0, 0, client.cx, client.cy);
    Redraw(kRedrawLayout | kRedrawBackground);
    return 0;
}
