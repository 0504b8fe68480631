#ifndef TESTS_MAINWINDOW_PRINT_PRINTRIG_H
#define TESTS_MAINWINDOW_PRINT_PRINTRIG_H

#include "framework/OwnedHandle.h"
#include "mainwindow/bands/Rebar.h"
#include "mainwindow/print/PrintView.h"
#include "mainwindow/program/Application.h"
#include "mainwindow/view/ScanView.h"
#include "protocol/DevicePort.h"
#include "sensor/AreaSet.h"
#include "sensor/MeasuringData.h"
#include "sensor/ScanShape.h"
#include "sensor/SensorCaps.h"
#include "tests/framework/TestOwnerWindow.h"

#include <initializer_list>

// A scan view that tells when every redraw posted so far has been drawn.
class SettledView : public ScanView {
public:
    SettledView();
    ~SettledView() override;
    void RenderPass(WORD flags) override;
    bool Settle();

private:
    OwnedHandle m_settled;
};

// An auto-reset event, set at each rebuild the render thread makes of what
// the area set and the scan shape below draw.
struct RebuildEvent {
    RebuildEvent() : event(CreateEventA(NULL, FALSE, FALSE, NULL)) {}
    HANDLE Get() const { return event.Get(); }
    OwnedHandle event;
};

class RebuiltAreas : public AreaSet {
public:
    void BuildRegions() override { AreaSet::BuildRegions(); SetEvent(rebuilt.Get()); }
    RebuildEvent rebuilt;
};

class RebuiltShape : public ScanShape {
public:
    void BuildPolygon769() override { ScanShape::BuildPolygon769(); SetEvent(rebuilt.Get()); }
    RebuildEvent rebuilt;
};

// What printing needs around it, as the program wires it: a frame window
// with the tool bands (the print band lists the spooler's printers), a scan
// view of 800 x 600 client pixels (or another size) with one detection
// area, and the print view joined to both.
class PrintRig {
public:
    static const int kClientWidth = 800;
    static const int kClientHeight = 600;

    PrintRig();
    ~PrintRig();
    // 1 when every window exists.
    bool Open(int clientWidth = kClientWidth, int clientHeight = kClientHeight);
    // The current area from up to seven points (mm), drawn.
    bool LoadArea(std::initializer_list<POINT> points);
    // The printer chosen in the band (0 = the first); -1 chooses none.
    void SelectPrinter(int index);
    int PrinterCount();
    RECT* Margins(int index);
    void SetZoom(int percent);
    // Enters the preview as the frame does: the view in mode 4, a full refresh.
    bool EnterPreview();

    TestOwnerWindow frame;
    Rebar rebar;
    Application application;
    DevicePort port;
    SensorCaps caps;
    RebuiltAreas areas;
    RebuiltShape shape;
    MeasuringData data;
    PrintView print;
    SettledView view;
};

#endif
