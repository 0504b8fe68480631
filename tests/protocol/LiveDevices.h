#ifndef TESTS_PROTOCOL_LIVEDEVICES_H
#define TESTS_PROTOCOL_LIVEDEVICES_H

#include <functional>
#include <map>

#include "framework/CriticalLock.h"

// Which device objects exist and how many calls are inside each: a call to a
// deleted device, or a delete during a call, counts as a violation.
class LiveDevices {
public:
    LiveDevices() : m_violations(0) {}
    void Born(const void* d) {
        Change([&] { m_busy[d] = 0; });
    }
    void Died(const void* d) {
        Change([&] {
            if (m_busy.count(d) == 0 || m_busy[d] != 0) ++m_violations;
            m_busy.erase(d);
        });
    }
    void Enter(const void* d) {
        Change([&] {
            if (m_busy.count(d) == 0)
                ++m_violations;
            else
                ++m_busy[d];
        });
    }
    void Leave(const void* d) {
        Change([&] {
            if (m_busy.count(d) != 0) --m_busy[d];
        });
    }
    size_t Count() {
        size_t n = 0;
        Change([&] { n = m_busy.size(); });
        return n;
    }
    int Violations() {
        int n = 0;
        Change([&] { n = m_violations; });
        return n;
    }

private:
    void Change(const std::function<void()>& f) {
        CriticalLock::Hold hold(m_lock);
        f();
    }
    CriticalLock m_lock;  // guards the two fields below
    std::map<const void*, int> m_busy;
    int m_violations;
};

#endif
