#include "protocol/ComPortWorker.h"

ComPortWorker::ComPortWorker(DevicePort* port) : m_devicePort(port) {
    InitializeCriticalSection(&m_startLock);
    ZeroMemory(m_portMap, sizeof(m_portMap));
    AddMessageHandler(WM_COMWORKER_OPEN, Handler(&ComPortWorker::OnOpenPort));
    AddMessageHandler(WM_COMWORKER_SCAN, Handler(&ComPortWorker::OnScanPorts));
}

ComPortWorker::~ComPortWorker() {
    Stop();
    DeleteCriticalSection(&m_startLock);
}

int ComPortWorker::EnsureStarted() {
    EnterCriticalSection(&m_startLock);
    if (GetThreadId() == 0) Start(NULL, 0, 0, 0);
    LeaveCriticalSection(&m_startLock);
    return GetThreadId() != 0 ? 1 : 0;
}

int ComPortWorker::Stop() {
    return WorkerThread::Stop();
}

int ComPortWorker::RequestOpen(int port) {
    if (GetThreadId() == 0) return 0;
    return PostMessage(WM_COMWORKER_OPEN, static_cast<WPARAM>(port), 0) ? 1 : 0;
}

int ComPortWorker::RequestScan() {
    if (GetThreadId() == 0) return 0;
    return PostMessage(WM_COMWORKER_SCAN, 0, 0) ? 1 : 0;
}

LRESULT ComPortWorker::OnOpenPort(WPARAM, LPARAM) {
    return 0;
}

LRESULT ComPortWorker::OnScanPorts(WPARAM, LPARAM) {
    return 0;
}
