#ifndef FRAMEWORK_OWNEDHANDLE_H
#define FRAMEWORK_OWNEDHANDLE_H

#include <windows.h>

// Owns one kernel handle (file, event, thread, mutex) and closes it once.
// CreateFile fails with INVALID_HANDLE_VALUE and CreateEvent with NULL: both
// count as "no handle", so callers test Valid() whatever made the handle.
class OwnedHandle {
public:
    OwnedHandle() : m_h(NULL) {}
    explicit OwnedHandle(HANDLE h) : m_h(h) {}
    ~OwnedHandle() { Close(); }

    OwnedHandle(OwnedHandle&& other) noexcept : m_h(other.Release()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept;

    HANDLE Get() const { return m_h; }
    bool Valid() const { return m_h != NULL && m_h != INVALID_HANDLE_VALUE; }
    // Closes the current handle (keeping the thread's last error) and takes h.
    void Reset(HANDLE h = NULL);
    void Close() { Reset(NULL); }
    // Hands the handle over; the owner is empty afterwards.
    HANDLE Release();

private:
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    HANDLE m_h;
};

#endif
