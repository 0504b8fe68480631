#include "tests/dialogs/e2e/SimulatedSensor.h"

#include "dialogs/IOTestDlg.h"
#include "dialogs/WaveFormDlg.h"
#include "protocol/DeviceMessages.h"
#include "tests/protocol/e2e/ReadyPort.h"

namespace {

const char kClassName[] = "SimulatedSensorFrame";
IOTestDlg* g_ioDialog = NULL;  // test thread only
int g_confirmedForces = 0;     // test thread only
WaveFormDlg* g_waveFormDialog = NULL;  // test thread only
DeviceHost* g_application = NULL;      // test thread only
DevicePort* g_port = NULL;             // test thread only
int g_waveFormReports = 0;             // test thread only

}  // namespace

BOOL SimulatedSensor::FramePort::PostToFrame(UINT msg, WPARAM wParam, LPARAM lParam) {
    return PostMessageA(m_window, msg, wParam, lParam);
}

LRESULT CALLBACK SimulatedSensor::FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DEVICE_OUTPUT_STATE && g_ioDialog != NULL)
        g_ioDialog->ShowState(LOBYTE(wParam), LOBYTE(lParam), LOBYTE(HIWORD(lParam)));
    if (msg == WM_DEVICE_IO_FORCED && wParam == 1) ++g_confirmedForces;
    if (msg == WM_DEVICE_TYPE_RECOGNIZED && g_port != NULL) g_port->SelectDevice(LOWORD(wParam));
    if (msg == WM_DEVICE_WAVE_FORM) {
        ++g_waveFormReports;
        const bool both = g_application->GetWaveFormBoth() != 0;
        if (g_waveFormDialog != NULL && both) g_waveFormDialog->ShowStatistics();
        if (g_waveFormDialog != NULL && !both) g_waveFormDialog->ShowWaveForm();
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

SimulatedSensor::SimulatedSensor() : m_window(NULL), m_selected(false) {
    g_confirmedForces = 0;
    g_waveFormReports = 0;
    g_application = &m_application;
    g_port = &m_port;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    m_window = CreateWindowExA(0, kClassName, "frame", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL,
                               wc.hInstance, NULL);
    m_port.m_window = m_window;
}

SimulatedSensor::~SimulatedSensor() {
    g_port = NULL;
    g_ioDialog = NULL;
    g_waveFormDialog = NULL;
    if (m_window != NULL) DestroyWindow(m_window);
}

bool SimulatedSensor::Select(WORD deviceType) {
    m_selected = m_window != NULL && ReadyPort(&m_port, &m_application, &m_frame, &m_waveForm, &m_caps, deviceType);
    return m_selected;
}

bool SimulatedSensor::Connect(int com, DWORD timeoutMs) {
    if (!m_selected && !Select(0)) return false;
    if (m_port.RequestOpen(com) != 1) return false;
    return PumpUntil([&] { return m_port.GetLinkLevel() == 1; }, timeoutMs);
}

void SimulatedSensor::ForwardIoTo(IOTestDlg* dialog) {
    g_ioDialog = dialog;
}

int SimulatedSensor::ConfirmedForces() const {
    return g_confirmedForces;
}

void SimulatedSensor::ForwardWaveFormTo(WaveFormDlg* dialog) {
    g_waveFormDialog = dialog;
}

int SimulatedSensor::WaveFormReports() const {
    return g_waveFormReports;
}

BOOL SimulatedSensor::Host::SaveMeasurementFileDialog(char* buffer, DWORD size) {
    if (savePath.empty()) return FALSE;
    lstrcpynA(buffer, savePath.c_str(), static_cast<int>(size));
    return TRUE;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
    }
}
