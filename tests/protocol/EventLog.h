#ifndef TESTS_PROTOCOL_EVENTLOG_H
#define TESTS_PROTOCOL_EVENTLOG_H

#include <windows.h>

#include <string>
#include <vector>

// A thread-safe list of what happened, with a wait for the n-th entry:
// tests wait on it instead of sleeping.
class EventLog {
public:
    EventLog() : m_changed(CreateEventA(NULL, FALSE, FALSE, NULL)) { InitializeCriticalSection(&m_lock); }
    ~EventLog() {
        DeleteCriticalSection(&m_lock);
        CloseHandle(m_changed);
    }

    void Add(const std::string& entry) {
        EnterCriticalSection(&m_lock);
        m_entries.push_back(entry);
        LeaveCriticalSection(&m_lock);
        SetEvent(m_changed);
    }
    std::vector<std::string> Entries() {
        EnterCriticalSection(&m_lock);
        std::vector<std::string> copy = m_entries;
        LeaveCriticalSection(&m_lock);
        return copy;
    }
    size_t Count() { return Entries().size(); }
    void Clear() {
        EnterCriticalSection(&m_lock);
        m_entries.clear();
        LeaveCriticalSection(&m_lock);
    }
    // True once at least count entries exist, false after timeoutMs.
    bool WaitForCount(size_t count, DWORD timeoutMs = 5000) {
        const DWORD start = GetTickCount();
        for (;;) {
            if (Count() >= count) return true;
            const DWORD waited = GetTickCount() - start;
            if (waited >= timeoutMs) return false;
            WaitForSingleObject(m_changed, timeoutMs - waited);
        }
    }
    // True once an entry equal to text exists.
    bool WaitFor(const std::string& text, DWORD timeoutMs = 5000) {
        const DWORD start = GetTickCount();
        for (;;) {
            if (Contains(text)) return true;
            const DWORD waited = GetTickCount() - start;
            if (waited >= timeoutMs) return false;
            WaitForSingleObject(m_changed, timeoutMs - waited);
        }
    }
    bool Contains(const std::string& text) {
        for (const std::string& e : Entries())
            if (e == text) return true;
        return false;
    }

private:
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    CRITICAL_SECTION m_lock;
    HANDLE m_changed;
    std::vector<std::string> m_entries;
};

#endif
