#include "tests/mainwindow/print/PrintRig.h"

#include "resources/ToolBandIds.h"
#include "sensor/AreaRecord.h"

namespace {

const WORD kMarker = 0x8000;  // a redraw bit the view ignores
const DWORD kWaitMs = 10000;

DWORD Pack(int x, int y) {
    return static_cast<DWORD>(static_cast<WORD>(x)) | static_cast<DWORD>(static_cast<WORD>(y)) << 16;
}

}  // namespace

SettledView::SettledView() : m_settled(CreateEventA(NULL, FALSE, FALSE, NULL)) {}

SettledView::~SettledView() {
    Destroy();
}

void SettledView::RenderPass(WORD flags) {
    ScanView::RenderPass(flags);
    if (flags & kMarker) SetEvent(m_settled.Get());
}

bool SettledView::Settle() {
    ResetEvent(m_settled.Get());
    Redraw(kMarker);
    return WaitForSingleObject(m_settled.Get(), kWaitMs) == WAIT_OBJECT_0;
}

PrintRig::PrintRig() {
    areas.SetDevice(&caps);
    areas.Init();
    shape.SetDevice(&caps);
    data.SetSensorCaps(&caps);
    view.SetApplication(&application)->SetDevicePort(&port)->SetPrintView(&print);
    view.SetAreaSet(&areas)->SetScanShape(&shape)->SetMeasuringData(&data)->SetSensorCaps(&caps);
    print.SetScanView(&view);
    print.SetRebar(&rebar);
}

PrintRig::~PrintRig() {
    print.ReleaseObjects();
    view.Destroy();
    rebar.Destroy();
}

bool PrintRig::Open(int clientWidth, int clientHeight) {
    if (frame.CreateTest(clientWidth + 40, clientHeight + 140) == NULL) return false;
    if (rebar.Create(GetModuleHandleA(NULL), frame.GetHwnd()) == NULL) return false;
    HWND hwnd = view.Create(GetModuleHandleA(NULL), frame.GetHwnd());
    if (hwnd == NULL) return false;
    // The client edge takes two pixels a side.
    MoveWindow(hwnd, 0, 60, clientWidth + 4, clientHeight + 4, TRUE);
    view.SetDrawItem(ScanView::kDrawRealtime, 0);
    return view.Settle();
}

bool PrintRig::LoadArea(std::initializer_list<POINT> points) {
    BYTE record[kAreaRecordBytes] = {};
    int i = 0;
    for (const POINT& p : points) {
        *reinterpret_cast<DWORD*>(record + 4 * i) = Pack(p.x, p.y);
        ++i;
    }
    areas.SetCurrentRaw(record);
    view.RedrawAreas();
    return view.Settle();
}

void PrintRig::SelectPrinter(int index) {
    rebar.SendItemMessage(IDC_PRINTER, CB_SETCURSEL, index, 0);
}

int PrintRig::PrinterCount() {
    return static_cast<int>(rebar.SendItemMessage(IDC_PRINTER, CB_GETCOUNT, 0, 0));
}

RECT* PrintRig::Margins(int index) {
    return reinterpret_cast<RECT*>(rebar.SendItemMessage(IDC_PRINTER, CB_GETITEMDATA, index, 0));
}

void PrintRig::SetZoom(int percent) {
    HWND combo = rebar.GetItemWindow(IDC_PRINT_ZOOM);
    if (combo != NULL) SetWindowLongA(combo, GWL_USERDATA, percent);
}

bool PrintRig::EnterPreview() {
    view.SetMode(4);
    if (!view.Settle()) return false;
    return print.PaintPreview(PrintView::kRefreshPage | PrintView::kRefreshZoom) == 1;
}
