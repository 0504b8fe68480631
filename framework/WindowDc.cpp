#include "framework/WindowDc.h"

MemoryDc::MemoryDc(HDC like)
    : m_dc(CreateCompatibleDC(like)), m_bitmap(NULL), m_pen(NULL), m_brush(NULL), m_font(NULL) {
    if (m_dc == NULL) return;
    m_bitmap = GetCurrentObject(m_dc, OBJ_BITMAP);
    m_pen = GetCurrentObject(m_dc, OBJ_PEN);
    m_brush = GetCurrentObject(m_dc, OBJ_BRUSH);
    m_font = GetCurrentObject(m_dc, OBJ_FONT);
}

MemoryDc::~MemoryDc() {
    if (m_dc == NULL) return;
    DWORD saved = GetLastError();
    SelectObject(m_dc, m_bitmap);
    SelectObject(m_dc, m_pen);
    SelectObject(m_dc, m_brush);
    SelectObject(m_dc, m_font);
    DeleteDC(m_dc);
    SetLastError(saved);
}
