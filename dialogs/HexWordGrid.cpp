#include "dialogs/HexWordGrid.h"

#include "framework/MsgBox.h"
#include "resources/DialogIds.h"

#include <commctrl.h>

#include <cctype>
#include <cstdio>

namespace {

const int kMaxDigits = 4;
const int kCellText = 32;  // header and word texts are short

}  // namespace

HWND HexWordGrid::CreateIn(HWND dialog, HINSTANCE instance, int x, int y, int cx, int cy) {
    Register(instance);  // a second grid finds the class registered
    HWND grid = Create(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                       x, y, cx, cy, dialog, kId, instance);
    // First in the tab order, before the template's controls.
    if (grid != NULL) SetWindowPos(grid, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return grid;
}

void HexWordGrid::SetHeader(int row, int col, const char* text) {
    SetCellText(row, col, text);
    SetCellFlag(row, col, 1);
}

void HexWordGrid::SetWord(int row, int col, WORD word) {
    char text[kCellText];
    snprintf(text, sizeof text, "%04x", word);
    SetCellText(row, col, text);
}

BOOL HexWordGrid::GetWord(int row, int col, WORD* word) {
    char text[kCellText];
    return ParseWord(GetCellText(row, col, text, sizeof text), word);
}

BOOL HexWordGrid::StoreEdit(LPARAM notify) {
    const NMLVDISPINFOA* info = reinterpret_cast<const NMLVDISPINFOA*>(notify);
    if (info == NULL || info->hdr.hwndFrom != GetHwnd() || info->hdr.code != LVN_ENDLABELEDITA) return FALSE;
    if (info->item.pszText == NULL) return FALSE;
    WORD word = 0;
    if (!ParseWord(info->item.pszText, &word)) {
        MessageBeep(MB_ICONEXCLAMATION);
        return FALSE;
    }
    SetWord(info->item.iItem, info->item.iSubItem, word);
    Refresh();
    return TRUE;
}

void HexWordGrid::ReportInvalidCell(HWND owner, int row, int col) {
    char rowName[kCellText];
    char colName[kCellText];
    GetCellText(row, 0, rowName, sizeof rowName);
    GetCellText(0, col, colName, sizeof colName);
    MsgBox().ShowIdOwner(owner, IDS_GRID_NO_WORD, MB_OK | MB_ICONERROR, rowName, colName);
}

BOOL HexWordGrid::ParseWord(const char* text, WORD* word) {
    if (text == NULL) return FALSE;
    unsigned value = 0;
    int digits = 0;
    for (; text[digits] != '\0'; ++digits) {
        unsigned char c = static_cast<unsigned char>(text[digits]);
        if (digits == kMaxDigits || !isxdigit(c)) return FALSE;
        value = value * 16 + (isdigit(c) ? c - '0' : tolower(c) - 'a' + 10);
    }
    if (digits == 0) return FALSE;
    *word = static_cast<WORD>(value);
    return TRUE;
}
