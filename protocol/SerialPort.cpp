#include "protocol/SerialPort.h"

#include <stdio.h>

#include "framework/SentMessageWait.h"

namespace {

void FormatName(char* name, size_t size, const char* format, int port) {
    snprintf(name, size, format, port);
}

void CloseOwned(HANDLE* handle) {
    if (*handle != NULL && *handle != INVALID_HANDLE_VALUE) {
        DWORD saved = GetLastError();  // cleanup must not hide the caller's error
        CloseHandle(*handle);
        SetLastError(saved);
    }
    *handle = NULL;
}

int CreateEventIfMissing(OVERLAPPED* overlapped) {
    if (overlapped->hEvent == NULL) overlapped->hEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    return overlapped->hEvent != NULL ? 1 : 0;
}

// Only the received-character event: modem-line events break the wait on
// ports that cannot report modem status.
const DWORD kWaitMask = EV_RXCHAR;

}  // namespace

SerialPort::SerialPort()
    : m_inQueueSize(0), m_outQueueSize(0), m_eventMask(0), m_port(NULL), m_stopEvent(NULL), m_thread(NULL),
      m_threadId(0) {
    ZeroMemory(&m_dcb, sizeof(m_dcb));
    m_dcb.DCBlength = sizeof(DCB);
    m_dcb.BaudRate = CBR_9600;
    m_dcb.fBinary = 1;
    m_dcb.ByteSize = 8;
    ZeroMemory(&m_waitOv, sizeof(m_waitOv));
    ZeroMemory(&m_readOv, sizeof(m_readOv));
    ZeroMemory(&m_writeOv, sizeof(m_writeOv));
}

SerialPort::~SerialPort() {
    Close();
    CloseOwned(&m_waitOv.hEvent);
    CloseOwned(&m_readOv.hEvent);
    CloseOwned(&m_writeOv.hEvent);
    CloseOwned(&m_stopEvent);
}

int SerialPort::CreateEvents() {
    if (!CreateEventIfMissing(&m_waitOv)) return 0;
    if (!CreateEventIfMissing(&m_readOv)) return 0;
    if (!CreateEventIfMissing(&m_writeOv)) return 0;
    if (m_stopEvent == NULL) m_stopEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    return m_stopEvent != NULL ? 1 : 0;
}

int SerialPort::Open(int port) {
    if (m_waitOv.hEvent == NULL || m_readOv.hEvent == NULL || m_writeOv.hEvent == NULL || m_stopEvent == NULL) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    Close();
    if (!IsPortNumber(port)) return 1;
    HANDLE handle = CreateFile(port, GENERIC_READ | GENERIC_WRITE, 0, NULL, FILE_FLAG_OVERLAPPED);
    if (handle == INVALID_HANDLE_VALUE) {
        m_port = NULL;
        return 0;
    }
    SetCommState(&m_dcb);
    SetCommMask(kWaitMask);
    SetupComm(m_inQueueSize, m_outQueueSize);
    if (!StartReceiveThread()) {
        DWORD error = GetLastError();
        Close();
        SetLastError(error);
        return 0;
    }
    return 1;
}

int SerialPort::StartReceiveThread() {
    ResetEvent(m_stopEvent);
    DWORD id = 0;
    m_thread = ::CreateThread(NULL, 0, ReceiveThreadProc, this, 0, &id);
    if (m_thread == NULL) {
        m_threadId = 0;
        return 0;
    }
    m_threadId = id;
    SetThreadPriority(m_thread, THREAD_PRIORITY_TIME_CRITICAL);
    return 1;
}

int SerialPort::Close() {
    StopReceiveThread();
    CriticalLock::Hold hold(m_writeLock);
    if (m_port != NULL) {
        // The last frame before a close must reach the sensor: output is
        // purged only when it did not drain in time. A pseudo-terminal
        // reports an empty output queue at once, and purging it would drop
        // what the other end has not read yet.
        const DWORD purge = DrainOutput() ? PURGE_RXCLEAR : PURGE_TXCLEAR | PURGE_RXCLEAR;
        PurgeComm(purge);
        CloseOwned(&m_port);
    }
    return 1;
}

void SerialPort::StopReceiveThread() {
    if (m_thread == NULL) return;
    SetEvent(m_stopEvent);
    // Completes a pending wait on ports that honour it.
    if (m_port != NULL) SetCommMask(0);
    if (GetCurrentThreadId() == m_threadId) return;  // the thread ends by itself; joined later
    // The receive thread may be sending a notification to this thread.
    WaitHandlingSentMessages(m_thread, INFINITE);
    CloseOwned(&m_thread);
    m_threadId = 0;
}

