#ifndef MAINWINDOW_VIEW_SCANVIEW_H
#define MAINWINDOW_VIEW_SCANVIEW_H

#include "dialogs/RecordingView.h"
#include "framework/ChildWindow.h"
#include "framework/CriticalLock.h"
#include "mainwindow/view/MouseView.h"
#include "mainwindow/view/RenderingView.h"
#include "mainwindow/view/ViewFigures.h"
#include "mainwindow/view/ViewLayers.h"
#include "mainwindow/view/ViewMapping.h"
#include "mainwindow/view/ViewModes.h"
#include "mainwindow/view/ViewRenderThread.h"

class AreaSet;
class DevicePort;
class MeasuringData;
class MessagePump;
class PreviewPainter;
class ScanData;
class ScanShape;
class SensorCaps;

// The plan view of the sensor: a child window of the main frame of the class
// "ZORViewWClass" (control id 2000) showing a metre grid, the recorded scans,
// the realtime scan and the current area with its edit handles, in
// millimetres with the sensor at the origin. A render thread of its own draws
// everything into two memory layers; WM_PAINT only copies the finished
// picture. The mouse modes live in ViewModes, which see the view as a
// MouseView (whose draw-item bits and redraw flags are the view's); the
// render thread sees it as a RenderingView; the mapping lives in ViewMapping.
// The recording dialog sees the view as a RecordingView.
//
// Threads and locks:
// - the user-interface thread runs the window, the mouse and every call from
//   the frame and the dialogs; it alone writes m_mapping;
// - the render thread draws every layer;
// - m_viewLock guards the layers (their contexts and bitmaps), and the
//   realtime polygon and area regions that DrawTo draws on the user-interface
//   thread; held while drawing into or copying from the layers and while
//   rebuilding the polygon and the regions;
// - m_stateLock guards the small values the two threads exchange: the render
//   thread's copy of the mapping, the handles, the feedback and the hand-over
//   of the realtime scan. It is only ever held briefly, so the user-interface
//   thread never waits for a long drawing.
class ScanView : public ChildWindow, public RecordingView, public MouseView, public RenderingView {
public:
    static const int kControlId = 2000;
    static const char kWindowClass[];
    static const char kSection[];

    ScanView();
    ~ScanView() override;

    virtual ScanView* SetSensorCaps(SensorCaps* caps);
    virtual ScanView* SetMeasuringData(MeasuringData* data);
    virtual ScanView* SetScanShape(ScanShape* shape);
    virtual ScanView* SetAreaSet(AreaSet* areas);
    // What paints the print preview (the print view).
    virtual ScanView* SetPrintView(PreviewPainter* printView);
    virtual ScanView* SetDevicePort(DevicePort* port);
    // The render thread yields through the application's pump.
    virtual ScanView* SetApplication(MessagePump* application);
    // Drops every collaborator, ending a drawing of recorded scans in
    // progress; the application calls it on exit.
    virtual void ReleaseObjects();
    // Starts the render thread and creates the window; 0 unless every
    // collaborator is set, 0 with 0x20000001 when the window fails.
    virtual HWND Create(HINSTANCE instance, HWND parent);
    // The window, for the frame and the mouse modes alike.
    HWND GetHwnd() override { return ChildWindow::GetHwnd(); }
    // Makes the device rectangle (x, y, cx, cy) of the picture the visible
    // area, within the mapping's limits.
    int SetMapping(int x, int y, int cx, int cy) override;
    // Posts WM_VIEW_REDRAW with the flags to the render thread.
    int Redraw(WORD flags) override;
    int TestDrawItem(WORD mask) override;
    void SetDrawItem(WORD mask, int on) override;
    virtual int RedrawAreas();
    virtual int RedrawRealtime();
    virtual int RedrawFlag80();
    // The frame's wheel zoom about a client point: 1 in, 0 out.
    virtual int FitRectToClient(int x, int y, int zoomIn);
    virtual int SetLastWindowRect(const RECT* rect);
    // 0 edit, 1 move, 2 zoom, 3 vertex placement, 4 print preview.
    virtual int GetMode();
    virtual void SetMode(int mode);
    virtual void CancelDrag();
    virtual HDC GetCompositeDC();
    virtual void GetContentExtents(RECT* rect);
    // Draws the view's content into another context (printer, preview,
    // metafile) scaled by sx, sy and centred in *rect; with dc 0 only
    // computes the placement.
    virtual int DrawTo(HDC dc, RECT* rect, double sx, double sy);
    // Adds the last recorded scan to the background layer without a rebuild.
    virtual void DrawBackgroundItems();
    // The recording dialog's requests: the layout and background redrawn,
    // or the last recorded scan added (DrawBackgroundItems).
    void RedrawRecording() override;
    void DrawRecordedScan() override;
    virtual void SetGridCircle(int circles);
    virtual void LoadMapping();
    virtual void SaveMapping();
    virtual HWND CreateViewWindow(HINSTANCE instance, HWND parent);
    // The frame hands each realtime scan over here: copied under the state
    // lock so the render thread never builds from half of one scan, then a
    // realtime redraw is posted.
    virtual void SetRealtimeScan(const ScanData& scan);

