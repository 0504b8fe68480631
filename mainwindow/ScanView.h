#ifndef MAINWINDOW_SCANVIEW_H
#define MAINWINDOW_SCANVIEW_H

#include "framework/ChildWindow.h"

class Application;
class AreaSet;
class DevicePort;
class MeasuringData;
class PrintView;
class ScanShape;
class SensorCaps;

// The plan view of the sensor's scans and areas: a child window of the main
// frame of the class "ZORViewWClass" with the control id 2000. Its layers
// are switched by the DrawItem bits, kept in the settings section "View".
// User-interface thread only.
class ScanView : public ChildWindow {
public:
    static const int kControlId = 2000;
    static const char kWindowClass[];
    static const char kSection[];
    // DrawItem bits.
    static const WORD kDrawRecord = 0x02;
    static const WORD kDrawRealtime = 0x04;
    static const WORD kDrawArea = 0x08;
    static const WORD kDrawHandles = 0x10;
    static const WORD kDefaultDrawItem = kDrawRealtime | kDrawArea | kDrawHandles;

    ScanView();
    ~ScanView() override;

    virtual ScanView* SetSensorCaps(SensorCaps* caps);
    virtual ScanView* SetMeasuringData(MeasuringData* data);
    virtual ScanView* SetScanShape(ScanShape* shape);
    virtual ScanView* SetAreaSet(AreaSet* areas);
    virtual ScanView* SetPrintView(PrintView* printView);
    virtual ScanView* SetDevicePort(DevicePort* port);
    virtual ScanView* SetApplication(Application* application);
    // Drops every collaborator; the application calls it on exit.
    virtual void ReleaseObjects();
    // The view window; 0 unless every collaborator is set.
    virtual HWND Create(HINSTANCE instance, HWND parent);
    // 1 when any bit of mask is set in DrawItem.
    virtual int TestDrawItem(WORD mask);
    virtual void SetLastWindowRect(const RECT* rect);
    // 0 edit, 1 move, 2 zoom.
    virtual int GetMode();
    virtual void CancelDrag();
    virtual void LoadMapping();
    virtual void SaveMapping();
    virtual HWND CreateViewWindow(HINSTANCE instance, HWND parent);

private:
    BOOL HasCollaborators() const;

    Application* m_application;
    DevicePort* m_devicePort;
    PrintView* m_printView;
    AreaSet* m_areaSet;
    ScanShape* m_scanShape;
    MeasuringData* m_measuringData;
    SensorCaps* m_sensorCaps;
    HINSTANCE m_instance;
    HWND m_parent;
    RECT m_lastWindowRect;  // screen coordinates; empty until the frame reports one
    WORD m_drawItem;
    BYTE m_mode;
};

#endif
