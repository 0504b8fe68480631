#ifndef SENSOR_CRITICALLOCK_H
#define SENSOR_CRITICALLOCK_H

#include <windows.h>

// Owns one critical section. The sensor records are filled by device threads
// and read by the user-interface thread; each guards its fields with one of these.
class CriticalLock {
public:
    CriticalLock();
    ~CriticalLock();

    void Enter();
    void Leave();

    // Holds the lock for the lifetime of a scope.
    class Hold {
    public:
        explicit Hold(CriticalLock& lock) : m_lock(lock) { m_lock.Enter(); }
        ~Hold() { m_lock.Leave(); }

    private:
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        CriticalLock& m_lock;
    };

private:
    CriticalLock(const CriticalLock&) = delete;
    CriticalLock& operator=(const CriticalLock&) = delete;

    CRITICAL_SECTION m_section;
};

#endif
