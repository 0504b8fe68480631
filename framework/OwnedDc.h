#ifndef FRAMEWORK_OWNEDDC_H
#define FRAMEWORK_OWNEDDC_H

#include <windows.h>

// Owns a device context made by CreateDC (a printer's) and deletes it once.
// Tools selected into it must be selected out first (SelectScope does).
class OwnedDc {
public:
    OwnedDc() : m_dc(NULL) {}
    explicit OwnedDc(HDC dc) : m_dc(dc) {}
    ~OwnedDc() { Reset(); }

    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    bool Valid() const { return m_dc != NULL; }
    void Reset(HDC dc = NULL) {
        if (m_dc != NULL && m_dc != dc) {
            DWORD saved = GetLastError();
            DeleteDC(m_dc);
            SetLastError(saved);
        }
        m_dc = dc;
    }

private:
    OwnedDc(const OwnedDc&) = delete;
    OwnedDc& operator=(const OwnedDc&) = delete;

    HDC m_dc;
};

#endif
