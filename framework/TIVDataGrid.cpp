#include "framework/TIVDataGrid.h"

#include "framework/FrameworkMessages.h"
#include "framework/GdiObject.h"
#include "framework/Geometry.h"
#include "framework/WindowDc.h"

#include <commctrl.h>

#include <string>

namespace {

const int kLineStep = 4;     // pixels per scroll-bar arrow click
const int kTextIndent = 2;   // pixels between a cell's left edge and its text
const UINT kScrollBits = SIF_RANGE | SIF_PAGE | SIF_POS;
const UINT_PTR kEditTimer = 1;  // a click on the current cell waiting out the double-click time

}  // namespace

const char TIVDataGrid::kClassName[] = "TIVDataGrid";

TIVDataGrid::TIVDataGrid()
    : m_instance(NULL),
      m_parent(NULL),
      m_classAtom(0),
      m_currentRow(-1),
      m_currentCol(-1),
      m_armedRow(-1),
      m_armedCol(-1),
      m_editRow(-1),
      m_editCol(-1),
      m_updatingBars(FALSE),
      m_doubleClickActs(FALSE) {
    AddMessageHandler(WM_CREATE, Handler(&TIVDataGrid::OnCreate));
    AddMessageHandler(WM_DESTROY, Handler(&TIVDataGrid::OnDestroy));
    AddMessageHandler(WM_SIZE, Handler(&TIVDataGrid::OnSize));
    AddMessageHandler(WM_PAINT, Handler(&TIVDataGrid::OnPaint));
    AddMessageHandler(WM_LBUTTONDOWN, Handler(&TIVDataGrid::OnLButtonDown));
    AddMessageHandler(WM_LBUTTONUP, Handler(&TIVDataGrid::OnLButtonUp));
    AddMessageHandler(WM_LBUTTONDBLCLK, Handler(&TIVDataGrid::OnLButtonDblClk));
    AddMessageHandler(WM_HSCROLL, Handler(&TIVDataGrid::OnHScroll));
    AddMessageHandler(WM_VSCROLL, Handler(&TIVDataGrid::OnVScroll));
    AddMessageHandler(WM_NCLBUTTONDOWN, Handler(&TIVDataGrid::OnNcLButtonDown));
    AddMessageHandler(WM_TIMER, Handler(&TIVDataGrid::OnTimer));
    AddMessageHandler(WM_NOTIFY, Handler(&TIVDataGrid::OnNotify));
}

TIVDataGrid::~TIVDataGrid() {}

BOOL TIVDataGrid::Register(HINSTANCE instance) {
    if (m_classAtom != 0) return TRUE;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_PARENTDC | CS_DBLCLKS;
    wc.lpfnWndProc = &ChildWindow::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = kClassName;
    m_classAtom = RegisterClassExA(&wc);
    return m_classAtom != 0;
}

HWND TIVDataGrid::Create(DWORD exStyle, DWORD style, int x, int y, int cx, int cy, HWND parent, UINT id,
                         HINSTANCE instance) {
    m_instance = instance;
    m_parent = parent;
    CREATESTRUCTA cs = {};
    cs.dwExStyle = exStyle;
    cs.lpszClass = kClassName;
    cs.style = style;
    cs.x = x;
    cs.y = y;
    cs.cx = cx;
    cs.cy = cy;
    cs.hwndParent = parent;
    cs.hMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id));
    cs.hInstance = instance;
    return ChildWindow::Create(&cs);
}

void TIVDataGrid::Refresh() {
    // Without a window, a null handle would repaint every window.
    if (GetHwnd() == NULL) return;
    UpdateScrollBars(NULL, NULL);
    InvalidateRect(GetHwnd(), NULL, FALSE);
}

int TIVDataGrid::InsertColumn(int index, int width) {
    int at = m_cells.InsertColumn(index, width);
    SCROLLINFO h = {sizeof h, SIF_RANGE, 0, m_cells.TotalWidth(), 0, 0, 0};
    UpdateScrollBars(&h, NULL);
    return at;
}

int TIVDataGrid::InsertRow(int index) {
    int at = m_cells.InsertRow(index);
    SCROLLINFO v = {sizeof v, SIF_RANGE, 0, m_cells.TotalHeight(), 0, 0, 0};
    UpdateScrollBars(NULL, &v);
    return at;
}

