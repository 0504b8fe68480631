#include "protocol/ComPortWorker.h"

#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"
#include "protocol/SensorDeviceBase.h"

#include <new>

ComPortWorker::ComPortWorker(DevicePort* port)
    : m_devicePort(port), m_takingDevices(false), m_openPort(0), m_retryTimer(0) {
    ZeroMemory(m_portMap, sizeof(m_portMap));
    AddMessageHandler(WM_COMWORKER_OPEN, Handler(&ComPortWorker::OnOpenPort));
    AddMessageHandler(WM_COMWORKER_SCAN, Handler(&ComPortWorker::OnScanPorts));
    AddMessageHandler(WM_COMWORKER_LOST, Handler(&ComPortWorker::OnPortLost));
    AddMessageHandler(WM_COMWORKER_RETIRE, Handler(&ComPortWorker::OnRetireDevice));
    AddMessageHandler(WM_TIMER, Handler(&ComPortWorker::OnRetryTimer));
}

ComPortWorker::~ComPortWorker() {
    Stop();
}

int ComPortWorker::EnsureStarted() {
    {
        CriticalLock::Hold start(m_startLock);
        if (GetThreadId() == 0) {
            {
                CriticalLock::Hold retire(m_retireLock);
                m_takingDevices = true;
            }
            Start(NULL, 0, 0, 0);
        }
    }
    return GetThreadId() != 0 ? 1 : 0;
}

int ComPortWorker::Stop() {
    const int stopped = WorkerThread::Stop();
    // The retry timer was the thread's and ended with it.
    m_retryTimer = 0;
    return stopped;
}

int ComPortWorker::RequestOpen(int port) {
    if (GetThreadId() == 0) return 0;
    // Drops every level holder: the link stops before its port goes away.
    m_devicePort->AcquireLinkLevel(0);
    return PostMessage(WM_COMWORKER_OPEN, static_cast<WPARAM>(port), 0) ? 1 : 0;
}

int ComPortWorker::RequestScan() {
    if (GetThreadId() == 0) return 0;
    return PostMessage(WM_COMWORKER_SCAN, 0, 0) ? 1 : 0;
}

int ComPortWorker::ReportLost(DWORD session) {
    if (GetThreadId() == 0) return 0;
    return PostMessage(WM_COMWORKER_LOST, static_cast<WPARAM>(session), 0) ? 1 : 0;
}

int ComPortWorker::RequestRetire(std::unique_ptr<SensorDeviceBase>& device) {
    // Posted under the lock: once the loop has ended (RunLoop) no device is
    // posted into a queue nobody reads.
    CriticalLock::Hold retire(m_retireLock);
    if (!m_takingDevices || GetThreadId() == 0) return 0;
    if (!PostMessage(WM_COMWORKER_RETIRE, reinterpret_cast<WPARAM>(device.get()), 0)) return 0;
    device.release();  // the message carries it to OnRetireDevice
    return 1;
}

DWORD ComPortWorker::RunLoop() {
    const DWORD code = WorkerThread::RunLoop();
    {
        CriticalLock::Hold retire(m_retireLock);
        m_takingDevices = false;
    }
    CloseQueuedDevices();
    return code;
}

// The devices posted before the loop ended that still wait behind its quit
// (a device switch's last user left it as the program ended).
void ComPortWorker::CloseQueuedDevices() {
    MSG msg;
    while (PeekMessageA(&msg, NULL, WM_COMWORKER_RETIRE, WM_COMWORKER_RETIRE, PM_REMOVE))
        OnRetireDevice(msg.wParam, msg.lParam);
}

LRESULT ComPortWorker::OnRetireDevice(WPARAM device, LPARAM) {
    std::unique_ptr<SensorDeviceBase> retired(reinterpret_cast<SensorDeviceBase*>(device));
    retired->Close();
    return 0;
}

LRESULT ComPortWorker::OnPortLost(WPARAM session, LPARAM) {
    // The user may have opened or closed a port since: only the lost one goes.
    if (!m_devicePort->IsOpen() || m_devicePort->Session() != static_cast<DWORD>(session)) return 0;
    // The link stops and the port closes; it stays the chosen one and is
    // tried again until the device is back.
    m_devicePort->AcquireLinkLevel(0);
    m_devicePort->Close();
    if (m_openPort != 0 && m_retryTimer == 0) m_retryTimer = SetTimer(NULL, 0, kRetryMs, NULL);
    return 0;
}

LRESULT ComPortWorker::OnRetryTimer(WPARAM timer, LPARAM) {
    if (timer != m_retryTimer || m_retryTimer == 0) return 0;
    if (!m_devicePort->Open(m_openPort)) return 0;
    StopRetries();
    m_devicePort->AcquireLinkLevel(1);
    return 0;
}

void ComPortWorker::StopRetries() {
    if (m_retryTimer != 0) KillTimer(NULL, m_retryTimer);
    m_retryTimer = 0;
}

LRESULT ComPortWorker::OnOpenPort(WPARAM port, LPARAM) {
    StopRetries();
    // wParam carries the int of the request: a negative number closes too.
    const bool opening = SerialPort::IsPortNumber(static_cast<int>(port));
    const int ok = opening ? m_devicePort->Open(static_cast<int>(port)) : m_devicePort->Close();
    const int reported = opening && ok ? static_cast<int>(port) : 0;
    m_openPort = reported;
    // A newly opened port starts its link at level 1.
    if (reported != 0) m_devicePort->AcquireLinkLevel(1);
    m_devicePort->NotifyPortOpened(reported, ok);
    return 0;
}

LRESULT ComPortWorker::OnScanPorts(WPARAM, LPARAM) {
    for (int word = 0; word < kPortMapWords; ++word) {
        // Each port enters at bit 31 and moves down; after 32 ports bit k
        // stands for port 32 word + k + 1 and the old contents are gone.
        for (int bit = 1; bit <= 32; ++bit) {
            m_portMap[word] >>= 1;
            COMMCONFIG config;
            DWORD size = sizeof(config);
            ZeroMemory(&config, sizeof(config));
            config.dwSize = sizeof(config);
            if (m_devicePort->GetDefaultCommConfig(32 * word + bit, &config, &size) == TRUE) {
                m_portMap[word] |= 0x80000000UL;
            }
        }
    }
    // The frame gets a copy of its own: the next scan rewrites the map
    // while the frame may still read the last one.
    std::unique_ptr<DWORD[]> copy(new (std::nothrow) DWORD[kPortMapWords]);
    if (copy == NULL) return 0;
    CopyMemory(copy.get(), m_portMap, sizeof m_portMap);
    if (m_devicePort->NotifyPortList(copy.get())) copy.release();  // the frame frees a posted copy
    return 0;
}
