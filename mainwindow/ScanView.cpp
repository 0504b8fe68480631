#include "mainwindow/ScanView.h"

#include "framework/IniFile.h"

const char ScanView::kWindowClass[] = "ZORViewWClass";
const char ScanView::kSection[] = "View";

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
      m_lastWindowRect(),
      m_drawItem(kDefaultDrawItem),
      m_mode(0) {
    LoadMapping();
}

ScanView::~ScanView() {
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

ScanView* ScanView::SetPrintView(PrintView* printView) {
    m_printView = printView;
    return this;
}

ScanView* ScanView::SetDevicePort(DevicePort* port) {
    m_devicePort = port;
    return this;
}

ScanView* ScanView::SetApplication(Application* application) {
    m_application = application;
    return this;
}

void ScanView::ReleaseObjects() {
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
    return CreateViewWindow(instance, parent);
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

int ScanView::TestDrawItem(WORD mask) {
    return (m_drawItem & mask) != 0 ? 1 : 0;
}

void ScanView::SetLastWindowRect(const RECT* rect) {
    if (rect != NULL) m_lastWindowRect = *rect;
}

int ScanView::GetMode() {
    return m_mode;
}

void ScanView::CancelDrag() {}

void ScanView::LoadMapping() {
    IniFile settings;
    m_drawItem = static_cast<WORD>(settings.GetInt(kSection, "DrawItem", kDefaultDrawItem));
    // The handles are active exactly while the area layer is shown.
    if ((m_drawItem & kDrawArea) != 0) {
        m_drawItem |= kDrawHandles;
    } else {
        m_drawItem &= static_cast<WORD>(~kDrawHandles);
    }
}

void ScanView::SaveMapping() {
    IniFile settings;
    settings.WriteInt(kSection, "DrawItem", m_drawItem);
}
