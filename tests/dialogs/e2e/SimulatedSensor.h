#ifndef TESTS_DIALOGS_E2E_SIMULATEDSENSOR_H
#define TESTS_DIALOGS_E2E_SIMULATEDSENSOR_H

#include <windows.h>

#include <functional>
#include <string>

#include "framework/ChildWindow.h"
#include "protocol/DevicePort.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"
#include "tests/protocol/TestHost.h"

class IOTestDlg;
class WaveFormDlg;

// The real device port linked to the sensor simulator, with the main frame's
// part played by a window of the test's own: I/O reports go to the I/O test
// dialog, confirmed forces are counted, waveform reports go to the waveform
// dialog as the main frame hands them on, and a recognised rate selects its
// device. Test thread only.
class SimulatedSensor {
public:
    SimulatedSensor();
    ~SimulatedSensor();

    // Readies the port with a device type (DevicePort::kProbeDeviceType: the
    // rate is searched for); Connect does it with type 0 when the test did not.
    bool Select(WORD deviceType);
    // Opens the simulator's COM port and waits until the link is at level 1.
    bool Connect(int com, DWORD timeoutMs);
    void ForwardIoTo(IOTestDlg* dialog);
    void ForwardWaveFormTo(WaveFormDlg* dialog);

    SensorCaps& Caps() { return m_caps; }
    DevicePort& Port() { return m_port; }
    HWND Window() const { return m_window; }
    int ConfirmedForces() const;
    int WaveFormReports() const;
    // The application as the dialogs see it; its measurement save dialog
    // answers with the path set here (empty: cancelled).
    class Host : public TestHost {
    public:
        BOOL SaveMeasurementFileDialog(char* buffer, DWORD size) override;
        std::string savePath;
    };
    Host& Application() { return m_application; }
    WaveFormRecord& WaveForm() { return m_waveForm; }

private:
    class FramePort : public DevicePort {
    public:
        HWND m_window = NULL;
        BOOL PostToFrame(UINT msg, WPARAM wParam, LPARAM lParam) override;
        LRESULT SendToFrame(UINT, WPARAM, LPARAM) override { return 0; }
    };

    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_window;
    bool m_selected;
    SensorCaps m_caps;
    WaveFormRecord m_waveForm;
    Host m_application;
    ChildWindow m_frame;  // a stand-in: the port posts to m_window instead
    FramePort m_port;     // last: closed before its collaborators go
};

// Handles this thread's messages until the condition holds; false after the
// time-out. Looks again every 20 ms: the simulator's log is another process's file.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

#endif
