#ifndef FRAMEWORK_GDIOBJECT_H
#define FRAMEWORK_GDIOBJECT_H

#include "framework/HandleOwner.h"

template <class T>
struct GdiRelease {
    typedef T Handle;
    static BOOL Free(T object) { return DeleteObject(object); }
};

// One GDI object (HPEN, HBRUSH, HBITMAP, HRGN, HFONT), deleted once. The
// object must not be selected into a device context when the owner lets it
// go: MemoryDc and SelectScope give their contexts the old tools back.
template <class T>
using GdiObject = HandleOwner<GdiRelease<T>>;

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
