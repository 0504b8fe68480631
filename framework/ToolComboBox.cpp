#include "framework/ToolComboBox.h"

#include "framework/ToolBarItem.h"

#include <commctrl.h>

ToolComboBox::ToolComboBox() : m_state(0), m_kind(0), m_tracking(FALSE) {
    AddMessageHandler(WM_MOUSEMOVE, Handler(&ToolComboBox::OnMouseMove));
    AddMessageHandler(WM_MOUSELEAVE, Handler(&ToolComboBox::OnMouseLeave));
}

ToolComboBox::~ToolComboBox() {}

HWND ToolComboBox::Create(int /*reserved*/, int x, int y, int cx, int cy, HWND parent, UINT id,
                          HINSTANCE instance, BYTE state, BYTE kind) {
    if (GetHwnd() != NULL) return GetHwnd();
    DWORD style = WS_CHILD | WS_VISIBLE | CBS_HASSTRINGS;
    if (kind == kToolDropDownList) {
        style |= CBS_DROPDOWNLIST;
    } else if (kind == kToolDropDownCombo) {
        style |= CBS_DROPDOWN;
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    m_state = state;
    m_kind = kind;
    HWND hwnd = CreateWindowExA(0, "COMBOBOX", "", style, x, y, cx, cy, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, NULL);
    if (hwnd == NULL) return NULL;
    ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    SetHwnd(hwnd);
    Subclass();
    return hwnd;
}

LRESULT ToolComboBox::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (!m_tracking) {
        m_tracking = TRUE;
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, GetHwnd(), HOVER_DEFAULT};
        _TrackMouseEvent(&track);
        SendToolItemNotify(GetHwnd(), NM_TOOLITEM_HOVER);
    }
    return CallOldProc(GetHwnd(), WM_MOUSEMOVE, wParam, lParam);
}

LRESULT ToolComboBox::OnMouseLeave(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    m_tracking = FALSE;
    SendToolItemNotify(GetHwnd(), NM_TOOLITEM_LEAVE);
    return 0;
}
