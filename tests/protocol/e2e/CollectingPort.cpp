#include "tests/protocol/e2e/CollectingPort.h"

#include "protocol/SensorDeviceBase.h"

CollectingPort::CollectingPort(DWORD eventMask) : m_reads(0), m_mostInOneRead(0), m_bytes(0) {
    InitializeCriticalSection(&m_lock);
    m_arrived = CreateEventA(NULL, FALSE, FALSE, NULL);
    m_inQueueSize = 4096;
    m_outQueueSize = 4096;
    m_dcb.BaudRate = CBR_19200;
    m_dcb.StopBits = ONESTOPBIT;
    m_dcb.Parity = NOPARITY;
    m_eventMask = eventMask;
}

CollectingPort::~CollectingPort() {
    Close();
    CloseHandle(m_arrived);
    DeleteCriticalSection(&m_lock);
}

void CollectingPort::OnCommEvent(DWORD events) {
    if ((events & EV_RXCHAR) == 0) return;
    std::string bytes;
    if (ReadAll(bytes) == 0) return;
    EnterCriticalSection(&m_lock);
    ++m_reads;
    m_bytes += bytes.size();
    m_buffer += bytes;
    const size_t before = m_messages.size();
    SensorDeviceBase::ExtractMessages(m_buffer, m_messages);
    if (m_messages.size() - before > m_mostInOneRead) m_mostInOneRead = m_messages.size() - before;
    LeaveCriticalSection(&m_lock);
    SetEvent(m_arrived);
}

bool CollectingPort::WaitForMessages(size_t count, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (Messages().size() >= count) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        WaitForSingleObject(m_arrived, timeoutMs - elapsed);
    }
}

std::vector<std::string> CollectingPort::Messages() {
    EnterCriticalSection(&m_lock);
    std::vector<std::string> copy = m_messages;
    LeaveCriticalSection(&m_lock);
    return copy;
}

int CollectingPort::Reads() {
    EnterCriticalSection(&m_lock);
    int reads = m_reads;
    LeaveCriticalSection(&m_lock);
    return reads;
}

size_t CollectingPort::MostMessagesInOneRead() {
    EnterCriticalSection(&m_lock);
    size_t most = m_mostInOneRead;
    LeaveCriticalSection(&m_lock);
    return most;
}

size_t CollectingPort::BytesReceived() {
    EnterCriticalSection(&m_lock);
    size_t bytes = m_bytes;
    LeaveCriticalSection(&m_lock);
    return bytes;
}
