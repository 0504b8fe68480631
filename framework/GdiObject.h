#ifndef FRAMEWORK_GDIOBJECT_H
#define FRAMEWORK_GDIOBJECT_H

#include <windows.h>

// Owns one GDI object (HPEN, HBRUSH, HBITMAP, HRGN, HFONT) and deletes it
// once. The object must not be selected into a device context when the owner
// lets it go: MemoryDc and SelectScope give their contexts the old tools back.
template <class T>
class GdiObject {
public:
    GdiObject() : m_h(NULL) {}
    explicit GdiObject(T h) : m_h(h) {}
    ~GdiObject() { Reset(); }

    GdiObject(GdiObject&& other) noexcept : m_h(other.Release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    T Get() const { return m_h; }
    operator T() const { return m_h; }
    bool Valid() const { return m_h != NULL; }
    void Reset(T h = NULL) {
        if (m_h != NULL && m_h != h) {
            DWORD saved = GetLastError();
            DeleteObject(m_h);
            SetLastError(saved);
        }
        m_h = h;
    }
    T Release() {
        T h = m_h;
        m_h = NULL;
        return h;
    }

private:
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    T m_h;
};

typedef GdiObject<HPEN> OwnedPen;
typedef GdiObject<HBRUSH> OwnedBrush;
typedef GdiObject<HBITMAP> OwnedBitmap;
typedef GdiObject<HRGN> OwnedRegion;
typedef GdiObject<HFONT> OwnedFont;

// Selects a tool into a device context for one scope and selects the
// previous tool back when the scope ends.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ tool) : m_dc(dc), m_old(dc != NULL && tool != NULL ? SelectObject(dc, tool) : NULL) {}
    ~SelectScope() {
        if (m_old != NULL && m_old != HGDI_ERROR) SelectObject(m_dc, m_old);
    }

private:
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

    HDC m_dc;
    HGDIOBJ m_old;
};

#endif
