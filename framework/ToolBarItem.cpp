#include "framework/ToolBarItem.h"

LRESULT SendToolItemNotify(HWND control, UINT code) {
    NMHDR header = {control, static_cast<UINT_PTR>(GetDlgCtrlID(control)), code};
    return SendMessageA(GetParent(control), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}