// True once the output queue is empty; false when it still holds bytes after
// the bound or cannot be asked.
bool SerialPort::DrainOutput() {
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD errors = 0;
        COMSTAT status;
        ZeroMemory(&status, sizeof(status));
        if (!ClearCommError(&errors, &status)) return false;
        if (status.cbOutQue == 0) return true;
        if (GetTickCount() - start >= kDrainTimeoutMs) return false;
        Sleep(1);
    }
}

int SerialPort::ReadAll(std::string& buffer) {
    if (m_port == NULL) return 0;
    const DWORD waiting = BytesWaiting();
    if (waiting == 0) return 0;
    std::string chunk(waiting, '\0');
    DWORD count = 0;
    BOOL ok = ReadFile(&chunk[0], waiting, &count, &m_readOv);
    if (!ok && GetLastError() == ERROR_IO_PENDING) count = FinishOverlapped(&m_readOv, kIoTimeoutMs, &ok);
    if (!ok) return 0;
    buffer.append(chunk, 0, count);
    return static_cast<int>(count);
}

DWORD SerialPort::BytesWaiting() {
    DWORD errors = 0;
    COMSTAT status;
    ZeroMemory(&status, sizeof(status));
    if (!ClearCommError(&errors, &status)) return 0;
    return status.cbInQue;
}

int SerialPort::WriteAll(const std::string& data) {
    CriticalLock::Hold hold(m_writeLock);
    if (m_port == NULL) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (data.empty()) return 0;
    if (!WaitForRoom(static_cast<DWORD>(data.size()))) return 0;
    DWORD count = 0;
    BOOL ok = WriteFile(data.data(), static_cast<DWORD>(data.size()), &count, &m_writeOv);
    if (!ok && GetLastError() == ERROR_IO_PENDING) count = FinishOverlapped(&m_writeOv, kIoTimeoutMs, &ok);
    if (!ok) return 0;
    return static_cast<int>(count);
}

// Waits, bounded, until the queued output plus size fits the output queue.
// A string as long as the queue never fits and fails at once.
int SerialPort::WaitForRoom(DWORD size) {
    if (size >= m_outQueueSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD errors = 0;
        COMSTAT status;
        ZeroMemory(&status, sizeof(status));
        if (!ClearCommError(&errors, &status)) return 0;
        if (status.cbOutQue + size < m_outQueueSize) return 1;
        if (GetTickCount() - start >= kRoomTimeoutMs) {
            SetLastError(ERROR_TIMEOUT);
            return 0;
        }
        Sleep(1);
    }
}

// Waits for a pending read or write. On time-out the I/O is cancelled (it was
// issued by this thread) and its completion awaited, so the buffer and the
// OVERLAPPED are free again when this returns.
DWORD SerialPort::FinishOverlapped(OVERLAPPED* overlapped, DWORD timeoutMs, BOOL* ok) {
    DWORD count = 0;
    if (WaitForSingleObject(overlapped->hEvent, timeoutMs) == WAIT_OBJECT_0) {
        *ok = GetOverlappedResult(m_port, overlapped, &count, FALSE);
        return count;
    }
    CancelIo(m_port);
    GetOverlappedResult(m_port, overlapped, &count, TRUE);
    *ok = FALSE;
    SetLastError(ERROR_TIMEOUT);
    return count;
}

DWORD WINAPI SerialPort::ReceiveThreadProc(LPVOID param) {
    return static_cast<SerialPort*>(param)->ReceiveLoop();
}

DWORD SerialPort::ReceiveLoop() {
    while (WaitForSingleObject(m_stopEvent, 0) != WAIT_OBJECT_0) {
        bool waited = false;
        DWORD events = WaitForEvents(&waited);
        // Also clears a line error. A failed or empty wait still finds bytes here.
        if (BytesWaiting() != 0) events |= EV_RXCHAR;
        events &= m_eventMask;
        if (events != 0) {
            OnCommEvent(events);
        } else if (!waited) {
            // Nothing to do and the wait did not block: never spin.
            WaitForSingleObject(m_stopEvent, 1);
        }
    }
    return 0;
}

// One WaitCommEvent. Returns the reported events, 0 when it failed or was
// cancelled; waited tells whether it really blocked until an event.
DWORD SerialPort::WaitForEvents(bool* waited) {
    DWORD events = 0;
    ResetEvent(m_waitOv.hEvent);
    if (WaitCommEvent(&events, &m_waitOv)) return events;
    if (GetLastError() != ERROR_IO_PENDING) return 0;
    HANDLE handles[2] = {m_waitOv.hEvent, m_stopEvent};
    const DWORD which = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    DWORD unused = 0;
    if (which != WAIT_OBJECT_0) {
        // Stop requested with the wait still pending: cancel it and let it
        // complete before the OVERLAPPED is used again.
        CancelIo(m_port);
        GetOverlappedResult(m_port, &m_waitOv, &unused, TRUE);
        return 0;
    }
    if (!GetOverlappedResult(m_port, &m_waitOv, &unused, FALSE)) return 0;
    *waited = true;
    return events;
}

