#ifndef FRAMEWORK_GRIDCELLS_H
#define FRAMEWORK_GRIDCELLS_H

#include <string>
#include <vector>

// The table of a data grid: column widths in pixels and rows of text cells,
// each cell normal or fixed (a header, neither selectable nor editable).
// Every row has one cell per column; all rows are kRowHeight pixels high.
// Positions are grid coordinates: x from the left edge of column 0, y from
// the top of row 0. No windows here, so the geometry tests without them.
class GridCells {
public:
    static const int kRowHeight = 16;

    // The new column's index; an index outside the table appends.
    int InsertColumn(int index, int width);
    // The new row's index (one empty normal cell per column); an index
    // outside the table appends.
    int InsertRow(int index);
    // 0 when the table has none; an index outside the table means the last.
    int DeleteColumn(int index);
    int DeleteRow(int index);
    void Clear();

    int GetColumnCount() const { return static_cast<int>(m_widths.size()); }
    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    bool Contains(int row, int col) const;

    // Copies the text cut to size - 1 characters and returns the buffer;
    // a cell outside the table gives "".
    char* GetText(int row, int col, char* buffer, int size) const;
    // The whole text, "" outside the table.
    const char* TextOf(int row, int col) const;
    // Outside the table: nothing.
    void SetText(int row, int col, const char* text);
    // 0 outside the table.
    int GetFlag(int row, int col) const;
    // The previous flag; outside the table 0 and nothing is set.
    int SetFlag(int row, int col, int flag);

    // Left edge of a column; the total width for the column count.
    int ColumnLeft(int col) const;
    int TotalWidth() const { return ColumnLeft(GetColumnCount()); }
    int TotalHeight() const { return GetRowCount() * kRowHeight; }
    // The column or row at a position, -1 outside the table.
    int ColumnAt(int x) const;
    int RowAt(int y) const;
    // The rows that meet the band top..bottom (bottom exclusive); false when
    // none does. Painting draws only these.
    bool RowsMeeting(int top, int bottom, int* first, int* last) const;

private:
    struct Cell {
        std::string text;
        int flag = 0;
    };

    std::vector<int> m_widths;
    std::vector<std::vector<Cell>> m_rows;
};

#endif
