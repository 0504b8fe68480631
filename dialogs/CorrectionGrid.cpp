#include "dialogs/CorrectionGrid.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

namespace {

const int kHeaderRow = 0;
const int kCellText = 16;  // a distance text is read as at most 15 characters

}  // namespace

CorrectionGrid::CorrectionGrid() : m_editable(FALSE) {
    SetDoubleClickActs();
}

HWND CorrectionGrid::CreateIn(HWND dialog, HINSTANCE instance, const RECT& place, UINT id) {
    Register(instance);  // a second grid finds the class registered
    HWND grid = Create(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                       place.left, place.top, place.right - place.left, place.bottom - place.top, dialog, id,
                       instance);
    if (grid == NULL) return NULL;
    // First in the tab order, before the template's controls.
    SetWindowPos(grid, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    static const char* const kHeaders[kColumns] = {"Distance", "8MHz", "7.5MHz"};
    for (int c = 0; c < kColumns; ++c) InsertColumn(-1, kColumnWidth);
    InsertRow(-1);
    for (int c = 0; c < kColumns; ++c) {
        SetCellText(kHeaderRow, c, kHeaders[c]);
        SetCellFlag(kHeaderRow, c, 1);
    }
    FitWidth();
    Refresh();
    return grid;
}

// No wider than its columns and its border, so no empty band shows on the
// right whatever the dialog font makes of the place.
void CorrectionGrid::FitWidth() {
    RECT window, client, table;
    GetWindowRect(GetHwnd(), &window);
    GetClientRect(GetHwnd(), &client);
    GetRangeRect(&table, 0, -1, 0, -1);
    const int border = (window.right - window.left) - client.right;
    const int width = table.right - table.left + border;
    if (width < window.right - window.left)
        SetWindowPos(GetHwnd(), NULL, 0, 0, width, window.bottom - window.top, SWP_NOMOVE | SWP_NOZORDER);
}

int CorrectionGrid::GetTableRows() {
    const int rows = GetRowCount() - 1;
    return rows > 0 ? rows : 0;
}

void CorrectionGrid::SetTableRows(int rows) {
    if (GetColumnCount() == 0) return;  // no header: the window was never made
    while (GetTableRows() < rows) InsertRow(-1);
    while (GetTableRows() > rows) DeleteRow(-1);
}

void CorrectionGrid::SetDistance(int row, unsigned millimetres) {
    char text[kCellText];
    snprintf(text, sizeof text, "%umm", millimetres);
    SetCellText(row + 1, kDistanceColumn, text);
}

unsigned CorrectionGrid::GetDistance(int row) {
    char text[kCellText];
    return static_cast<unsigned>(strtoul(GetCellText(row + 1, kDistanceColumn, text, sizeof text), NULL, 10));
}

void CorrectionGrid::SetValue(int row, int col, unsigned value) {
    char text[kCellText];
    snprintf(text, sizeof text, "%u", value);
    SetCellText(row + 1, col, text);
}

int CorrectionGrid::GetSelectedRow() {
    return TableRow(GetCurrentRow());
}

int CorrectionGrid::TableRow(int gridRow) {
    return gridRow > kHeaderRow && gridRow < GetRowCount() ? gridRow - 1 : -1;
}

BOOL CorrectionGrid::StoreEdit(LPARAM notify) {
    const NMLVDISPINFOA* info = reinterpret_cast<const NMLVDISPINFOA*>(notify);
    if (info == NULL || info->hdr.hwndFrom != GetHwnd() || info->hdr.code != LVN_ENDLABELEDITA) return FALSE;
    // A cancelled edit carries no text; only a distance is ever edited.
    if (info->item.pszText == NULL || info->item.iSubItem != kDistanceColumn) return TRUE;
    const long typed = strtol(info->item.pszText, NULL, 10);
    SetDistance(info->item.iItem - 1, static_cast<unsigned>(typed) & 0xFFFF);
    Refresh();
    return TRUE;
}

LRESULT CorrectionGrid::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
    int col = -1, row = -1;
    const BOOL onCurrent = HitTest(lParam, &col, &row) && row == GetCurrentRow() && col == GetCurrentColumn();
    if (onCurrent && !(m_editable && col == kDistanceColumn))
        return DefWindowProcA(GetHwnd(), WM_LBUTTONDOWN, wParam, lParam);
    return TIVDataGrid::OnLButtonDown(wParam, lParam);
}
