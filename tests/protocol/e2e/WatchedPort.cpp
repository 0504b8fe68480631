#include "tests/protocol/e2e/WatchedPort.h"

#include "protocol/DeviceMessages.h"
#include "protocol/SensorDeviceBase.h"
#include "sensor/ScanData.h"

WatchedPort::WatchedPort() : m_lastSent(), m_noted(CreateEventA(NULL, FALSE, FALSE, NULL)) {
    InitializeCriticalSection(&m_lock);
}

WatchedPort::~WatchedPort() {
    // The device's threads report until it is closed: close it while the
    // record still exists.
    Detach();
    Close();
    DeleteCriticalSection(&m_lock);
    CloseHandle(m_noted);
}

int WatchedPort::Send(const std::string& bytes) {
    // A frame is STX, the message as 6-bit text, ETX; raw lines pass unnoted.
    std::string message;
    if (bytes.size() > 2 && bytes[0] == SensorDeviceBase::kStx)
        SensorDeviceBase::Decode6(bytes.substr(1, bytes.size() - 2), message);
    if (!message.empty()) {
        EnterCriticalSection(&m_lock);
        m_lastSent[static_cast<BYTE>(message[0])] = GetTickCount();
        LeaveCriticalSection(&m_lock);
    }
    return DevicePort::Send(bytes);
}

DWORD WatchedPort::LastSentTick(BYTE command) {
    EnterCriticalSection(&m_lock);
    const DWORD tick = m_lastSent[command];
    LeaveCriticalSection(&m_lock);
    return tick;
}

LRESULT WatchedPort::SendToFrame(UINT msg, WPARAM wParam, LPARAM lParam) {
    Record(msg, wParam, lParam);
    return 1;
}

BOOL WatchedPort::PostToFrame(UINT msg, WPARAM wParam, LPARAM lParam) {
    Record(msg, wParam, lParam);
    return TRUE;
}

void WatchedPort::Record(UINT msg, WPARAM wParam, LPARAM lParam) {
    Note note = {msg, wParam, std::string(), GetTickCount(), lParam};
    // Sent: the table lives while the notification is handled.
    if (msg == WM_DEVICE_AREA_READ && wParam != 0) note.data.assign(reinterpret_cast<const char*>(wParam), 238);
    if (wParam != 0 && (msg == WM_DEVICE_SENSOR_INFO || msg == WM_DEVICE_SCAN)) {
        CriticalLock::Hold hold(GetHandOver()->GetLock());
        if (msg == WM_DEVICE_SENSOR_INFO) {
            note.data = reinterpret_cast<const char*>(wParam);
        } else {
            const ScanData* scan = reinterpret_cast<const ScanData*>(wParam);
            for (WORD step = 0; step < ScanData::kStepCount; ++step) {
                const WORD value = scan->GetStep(step);
                note.data += static_cast<char>(value & 0xFF);
                note.data += static_cast<char>(value >> 8);
            }
        }
    }
    EnterCriticalSection(&m_lock);
    m_notes.push_back(note);
    LeaveCriticalSection(&m_lock);
    SetEvent(m_noted);
}

std::vector<WatchedPort::Note> WatchedPort::NotesOf(UINT msg) {
    std::vector<Note> found;
    EnterCriticalSection(&m_lock);
    for (const Note& note : m_notes)
        if (note.msg == msg) found.push_back(note);
    LeaveCriticalSection(&m_lock);
    return found;
}

size_t WatchedPort::Count(UINT msg, bool byParam, WPARAM wParam, const std::string& data) {
    size_t n = 0;
    for (const Note& note : NotesOf(msg)) {
        if (byParam ? note.wParam == wParam : note.data == data) ++n;
    }
    return n;
}

bool WatchedPort::WaitForCount(UINT msg, bool byParam, WPARAM wParam, const std::string& data, size_t count,
                               DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (Count(msg, byParam, wParam, data) >= count) return true;
        const DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs) return false;
        WaitForSingleObject(m_noted, timeoutMs - waited);
    }
}

bool WatchedPort::WaitForNotes(UINT msg, size_t count, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (NotesOf(msg).size() >= count) return true;
        const DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs) return false;
        WaitForSingleObject(m_noted, timeoutMs - waited);
    }
}

size_t WatchedPort::LevelCount(WPARAM level) {
    return Count(WM_DEVICE_CONNECTION_CHANGED, true, level, std::string());
}

bool WatchedPort::WaitForOpened(int port, DWORD timeoutMs, size_t count) {
    return WaitForCount(WM_DEVICE_PORT_OPENED, true, static_cast<WPARAM>(port), std::string(), count, timeoutMs);
}

bool WatchedPort::WaitForLevel(WPARAM level, size_t count, DWORD timeoutMs) {
    return WaitForCount(WM_DEVICE_CONNECTION_CHANGED, true, level, std::string(), count, timeoutMs);
}

bool WatchedPort::OpenAtLevel1(int com, DWORD timeoutMs) {
    return RequestOpen(com) == 1 && WaitForOpened(com, timeoutMs) && WaitForLevel(1, 1, timeoutMs);
}

bool WatchedPort::WaitForNote(UINT msg, WPARAM wParam, size_t count, DWORD timeoutMs) {
    return WaitForCount(msg, true, wParam, std::string(), count, timeoutMs);
}

bool WatchedPort::WaitForInfo(const std::string& text, size_t count, DWORD timeoutMs) {
    return WaitForCount(WM_DEVICE_SENSOR_INFO, false, 0, text, count, timeoutMs);
}

bool WatchedPort::WaitForScans(size_t count, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (NotesOf(WM_DEVICE_SCAN).size() >= count) return true;
        const DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs) return false;
        WaitForSingleObject(m_noted, timeoutMs - waited);
    }
}

WORD WatchedPort::Step(const Note& scan, int step) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(scan.data.data());
    return static_cast<WORD>(bytes[2 * step] | (bytes[2 * step + 1] << 8));
}