int TIVDataGrid::DeleteColumn(int index) {
    if (!m_cells.DeleteColumn(index)) return 0;
    if (!m_cells.Contains(m_currentRow, m_currentCol)) m_currentRow = m_currentCol = -1;
    SCROLLINFO h = {sizeof h, SIF_RANGE, 0, m_cells.TotalWidth(), 0, 0, 0};
    UpdateScrollBars(&h, NULL);
    return 1;
}

int TIVDataGrid::DeleteRow(int index) {
    if (!m_cells.DeleteRow(index)) return 0;
    if (!m_cells.Contains(m_currentRow, m_currentCol)) m_currentRow = m_currentCol = -1;
    SCROLLINFO v = {sizeof v, SIF_RANGE, 0, m_cells.TotalHeight(), 0, 0, 0};
    UpdateScrollBars(NULL, &v);
    return 1;
}

char* TIVDataGrid::GetCellText(int row, int col, char* buffer, int size) {
    return m_cells.GetText(row, col, buffer, size);
}

void TIVDataGrid::SetCellText(int row, int col, const char* text) {
    m_cells.SetText(row, col, text);
}

int TIVDataGrid::GetCellFlag(int row, int col) {
    return m_cells.GetFlag(row, col);
}

int TIVDataGrid::SetCellFlag(int row, int col, int flag) {
    return m_cells.SetFlag(row, col, flag);
}

int TIVDataGrid::GetColumnCount() {
    return m_cells.GetColumnCount();
}

int TIVDataGrid::GetRowCount() {
    return m_cells.GetRowCount();
}

LRESULT TIVDataGrid::OnCreate(WPARAM, LPARAM) {
    SCROLLINFO h = {sizeof h, SIF_ALL, 0, 0, 0, 0, 0};
    SCROLLINFO v = h;
    UpdateScrollBars(&h, &v);
    return 0;
}

LRESULT TIVDataGrid::OnDestroy(WPARAM, LPARAM) {
    m_cells.Clear();
    m_currentRow = m_currentCol = -1;
    m_armedRow = m_armedCol = -1;
    return 0;
}

LRESULT TIVDataGrid::OnSize(WPARAM, LPARAM) {
    UpdateScrollBars(NULL, NULL);
    return 0;
}

LRESULT TIVDataGrid::OnPaint(WPARAM, LPARAM) {
    PaintDc dc(GetHwnd());
    if (dc.Get() != NULL) Paint(dc, dc.Area());
    return 0;
}

void TIVDataGrid::Paint(HDC dc, const RECT& area) {
    SelectScope font(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);

    RECT table;
    GetRangeRect(&table, 0, -1, 0, -1);
    GridToClient(reinterpret_cast<POINT*>(&table), 2);
    OwnedRegion outside(CreateRectRgnIndirect(&area));
    OwnedRegion cells(CreateRectRgnIndirect(&table));
    if (outside.Valid() && cells.Valid() && CombineRgn(outside, outside, cells, RGN_DIFF) != NULLREGION)
        FillRgn(dc, outside, GetSysColorBrush(COLOR_APPWORKSPACE));

    // Only the rows within the area are visited: a long table costs no
    // more to paint than a short one.
    int scrollX = ScrollOffset(SB_HORZ);
    int scrollY = ScrollOffset(SB_VERT);
    int first = 0, last = -1;
    if (!m_cells.RowsMeeting(area.top + scrollY, area.bottom + scrollY, &first, &last)) return;
    for (int row = first; row <= last; ++row) {
        RECT cell;
        cell.top = row * GridCells::kRowHeight - scrollY;
        cell.bottom = cell.top + GridCells::kRowHeight;
        cell.right = -scrollX;
        for (int col = 0; col < m_cells.GetColumnCount() && cell.right < area.right; ++col) {
            cell.left = cell.right;
            cell.right = m_cells.ColumnLeft(col + 1) - scrollX;
            RECT meets;
            if (IntersectRect(&meets, &cell, &area)) DrawCell(dc, cell, row, col);
        }
    }
}

