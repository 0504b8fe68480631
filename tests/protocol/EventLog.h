#ifndef TESTS_PROTOCOL_EVENTLOG_H
#define TESTS_PROTOCOL_EVENTLOG_H

#include <windows.h>

#include "framework/CriticalLock.h"
#include "framework/OwnedHandle.h"

#include <string>
#include <vector>

// A thread-safe list of what happened, with a wait for the n-th entry:
// tests wait on it instead of sleeping.
class EventLog {
public:
    EventLog() : m_changed(CreateEventA(NULL, FALSE, FALSE, NULL)) {}

    void Add(const std::string& entry) {
        {
            CriticalLock::Hold hold(m_lock);
            m_entries.push_back(entry);
        }
        SetEvent(m_changed.Get());
    }
    std::vector<std::string> Entries() {
        CriticalLock::Hold hold(m_lock);
        return m_entries;
    }
    size_t Count() { return Entries().size(); }
    void Clear() {
        CriticalLock::Hold hold(m_lock);
        m_entries.clear();
    }
    // True once at least count entries exist, false after timeoutMs.
    bool WaitForCount(size_t count, DWORD timeoutMs = 5000) {
        const DWORD start = GetTickCount();
        for (;;) {
            if (Count() >= count) return true;
            const DWORD waited = GetTickCount() - start;
            if (waited >= timeoutMs) return false;
            WaitForSingleObject(m_changed.Get(), timeoutMs - waited);
        }
    }
    // True once an entry equal to text exists.
    bool WaitFor(const std::string& text, DWORD timeoutMs = 5000) {
        const DWORD start = GetTickCount();
        for (;;) {
            if (Contains(text)) return true;
            const DWORD waited = GetTickCount() - start;
            if (waited >= timeoutMs) return false;
            WaitForSingleObject(m_changed.Get(), timeoutMs - waited);
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

    CriticalLock m_lock;  // guards m_entries
    OwnedHandle m_changed;  // auto-reset; set after every entry
    std::vector<std::string> m_entries;
};

#endif
