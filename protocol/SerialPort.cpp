#include "protocol/SerialPort.h"

#include <stdio.h>

#include "framework/SentMessageWait.h"

namespace {

void FormatName(char* name, size_t size, const char* format, int port) {
    snprintf(name, size, format, port);
}

int CreateEventIfMissing(OwnedHandle* event, BOOL manualReset) {
    if (!event->Valid()) event->Reset(CreateEventA(NULL, manualReset, FALSE, NULL));
    return event->Valid() ? 1 : 0;
}

// Only the received-character event: modem-line events break the wait on
// ports that cannot report modem status.
const DWORD kWaitMask = EV_RXCHAR;

}  // namespace

SerialPort::SerialPort()
    : m_inQueueSize(0), m_outQueueSize(0), m_eventMask(0), m_cuts(0), m_threadId(0), m_session(0), m_sendingMs(0) {
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
}

int SerialPort::CreateEvents() {
    if (!CreateEventIfMissing(&m_waitEvent, TRUE) || !CreateEventIfMissing(&m_readEvent, TRUE) ||
        !CreateEventIfMissing(&m_writeEvent, TRUE) || !CreateEventIfMissing(&m_stopEvent, TRUE) ||
        !CreateEventIfMissing(&m_wakeEvent, FALSE) || !CreateEventIfMissing(&m_cutWrite, TRUE)) {
        return 0;
    }
    m_waitOv.hEvent = m_waitEvent.Get();
    m_readOv.hEvent = m_readEvent.Get();
    m_writeOv.hEvent = m_writeEvent.Get();
    return 1;
}

