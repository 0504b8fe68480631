#include "framework/OwnedIcon.h"

void OwnedIcon::Reset(HICON h) {
    if (m_h != NULL && m_h != h) {
        DWORD saved = GetLastError();  // cleanup must not hide the caller's error
        DestroyIcon(m_h);
        SetLastError(saved);
    }
    m_h = h;
}
