#ifndef FRAMEWORK_TIVDATAGRID_H
#define FRAMEWORK_TIVDATAGRID_H

#include "framework/ChildWindow.h"
#include "framework/GridCells.h"
#include "framework/TransientEditBox.h"

// A table of text cells in fixed-height rows with both scroll bars, a
// current cell and editing in place (window class "TIVDataGrid").
// A first click on a normal cell makes it current, a second click on it
// opens the in-place editor; an accepted edit reaches the parent as
// LVN_ENDLABELEDITA (row in iItem, column in iSubItem, the text in
// pszText). The grid never stores an edit: the parent sets the cell if it
// accepts the text. A double click reaches the parent as NM_DBLCLK (an
// NMITEMACTIVATE with the row in iItem and the column in iSubItem, -1 off
// the table), as a list view reports one. Cell changes do not repaint;
// callers call Refresh.
// User-interface thread only.
class TIVDataGrid : public ChildWindow {
public:
    static const char kClassName[];

    TIVDataGrid();
    ~TIVDataGrid() override;

    using ChildWindow::Create;

    // 1 when this object registered the window class; 0 when the class
    // existed already, which callers may ignore.
    virtual BOOL Register(HINSTANCE instance);
    virtual HWND Create(DWORD exStyle, DWORD style, int x, int y, int cx, int cy, HWND parent, UINT id,
                        HINSTANCE instance);
    // Updates the scroll bars and repaints the whole grid.
    virtual void Refresh();
    // Index outside the table: appends. Returns the new index.
    virtual int InsertColumn(int index, int width);
    virtual int InsertRow(int index);
    // Index outside the table: the last. 0 when the table has none.
    virtual int DeleteColumn(int index);
    virtual int DeleteRow(int index);
    // Copies at most size - 1 characters; "" for a cell outside the table.
    virtual char* GetCellText(int row, int col, char* buffer, int size);
    virtual void SetCellText(int row, int col, const char* text);
    virtual int GetCellFlag(int row, int col);
    // 1 makes a fixed cell; returns the previous flag.
    virtual int SetCellFlag(int row, int col, int flag);
    virtual int GetColumnCount();
    virtual int GetRowCount();
    virtual LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnHScroll(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcLButtonDown(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    // 1 when the client point lies on a cell; col and row are -1 where the
    // point is beyond the table.
    virtual BOOL HitTest(LPARAM point, int* col, int* row);
    // The grid rectangle of a block of cells; a negative count means all
    // rows or all columns from the first. Returns the bottom.
    virtual int GetRangeRect(RECT* rect, int firstRow, int rowCount, int firstCol, int colCount);
    virtual void ClientToGrid(POINT* points, int count);
    virtual void GridToClient(POINT* points, int count);
    // Sets the caller's range and position bits (either block may be null)
    // and a page that fits the client area, showing only the bars needed.
    virtual void UpdateScrollBars(SCROLLINFO* h, SCROLLINFO* v);

    // The current cell, -1 when none.
    int GetCurrentRow() const { return m_currentRow; }
    int GetCurrentColumn() const { return m_currentCol; }
    // The open in-place editor's window, 0 when closed.
    HWND GetEditorHwnd() { return m_editor.GetHwnd(); }

protected:
    // For a grid whose parent acts on a double click: a click on the current
    // cell opens the editor only once the double-click time has passed
    // without a second press, and a double click opens none.
    void SetDoubleClickActs() { m_doubleClickActs = TRUE; }

private:
    // NM_DBLCLK to the parent for a double click at the client point.
    void ReportDoubleClick(LPARAM point);
    void Paint(HDC dc, const RECT& area);
    void DrawCell(HDC dc, const RECT& rect, int row, int col);
    BOOL CellClientRect(int row, int col, RECT* rect);
    void InvalidateCell(int row, int col);
    void SelectCell(int row, int col);
    void OpenEditor(int row, int col);
    // Moves the focus to the grid, which commits an open editor.
    void CommitEditor();
    void Scroll(int bar, WORD request);
    void ScrollContent(int oldX, int oldY, int newX, int newY);
    int ScrollOffset(int bar);

    HINSTANCE m_instance;
    HWND m_parent;
    ATOM m_classAtom;  // 0 until this object registered the class
    GridCells m_cells;
    int m_currentRow, m_currentCol;
    int m_armedRow, m_armedCol;  // the current cell, clicked again: edited on release or after the wait
    int m_editRow, m_editCol;
    BOOL m_updatingBars;  // a bar shown or hidden resizes the client area
    BOOL m_doubleClickActs;
    TransientEditBox m_editor;
};

#endif
