#ifndef FRAMEWORK_CRITICALLOCK_H
#define FRAMEWORK_CRITICALLOCK_H

#include <windows.h>

// Owns one critical section; Hold keeps it entered for one scope.
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