HANDLE SerialPort::CreateFile(int port, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security, DWORD flags) {
    if (!IsPortNumber(port)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    char name[32];
    FormatName(name, sizeof(name), "\\\\.\\COM%d", port);
    HANDLE handle = ::CreateFileA(name, access, shareMode, security, OPEN_EXISTING, flags, NULL);
    m_port = handle == INVALID_HANDLE_VALUE ? NULL : handle;
    return handle;
}

BOOL SerialPort::ReadFile(LPVOID buffer, DWORD count, LPDWORD countRead, LPOVERLAPPED overlapped) {
    return ::ReadFile(m_port, buffer, count, countRead, overlapped);
}

BOOL SerialPort::WriteFile(LPCVOID buffer, DWORD count, LPDWORD countWritten, LPOVERLAPPED overlapped) {
    return ::WriteFile(m_port, buffer, count, countWritten, overlapped);
}

BOOL SerialPort::BuildCommDCB(LPCSTR definition, LPDCB dcb) {
    return ::BuildCommDCBA(definition, dcb);
}

BOOL SerialPort::BuildCommDCBAndTimeouts(LPCSTR definition, LPDCB dcb, LPCOMMTIMEOUTS timeouts) {
    return ::BuildCommDCBAndTimeoutsA(definition, dcb, timeouts);
}

BOOL SerialPort::ClearCommBreak() {
    return ::ClearCommBreak(m_port);
}

BOOL SerialPort::ClearCommError(LPDWORD errors, LPCOMSTAT status) {
    return ::ClearCommError(m_port, errors, status);
}

BOOL SerialPort::CommConfigDialog(int port, HWND window, LPCOMMCONFIG config) {
    if (!IsPortNumber(port)) return FALSE;
    char name[16];
    FormatName(name, sizeof(name), "COM%d", port);
    return ::CommConfigDialogA(name, window, config);
}

BOOL SerialPort::EscapeCommFunction(DWORD function) {
    return ::EscapeCommFunction(m_port, function);
}

BOOL SerialPort::GetCommConfig(LPCOMMCONFIG config, LPDWORD size) {
    return ::GetCommConfig(m_port, config, size);
}

BOOL SerialPort::GetCommMask(LPDWORD mask) {
    return ::GetCommMask(m_port, mask);
}

BOOL SerialPort::GetCommModemStatus(LPDWORD status) {
    return ::GetCommModemStatus(m_port, status);
}

BOOL SerialPort::GetCommProperties(LPCOMMPROP properties) {
    return ::GetCommProperties(m_port, properties);
}

BOOL SerialPort::GetCommState(LPDCB dcb) {
    return ::GetCommState(m_port, dcb);
}

BOOL SerialPort::GetCommTimeouts(LPCOMMTIMEOUTS timeouts) {
    return ::GetCommTimeouts(m_port, timeouts);
}

BOOL SerialPort::GetDefaultCommConfig(int port, LPCOMMCONFIG config, LPDWORD size) {
    if (!IsPortNumber(port)) return FALSE;
    char name[16];
    FormatName(name, sizeof(name), "COM%d", port);
    return ::GetDefaultCommConfigA(name, config, size);
}

BOOL SerialPort::PurgeComm(DWORD flags) {
    return ::PurgeComm(m_port, flags);
}

BOOL SerialPort::SetCommBreak() {
    return ::SetCommBreak(m_port);
}

BOOL SerialPort::SetCommConfig(LPCOMMCONFIG config, DWORD size) {
    return ::SetCommConfig(m_port, config, size);
}

BOOL SerialPort::SetCommMask(DWORD mask) {
    return ::SetCommMask(m_port, mask);
}

BOOL SerialPort::SetCommState(LPDCB dcb) {
    return ::SetCommState(m_port, dcb);
}

BOOL SerialPort::SetCommTimeouts(LPCOMMTIMEOUTS timeouts) {
    return ::SetCommTimeouts(m_port, timeouts);
}

BOOL SerialPort::SetDefaultCommConfig(int port, LPCOMMCONFIG config, DWORD size) {
    if (!IsPortNumber(port)) return FALSE;
    char name[16];
    FormatName(name, sizeof(name), "COM%d", port);
    return ::SetDefaultCommConfigA(name, config, size);
}

BOOL SerialPort::SetupComm(DWORD inQueue, DWORD outQueue) {
    return ::SetupComm(m_port, inQueue, outQueue);
}

BOOL SerialPort::TransmitCommChar(char c) {
    return ::TransmitCommChar(m_port, c);
}

BOOL SerialPort::WaitCommEvent(LPDWORD mask, LPOVERLAPPED overlapped) {
    return ::WaitCommEvent(m_port, mask, overlapped);
}
