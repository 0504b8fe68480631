#include "protocol/ComPortWorker.h"

#include "framework/PostedObject.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"
#include "protocol/SensorDeviceBase.h"

#include <new>

ComPortWorker::ComPortWorker(DevicePort* port) : m_devicePort(port), m_openPort(0), m_retryTimer(0) {
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
        if (GetThreadId() == 0) Start(NULL, 0, 0, 0);
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
    // The message carries it to OnRetireDevice; no post reaches a worker
    // that is not running.
    const BOOL posted = PostedObject<SensorDeviceBase>::Post(
        device, [this](ULONG_PTR object) { return PostMessage(WM_COMWORKER_RETIRE, object, 0); });
    return posted ? 1 : 0;
}

LRESULT ComPortWorker::OnRetireDevice(WPARAM device, LPARAM) {
    CloseRetired(PostedObject<SensorDeviceBase>::Take(device));
    return 0;
}

void ComPortWorker::OnQueueClosed() {
    // Devices handed over behind the quit are closed as if their turn came.
    PostedObject<SensorDeviceBase>::Drain(PostedObject<SensorDeviceBase>::ThreadMessages(), WM_COMWORKER_RETIRE,
                                          PostedObject<SensorDeviceBase>::kInWParam, &ComPortWorker::CloseRetired);
}

void ComPortWorker::CloseRetired(std::unique_ptr<SensorDeviceBase> device) {
    if (device != nullptr) device->Close();
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
    // The frame takes a posted copy; one not posted is freed here.
    PostedObject<DWORD[]>::Post(
        copy, [this](ULONG_PTR posted) { return m_devicePort->NotifyPortList(reinterpret_cast<const DWORD*>(posted)); });
    return 0;
}