void TIVDataGrid::DrawCell(HDC dc, const RECT& rect, int row, int col) {
    int fill = COLOR_WINDOW;
    int ink = COLOR_BTNTEXT;
    if (m_cells.GetFlag(row, col) == 1) {
        fill = COLOR_BTNFACE;
    } else if (row == m_currentRow && col == m_currentCol) {
        fill = COLOR_HIGHLIGHT;
        ink = COLOR_HIGHLIGHTTEXT;
    }
    {
        SelectScope pen(dc, GetStockObject(BLACK_PEN));
        SelectScope brush(dc, GetSysColorBrush(fill));
        Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
    RECT edge = rect;
    DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
    SetTextColor(dc, GetSysColor(ink));
    RECT text = rect;
    text.left += kTextIndent;
    DrawTextA(dc, m_cells.TextOf(row, col), -1, &text,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
}

LRESULT TIVDataGrid::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
    KillTimer(GetHwnd(), kEditTimer);
    int col = -1, row = -1;
    if (HitTest(lParam, &col, &row)) {
        if (m_cells.GetFlag(row, col) != 1) {
            if (row == m_currentRow && col == m_currentCol) {
                m_armedRow = row;
                m_armedCol = col;
            } else {
                SelectCell(row, col);
                CommitEditor();
            }
        }
    } else {
        SelectCell(-1, -1);
        CommitEditor();
    }
    return DefWindowProcA(GetHwnd(), WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT TIVDataGrid::OnLButtonUp(WPARAM wParam, LPARAM lParam) {
    int col = -1, row = -1;
    HitTest(lParam, &col, &row);
    if (row >= 0 && col >= 0 && row == m_armedRow && col == m_armedCol) {
        // The cell stays armed while a second press may still make this
        // click a double click.
        if (m_doubleClickActs) {
            SetTimer(GetHwnd(), kEditTimer, GetDoubleClickTime(), NULL);
        } else {
            OpenEditor(row, col);
        }
        return 0;
    }
    m_armedRow = m_armedCol = -1;
    return DefWindowProcA(GetHwnd(), WM_LBUTTONUP, wParam, lParam);
}

// The second press of a double click: reported to the parent. Where the
// parent does not act on it, first a press like any other (a double click
// on a cell opens its editor).
LRESULT TIVDataGrid::OnLButtonDblClk(WPARAM wParam, LPARAM lParam) {
    if (m_doubleClickActs) {
        KillTimer(GetHwnd(), kEditTimer);
        m_armedRow = m_armedCol = -1;
    } else {
        OnLButtonDown(wParam, lParam);
    }
    ReportDoubleClick(lParam);
    return 0;
}

// No second press came: the click on the current cell edits it.
LRESULT TIVDataGrid::OnTimer(WPARAM wParam, LPARAM lParam) {
    if (wParam != kEditTimer) return DefWindowProcA(GetHwnd(), WM_TIMER, wParam, lParam);
    KillTimer(GetHwnd(), kEditTimer);
    if (m_armedRow >= 0 && m_armedRow == m_currentRow && m_armedCol == m_currentCol)
        OpenEditor(m_armedRow, m_armedCol);
    return 0;
}

void TIVDataGrid::ReportDoubleClick(LPARAM point) {
    int col = -1, row = -1;
    if (!HitTest(point, &col, &row)) col = row = -1;
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = GetHwnd();
    click.hdr.idFrom = GetDlgCtrlID(GetHwnd());
    click.hdr.code = NM_DBLCLK;
    click.iItem = row;
    click.iSubItem = col;
    PointFromLParam(&click.ptAction, point);
    ::SendMessageA(m_parent, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

void TIVDataGrid::SelectCell(int row, int col) {
    m_armedRow = m_armedCol = -1;
    InvalidateCell(m_currentRow, m_currentCol);
    m_currentRow = row;
    m_currentCol = col;
    InvalidateCell(row, col);
}

void TIVDataGrid::OpenEditor(int row, int col) {
    RECT rect;
    CellClientRect(row, col, &rect);
    InflateRect(&rect, -1, -1);
    std::string text(m_cells.TextOf(row, col));
    if (text.size() > static_cast<size_t>(TransientEditBox::kMaxText)) text.resize(TransientEditBox::kMaxText);
    // Auto-scrolling, so a text wider than its cell can be edited to its end.
    m_editor.Begin(0, text.c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, rect.left, rect.top,
                   RectWidth(&rect), RectHeight(&rect), GetHwnd(), m_instance);
    m_editRow = row;
    m_editCol = col;
    m_armedRow = m_armedCol = -1;
}

void TIVDataGrid::CommitEditor() {
    if (m_editor.GetHwnd() != NULL) SetFocus(GetHwnd());
}

LRESULT TIVDataGrid::OnNcLButtonDown(WPARAM wParam, LPARAM lParam) {
    CommitEditor();
    return DefWindowProcA(GetHwnd(), WM_NCLBUTTONDOWN, wParam, lParam);
}

LRESULT TIVDataGrid::OnNotify(WPARAM, LPARAM lParam) {
    const TransientEditEnd* end = reinterpret_cast<const TransientEditEnd*>(lParam);
    if (end == NULL || end->header.code != NM_TRANSIENTEDIT_END || end->header.hwndFrom != m_editor.GetHwnd())
        return 0;
    NMLVDISPINFOA info = {};
    info.hdr.hwndFrom = GetHwnd();
    info.hdr.idFrom = GetDlgCtrlID(GetHwnd());
    info.hdr.code = LVN_ENDLABELEDITA;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = m_editRow;
    info.item.iSubItem = m_editCol;
    info.item.pszText = const_cast<char*>(end->text);
    ::SendMessageA(m_parent, WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    return 0;
}

LRESULT TIVDataGrid::OnHScroll(WPARAM wParam, LPARAM) {
    Scroll(SB_HORZ, LOWORD(wParam));
    return 0;
}

LRESULT TIVDataGrid::OnVScroll(WPARAM wParam, LPARAM) {
    Scroll(SB_VERT, LOWORD(wParam));
    return 0;
}

void TIVDataGrid::Scroll(int bar, WORD request) {
    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(GetHwnd(), bar, &info)) return;
    int pos = info.nPos;
    switch (request) {
        case SB_LINEUP: pos -= kLineStep; break;
        case SB_LINEDOWN: pos += kLineStep; break;
        case SB_PAGEUP: pos -= static_cast<int>(info.nPage); break;
        case SB_PAGEDOWN: pos += static_cast<int>(info.nPage); break;
        // The message carries only 16 bits of the position: a table longer
        // than 65535 pixels needs the bar's own 32-bit tracking position.
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: pos = info.nTrackPos; break;
        case SB_TOP: pos = info.nMin; break;
        case SB_BOTTOM: pos = info.nMax; break;
        default: return;
    }
    SCROLLINFO set = {sizeof set, SIF_POS, 0, 0, 0, pos, 0};
    int now = SetScrollInfo(GetHwnd(), bar, &set, TRUE);  // the system clamps it
    if (bar == SB_HORZ) {
        ScrollContent(info.nPos, 0, now, 0);
    } else {
        ScrollContent(0, info.nPos, 0, now);
    }
}

void TIVDataGrid::ScrollContent(int oldX, int oldY, int newX, int newY) {
    if (oldX == newX && oldY == newY) return;
    ScrollWindowEx(GetHwnd(), oldX - newX, oldY - newY, NULL, NULL, NULL, NULL, SW_INVALIDATE);
    UpdateWindow(GetHwnd());
}

int TIVDataGrid::ScrollOffset(int bar) {
    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    if (GetHwnd() == NULL || !GetScrollInfo(GetHwnd(), bar, &info)) return 0;
    // A bar whose range is below its page is hidden: nothing is scrolled.
    if (info.nMax - info.nMin < static_cast<int>(info.nPage)) return 0;
    return info.nPos;
}

void TIVDataGrid::ClientToGrid(POINT* points, int count) {
    int x = ScrollOffset(SB_HORZ);
    int y = ScrollOffset(SB_VERT);
    for (int i = 0; i < count; ++i) {
        points[i].x += x;
        points[i].y += y;
    }
}

void TIVDataGrid::GridToClient(POINT* points, int count) {
    int x = ScrollOffset(SB_HORZ);
    int y = ScrollOffset(SB_VERT);
    for (int i = 0; i < count; ++i) {
        points[i].x -= x;
        points[i].y -= y;
    }
}

BOOL TIVDataGrid::HitTest(LPARAM point, int* col, int* row) {
    POINT p;
    PointFromLParam(&p, point);
    ClientToGrid(&p, 1);
    *col = m_cells.ColumnAt(p.x);
    *row = m_cells.RowAt(p.y);
    return *col >= 0 && *row >= 0;
}

int TIVDataGrid::GetRangeRect(RECT* rect, int firstRow, int rowCount, int firstCol, int colCount) {
    if (rowCount < 0) {
        firstRow = 0;
        rowCount = m_cells.GetRowCount();
    }
    if (colCount < 0) {
        firstCol = 0;
        colCount = m_cells.GetColumnCount();
    }
    rect->left = m_cells.ColumnLeft(firstCol);
    rect->right = m_cells.ColumnLeft(firstCol + colCount);
    rect->top = firstRow * GridCells::kRowHeight;
    rect->bottom = (firstRow + rowCount) * GridCells::kRowHeight;
    return rect->bottom;
}

BOOL TIVDataGrid::CellClientRect(int row, int col, RECT* rect) {
    if (!m_cells.Contains(row, col)) return FALSE;
    GetRangeRect(rect, row, 1, col, 1);
    GridToClient(reinterpret_cast<POINT*>(rect), 2);
    return TRUE;
}

void TIVDataGrid::InvalidateCell(int row, int col) {
    RECT rect;
    if (GetHwnd() != NULL && CellClientRect(row, col, &rect)) InvalidateRect(GetHwnd(), &rect, FALSE);
}

void TIVDataGrid::UpdateScrollBars(SCROLLINFO* h, SCROLLINFO* v) {
    HWND hwnd = GetHwnd();
    // Showing or hiding a bar resizes the client area, which comes back
    // here through WM_SIZE; the outer call sets both bars.
    if (hwnd == NULL || m_updatingBars) return;
    m_updatingBars = TRUE;

    SCROLLINFO info[2];
    const int bars[2] = {SB_HORZ, SB_VERT};
    SCROLLINFO* given[2] = {h, v};
    int oldPos[2];
    UINT callerBits[2];
    for (int i = 0; i < 2; ++i) {
        SCROLLINFO empty = {sizeof empty, 0, 0, 0, 0, 0, 0};
        info[i] = given[i] != NULL ? *given[i] : empty;
        info[i].cbSize = sizeof info[i];
        callerBits[i] = info[i].fMask & kScrollBits;
        SCROLLINFO current = {sizeof current, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(hwnd, bars[i], &current);
        oldPos[i] = current.nPos;
        if (!(callerBits[i] & SIF_RANGE)) {
            info[i].nMin = current.nMin;
            info[i].nMax = current.nMax;
        }
        if (!(callerBits[i] & SIF_POS)) info[i].nPos = current.nPos;
    }

    // The client size without bars, then less each bar the table needs; a
    // bar is needed where the table is longer than the room beside the other.
    RECT client;
    GetClientRect(hwnd, &client);
    int width = client.right;
    int height = client.bottom;
    LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    if (style & WS_VSCROLL) width += GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL) height += GetSystemMetrics(SM_CYHSCROLL);
    int hRange = info[0].nMax - info[0].nMin;
    int vRange = info[1].nMax - info[1].nMin;
    if (hRange > width) {
        height -= GetSystemMetrics(SM_CYHSCROLL);
        if (vRange > height) width -= GetSystemMetrics(SM_CXVSCROLL);
    } else if (vRange > height) {
        width -= GetSystemMetrics(SM_CXVSCROLL);
        if (hRange > width) height -= GetSystemMetrics(SM_CYHSCROLL);
    }

    // With range 0..length and a page of size + 1, the bar hides itself
    // exactly when the table fits. The range goes along every time: a
    // change of the page alone never shows a hidden bar.
    const UINT pages[2] = {static_cast<UINT>(width + 1), static_cast<UINT>(height + 1)};
    int newPos[2];
    for (int i = 0; i < 2; ++i) {
        info[i].fMask = (callerBits[i] & SIF_POS) | SIF_RANGE | SIF_PAGE;
        info[i].nPage = pages[i];
        newPos[i] = SetScrollInfo(hwnd, bars[i], &info[i], TRUE);
    }
    m_updatingBars = FALSE;
    ScrollContent(oldPos[0], oldPos[1], newPos[0], newPos[1]);
}