int SerialPort::Open(int port) {
    if (m_waitOv.hEvent == NULL || m_readOv.hEvent == NULL || m_writeOv.hEvent == NULL || !m_stopEvent.Valid() ||
        !m_wakeEvent.Valid()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    Close();
    if (!IsPortNumber(port)) return 1;
    // Writers and changes of settings wait until the line is set up and
    // emptied: a request written earlier would go out at the wrong settings,
    // or its answer be purged; settings changed earlier would be undone.
    CriticalLock::Hold hold(m_writeLock);
    HANDLE handle = CreateFile(port, GENERIC_READ | GENERIC_WRITE, 0, NULL, FILE_FLAG_OVERLAPPED);
    if (handle == INVALID_HANDLE_VALUE) return 0;
    // Held here too: a CreateFile of a subclass may not store it.
    m_port.Reset(handle);
    SetCommState(&m_dcb);
    SetCommMask(kWaitMask);
    SetupComm(m_inQueueSize, m_outQueueSize);
    // Whatever waits on the line was sent to somebody else (a program that
    // ended mid-exchange): no reply of this session.
    PurgeComm(PURGE_RXCLEAR);
    ++m_session;
    if (!StartReceiveThread()) {
        DWORD error = GetLastError();
        Close();
        SetLastError(error);
        return 0;
    }
    return 1;
}

int SerialPort::GetConfig(DCB* dcb, DWORD* eventMask, DWORD* inQueue, DWORD* outQueue) {
    if (dcb == NULL || eventMask == NULL || inQueue == NULL || outQueue == NULL) return 0;
    CriticalLock::Hold hold(m_writeLock);
    *dcb = m_dcb;
    *eventMask = m_eventMask;
    *inQueue = m_inQueueSize;
    *outQueue = m_outQueueSize;
    return 1;
}

int SerialPort::Configure(const DCB* dcb, DWORD eventMask, DWORD inQueue, DWORD outQueue) {
    if (dcb == NULL) return 0;
    // A write waiting on a stalled line gives up at once: its bytes would be
    // purged below anyway, and its caller may be the user-interface thread.
    StartCut();
    CriticalLock::Hold hold(m_writeLock);
    EndCut();
    m_dcb = *dcb;
    m_eventMask = eventMask;
    m_inQueueSize = inQueue;
    m_outQueueSize = outQueue;
    DWORD errors = 0;
    COMSTAT status;
    return PurgeComm(PURGE_TXCLEAR | PURGE_RXCLEAR) && SetCommState(&m_dcb) && ClearCommBreak() &&
                   ClearCommError(&errors, &status)
               ? 1
               : 0;
}

int SerialPort::StartReceiveThread() {
    ResetEvent(m_stopEvent.Get());
    ResetEvent(m_wakeEvent.Get());
    DWORD id = 0;
    m_thread.Reset(::CreateThread(NULL, 0, ReceiveThreadProc, this, 0, &id));
    if (!m_thread.Valid()) {
        m_threadId = 0;
        return 0;
    }
    m_threadId = id;
    SetThreadPriority(m_thread.Get(), THREAD_PRIORITY_TIME_CRITICAL);
    return 1;
}

int SerialPort::Close() {
    StopReceiveThread();
    CriticalLock::Hold hold(m_writeLock);
    if (m_port.Valid()) {
        // The last frame before a close must reach the sensor: output is
        // purged only when it did not drain in time. A pseudo-terminal
        // reports an empty output queue at once, and purging it would drop
        // what the other end has not read yet.
        const DWORD purge = DrainOutput() ? PURGE_RXCLEAR : PURGE_TXCLEAR | PURGE_RXCLEAR;
        PurgeComm(purge);
        m_port.Close();
    }
    return 1;
}

void SerialPort::StopReceiveThread() {
    if (!m_thread.Valid()) return;
    SetEvent(m_stopEvent.Get());
    // Completes a pending wait on ports that honour it.
    if (m_port.Valid()) SetCommMask(0);
    if (GetCurrentThreadId() == m_threadId) return;  // the thread ends by itself; joined later
    // The receive thread may be sending a notification to this thread.
    WaitHandlingSentMessages(m_thread.Get(), INFINITE);
    m_thread.Close();
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
    if (!m_port.Valid()) return 0;
    DWORD waiting = 0;
    if (!QueryInput(&waiting) || waiting == 0) return 0;
    std::string chunk(waiting, '\0');
    DWORD count = 0;
    BOOL ok = ReadFile(&chunk[0], waiting, &count, &m_readOv);
    if (!ok && GetLastError() == ERROR_IO_PENDING) count = FinishOverlapped(&m_readOv, NULL, kIoTimeoutMs, &ok);
    if (!ok) return 0;
    buffer.append(chunk, 0, count);
    return static_cast<int>(count);
}

// The bytes in the input queue; also clears a line error. False when the
// port cannot be asked.
bool SerialPort::QueryInput(DWORD* waiting) {
    DWORD errors = 0;
    COMSTAT status;
    ZeroMemory(&status, sizeof(status));
    *waiting = 0;
    if (!ClearCommError(&errors, &status)) return false;
    *waiting = status.cbInQue;
    return true;
}

void SerialPort::StartCut() {
    CriticalLock::Hold hold(m_cutLock);
    if (m_cuts++ == 0) SetEvent(m_cutWrite.Get());
}

void SerialPort::EndCut() {
    CriticalLock::Hold hold(m_cutLock);
    if (--m_cuts == 0) ResetEvent(m_cutWrite.Get());
}

int SerialPort::WriteAll(const std::string& data) {
    return Write(data, kRoomTimeoutMs, kIoTimeoutMs, m_cutWrite.Get());
}

int SerialPort::WriteAhead(const std::string& data, DWORD boundMs) {
    return Write(data, boundMs, boundMs, NULL);
}

int SerialPort::Write(const std::string& data, DWORD roomMs, DWORD ioMs, HANDLE cut) {
    CriticalLock::Hold hold(m_writeLock);
    if (!m_port.Valid()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (data.empty()) return 0;
    if (!WaitForRoom(static_cast<DWORD>(data.size()), roomMs, cut)) return 0;
    DWORD count = 0;
    // A reply follows a request: a polling receive thread looks again once
    // the line has carried it.
    InterlockedExchange(&m_sendingMs, static_cast<LONG>(LineTimeMs(m_dcb, static_cast<DWORD>(data.size()))));
    BOOL ok = WriteFile(data.data(), static_cast<DWORD>(data.size()), &count, &m_writeOv);
    SetEvent(m_wakeEvent.Get());
    if (!ok && GetLastError() == ERROR_IO_PENDING)
        count = FinishOverlapped(&m_writeOv, cut, ioMs, &ok);
    if (!ok) return 0;
    return static_cast<int>(count);
}

// Waits, bounded, until the queued output plus size fits the output queue.
// A string as long as the queue never fits and fails at once.
int SerialPort::WaitForRoom(DWORD size, DWORD timeoutMs, HANDLE cut) {
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
        if (GetTickCount() - start >= timeoutMs) {
            SetLastError(ERROR_TIMEOUT);
            return 0;
        }
        if (cut == NULL) {
            Sleep(1);
        } else if (WaitForSingleObject(cut, 1) == WAIT_OBJECT_0) {
            SetLastError(ERROR_OPERATION_ABORTED);
            return 0;
        }
    }
}

// Waits for a pending read or write, until it completes, the bound passes or
// cut (when given) is set. Otherwise the I/O is cancelled (it was issued by
// this thread) and its completion awaited, so the buffer and the OVERLAPPED
// are free again when this returns.
DWORD SerialPort::FinishOverlapped(OVERLAPPED* overlapped, HANDLE cut, DWORD timeoutMs, BOOL* ok) {
    DWORD count = 0;
    HANDLE waits[2] = {overlapped->hEvent, cut};
    const DWORD which = WaitForMultipleObjects(cut != NULL ? 2 : 1, waits, FALSE, timeoutMs);
    if (which == WAIT_OBJECT_0) {
        *ok = GetOverlappedResult(m_port.Get(), overlapped, &count, FALSE);
        return count;
    }
    CancelIo(m_port.Get());
    GetOverlappedResult(m_port.Get(), overlapped, &count, TRUE);
    *ok = FALSE;
    SetLastError(which == WAIT_OBJECT_0 + 1 ? ERROR_OPERATION_ABORTED : ERROR_TIMEOUT);
    return count;
}

DWORD SerialPort::BytesToCome() {
    return 0;
}

void SerialPort::OnDeviceLost(DWORD) {}

DWORD SerialPort::LineTimeMs(const DCB& dcb, DWORD bytes) {
    if (dcb.BaudRate == 0) return 0;
    // Half bits: a start bit, the data bits, a parity bit, and one, one and a
    // half or two stop bits.
    const ULONGLONG halfBitsPerByte = 2 * (1 + dcb.ByteSize + (dcb.Parity != NOPARITY ? 1 : 0)) +
                                      (dcb.StopBits == TWOSTOPBITS ? 4 : dcb.StopBits == ONE5STOPBITS ? 3 : 2);
    return static_cast<DWORD>(bytes * halfBitsPerByte * 1000 / (2ULL * dcb.BaudRate));
}

DWORD WINAPI SerialPort::ReceiveThreadProc(LPVOID param) {
    return static_cast<SerialPort*>(param)->ReceiveLoop();
}

DWORD SerialPort::ReceiveLoop() {
    Receiving state = WaitLoop();
    if (state == kReceiving) state = PollLoop();
    if (state == kLost) OnDeviceLost(m_session);
    return 0;
}

bool SerialPort::Stopping() {
    return WaitForSingleObject(m_stopEvent.Get(), 0) == WAIT_OBJECT_0;
}

// Waits for events as long as the waits block. Returns kReceiving as soon
// as one fails without the device being gone: the caller polls from then on.
SerialPort::Receiving SerialPort::WaitLoop() {
    for (;;) {
        DWORD events = 0;
        const bool waited = WaitForEvents(&events);
        if (Stopping()) return kStopped;
        DWORD waiting = 0;
        if (!QueryInput(&waiting)) return kLost;
        // A failed or empty wait still finds bytes here.
        if (waiting != 0) events |= EV_RXCHAR;
        Deliver(events);
        if (!waited) return kReceiving;
    }
}

// Polls the input queue, pausing on the stop and wake events in between.
SerialPort::Receiving SerialPort::PollLoop() {
    HANDLE handles[2] = {m_stopEvent.Get(), m_wakeEvent.Get()};
    PollPace pace = {kFirstPollMs, GetTickCount(), GetTickCount()};
    for (;;) {
        const DWORD which = WaitForMultipleObjects(2, handles, FALSE, pace.pause);
        if (which == WAIT_OBJECT_0) return kStopped;
        DWORD waiting = 0;
        if (!QueryInput(&waiting)) return Stopping() ? kStopped : kLost;
        const DWORD now = GetTickCount();
        const bool delivered = waiting != 0 && Deliver(EV_RXCHAR);
        if (delivered) ExpectRestOfFrame(now, &pace);
        if (which == WAIT_OBJECT_0 + 1) ExpectAnswer(now, delivered, &pace);
        pace.pause = NextPause(now, pace);
    }
}

// True when the owner wanted the events.
bool SerialPort::Deliver(DWORD events) {
    events &= m_eventMask;
    if (events == 0) return false;
    OnCommEvent(events);
    return true;
}

// A request went out: its answer cannot begin before the line has carried
// it. Alongside a frame under way, bytes are due from the sooner of the two
// until the later.
void SerialPort::ExpectAnswer(DWORD now, bool alongside, PollPace* pace) {
    const DWORD from = now + static_cast<DWORD>(InterlockedCompareExchange(&m_sendingMs, 0, 0));
    const DWORD until = from + kAnswerWindowMs;
    if (!alongside || static_cast<LONG>(from - pace->dueFrom) < 0) pace->dueFrom = from;
    if (!alongside || static_cast<LONG>(until - pace->dueUntil) > 0) pace->dueUntil = until;
}

// After a delivery: the rest of a frame under way is due within the line
// time of its missing bytes, and may be due sooner by as much as the pause
// just ended (its bytes may have waited that long).
void SerialPort::ExpectRestOfFrame(DWORD now, PollPace* pace) {
    const DWORD bytes = BytesToCome();
    const DWORD rest = bytes == 0 ? 0 : LineTimeMs(m_dcb, bytes);
    pace->dueFrom = now + (rest > pace->pause ? rest - pace->pause : 0);
    pace->dueUntil = now + rest + kFirstPollMs;
    // The next frame may follow at once.
    pace->pause = kFirstPollMs;
}

// Until bytes are due the thread sleeps; while they are, it looks every
// kFirstPollMs; on a quiet line the pause doubles up to kMaxPollMs.
DWORD SerialPort::NextPause(DWORD now, const PollPace& pace) {
    DWORD pause;
    if (static_cast<LONG>(pace.dueFrom - now) > 0)
        pause = pace.dueFrom - now;
    else if (static_cast<LONG>(pace.dueUntil - now) > 0)
        pause = kFirstPollMs;
    else
        pause = pace.pause * 2;
    return pause < kFirstPollMs ? kFirstPollMs : pause > kMaxPollMs ? kMaxPollMs : pause;
}

// One WaitCommEvent. True when it blocked until events came (reported in
// events); false when it failed or was cancelled, or the stop came first.
bool SerialPort::WaitForEvents(DWORD* events) {
    *events = 0;
    ResetEvent(m_waitOv.hEvent);
    if (WaitCommEvent(events, &m_waitOv)) return true;
    if (GetLastError() != ERROR_IO_PENDING) return false;
    HANDLE handles[2] = {m_waitOv.hEvent, m_stopEvent.Get()};
    const DWORD which = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    DWORD unused = 0;
    if (which != WAIT_OBJECT_0) {
        // Stop requested with the wait still pending: cancel it and let it
        // complete before the OVERLAPPED is used again.
        CancelIo(m_port.Get());
        GetOverlappedResult(m_port.Get(), &m_waitOv, &unused, TRUE);
        return false;
    }
    return GetOverlappedResult(m_port.Get(), &m_waitOv, &unused, FALSE) != FALSE;
}

HANDLE SerialPort::CreateFile(int port, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security, DWORD flags) {
    if (!IsPortNumber(port)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    char name[32];
    FormatName(name, sizeof(name), "\\\\.\\COM%d", port);
    HANDLE handle = ::CreateFileA(name, access, shareMode, security, OPEN_EXISTING, flags, NULL);
    if (handle != INVALID_HANDLE_VALUE) m_port.Reset(handle);
    return handle;
}

BOOL SerialPort::ReadFile(LPVOID buffer, DWORD count, LPDWORD countRead, LPOVERLAPPED overlapped) {
    return ::ReadFile(m_port.Get(), buffer, count, countRead, overlapped);
}

BOOL SerialPort::WriteFile(LPCVOID buffer, DWORD count, LPDWORD countWritten, LPOVERLAPPED overlapped) {
    return ::WriteFile(m_port.Get(), buffer, count, countWritten, overlapped);
}

BOOL SerialPort::BuildCommDCB(LPCSTR definition, LPDCB dcb) {
    return ::BuildCommDCBA(definition, dcb);
}

BOOL SerialPort::BuildCommDCBAndTimeouts(LPCSTR definition, LPDCB dcb, LPCOMMTIMEOUTS timeouts) {
    return ::BuildCommDCBAndTimeoutsA(definition, dcb, timeouts);
}

BOOL SerialPort::ClearCommBreak() {
    return ::ClearCommBreak(m_port.Get());
}

BOOL SerialPort::ClearCommError(LPDWORD errors, LPCOMSTAT status) {
    return ::ClearCommError(m_port.Get(), errors, status);
}

BOOL SerialPort::CommConfigDialog(int port, HWND window, LPCOMMCONFIG config) {
    if (!IsPortNumber(port)) return FALSE;
    char name[16];
    FormatName(name, sizeof(name), "COM%d", port);
    return ::CommConfigDialogA(name, window, config);
}

BOOL SerialPort::EscapeCommFunction(DWORD function) {
    return ::EscapeCommFunction(m_port.Get(), function);
}

BOOL SerialPort::GetCommConfig(LPCOMMCONFIG config, LPDWORD size) {
    return ::GetCommConfig(m_port.Get(), config, size);
}

BOOL SerialPort::GetCommMask(LPDWORD mask) {
    return ::GetCommMask(m_port.Get(), mask);
}

BOOL SerialPort::GetCommModemStatus(LPDWORD status) {
    return ::GetCommModemStatus(m_port.Get(), status);
}

BOOL SerialPort::GetCommProperties(LPCOMMPROP properties) {
    return ::GetCommProperties(m_port.Get(), properties);
}

BOOL SerialPort::GetCommState(LPDCB dcb) {
    return ::GetCommState(m_port.Get(), dcb);
}

BOOL SerialPort::GetCommTimeouts(LPCOMMTIMEOUTS timeouts) {
    return ::GetCommTimeouts(m_port.Get(), timeouts);
}

BOOL SerialPort::GetDefaultCommConfig(int port, LPCOMMCONFIG config, LPDWORD size) {
    if (!IsPortNumber(port)) return FALSE;
    char name[16];
    FormatName(name, sizeof(name), "COM%d", port);
    return ::GetDefaultCommConfigA(name, config, size);
}

BOOL SerialPort::PurgeComm(DWORD flags) {
    return ::PurgeComm(m_port.Get(), flags);
}

BOOL SerialPort::SetCommBreak() {
    return ::SetCommBreak(m_port.Get());
}

BOOL SerialPort::SetCommConfig(LPCOMMCONFIG config, DWORD size) {
    return ::SetCommConfig(m_port.Get(), config, size);
}

BOOL SerialPort::SetCommMask(DWORD mask) {
    return ::SetCommMask(m_port.Get(), mask);
}

BOOL SerialPort::SetCommState(LPDCB dcb) {
    return ::SetCommState(m_port.Get(), dcb);
}

BOOL SerialPort::SetCommTimeouts(LPCOMMTIMEOUTS timeouts) {
    return ::SetCommTimeouts(m_port.Get(), timeouts);
}

BOOL SerialPort::SetDefaultCommConfig(int port, LPCOMMCONFIG config, DWORD size) {
    if (!IsPortNumber(port)) return FALSE;
    char name[16];
    FormatName(name, sizeof(name), "COM%d", port);
    return ::SetDefaultCommConfigA(name, config, size);
}

BOOL SerialPort::SetupComm(DWORD inQueue, DWORD outQueue) {
    return ::SetupComm(m_port.Get(), inQueue, outQueue);
}

BOOL SerialPort::TransmitCommChar(char c) {
    return ::TransmitCommChar(m_port.Get(), c);
}

BOOL SerialPort::WaitCommEvent(LPDWORD mask, LPOVERLAPPED overlapped) {
    return ::WaitCommEvent(m_port.Get(), mask, overlapped);
}