    // One render pass; the render thread calls it.
    void RenderPass(WORD flags) override;
    virtual void RenderBackground(WORD flags);
    virtual void RenderData(WORD flags);
    bool IsStopping() const override { return m_stopping != 0; }

    // For the mouse modes (user-interface thread).
    const ViewMapping& Mapping() const override { return m_mapping; }
    void RestoreMapping(const ViewMapping& mapping) override;
    AreaSet* Areas() const override { return m_areaSet; }
    HWND Parent() const override { return m_parent; }
    HINSTANCE Instance() const override { return m_instance; }
    void GetHandles(ViewHandles* handles) override;
    void SetFeedback(const ViewFeedback& feedback) override;
    void SavePreviewClient() override;

    // The lock around the layers, for whoever draws into them from outside
    // (the print preview).
    CriticalLock& ViewLock() { return m_viewLock; }

protected:

    virtual LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnRButtonDown(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnRButtonUp(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMButtonDown(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMButtonUp(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDisplayChange(WPARAM wParam, LPARAM lParam);
    // The screen as the system measures it: the virtual screen covers every
    // monitor, the desktop window the primary one.
    virtual SIZE VirtualScreenSize();
    virtual SIZE DesktopSize();

private:
    BOOL HasCollaborators() const;
    LRESULT MouseButton(int button, bool down, WPARAM keys, LPARAM lParam);
    void StopRenderThread();
    int CreateLayers();
    void PublishMapping();
    ViewMapping RenderMapping();
    void BuildRealtimePolygon();
    int RealtimeBrush();
    void PrepareDataLayer(const ViewMapping& mapping);
    void ComposeData(const ViewMapping& mapping);
    void DrawRecordedScans(HDC dc);
    void DrawContent(HDC dc, WORD items, int right, int bottom);

    // Collaborators, not owned; set by the application before Create.
    MessagePump* m_application;
    DevicePort* m_devicePort;
    PreviewPainter* m_printView;
    AreaSet* m_areaSet;
    ScanShape* m_scanShape;
    MeasuringData* m_measuringData;
    SensorCaps* m_sensorCaps;
    HINSTANCE m_instance;
    HWND m_parent;

    CriticalLock m_viewLock;   // guards m_layers, the realtime polygon and the area regions
    CriticalLock m_stateLock;  // guards m_renderMapping, m_handles, m_feedback, the realtime hand-over
    ViewLayers m_layers;
    ViewMapping m_mapping;        // user-interface thread only
    ViewMapping m_renderMapping;  // the render thread's copy
    ViewHandles m_handles;        // written by the render thread
    ViewFeedback m_feedback;      // written by the user-interface thread
    ViewModes m_modes;            // user-interface thread only
    ViewRenderThread m_renderThread;
    volatile LONG m_stopping;     // 1 while the render thread is being stopped
    volatile WORD m_drawItem;     // written by the user-interface thread, read by both
    volatile LONG m_gridCircle;   // written by the user-interface thread
    POINT m_previewClientOrigin;  // user-interface thread: the client when the preview began
    SIZE m_previewClientExtent;
    RECT m_lastWindowRect;        // screen; empty until the first WM_SIZE
};

#endif
