#ifndef DIALOGS_CORRECTIONGRID_H
#define DIALOGS_CORRECTIONGRID_H

#include "framework/TIVDataGrid.h"

// The correction dialog's distance table: a header row ("Distance", "8MHz",
// "7.5MHz", 60 pixels each) over up to four rows. A click anywhere in a row
// selects the row; only the distance column is edited in place, and only
// while the table is editable. A double click writes its row (the dialog
// acts on it) and opens no editor, on the current cell too. Table rows
// count from 0 below the header.
// User-interface thread only.
class CorrectionGrid : public TIVDataGrid {
public:
    static const int kMaxRows = 4;
    static const int kColumnWidth = 60;
    enum Column { kDistanceColumn, k8MHzColumn, k75MHzColumn, kColumns };

    CorrectionGrid();

    // The grid window over the given dialog rectangle (pixels), with its header.
    HWND CreateIn(HWND dialog, HINSTANCE instance, const RECT& place, UINT id);
    void SetEditable(BOOL editable) { m_editable = editable; }
    int GetTableRows();
    // Appends empty rows or deletes rows from the end until there are rows.
    void SetTableRows(int rows);
    void SetDistance(int row, unsigned millimetres);
    // The leading decimal number of the row's distance text.
    unsigned GetDistance(int row);
    void SetValue(int row, int col, unsigned value);
    // The selected row, -1 when none.
    int GetSelectedRow();
    // The table row of a grid row, -1 for the header and beyond the table.
    int TableRow(int gridRow);
    // A dialog's WM_NOTIFY: an accepted edit of this grid's distance is
    // stored as its leading number modulo 65536, shown "%dmm". TRUE when
    // the notification was this grid's edit.
    BOOL StoreEdit(LPARAM notify);

    // A click on the current cell does not open the editor unless the cell
    // is an editable distance.
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam) override;

private:
    void FitWidth();

    BOOL m_editable;
};

#endif
