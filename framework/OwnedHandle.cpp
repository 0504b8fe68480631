#include "framework/OwnedHandle.h"

OwnedHandle& OwnedHandle::operator=(OwnedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
}

void OwnedHandle::Reset(HANDLE h) {
    if (Valid() && m_h != h) {
        DWORD saved = GetLastError();  // cleanup must not hide the caller's error
        CloseHandle(m_h);
        SetLastError(saved);
    }
    m_h = h;
}

HANDLE OwnedHandle::Release() {
    HANDLE h = m_h;
    m_h = NULL;
    return h;
}
