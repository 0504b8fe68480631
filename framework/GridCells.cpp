#include "framework/GridCells.h"

#include <algorithm>
#include <cstring>

namespace {

// Outside 0..count-1 appends.
int InsertPosition(int index, int count) {
    return index >= 0 && index < count ? index : count;
}

// Outside 0..count-1 means the last.
int DeletePosition(int index, int count) {
    return index >= 0 && index < count ? index : count - 1;
}

}  // namespace

int GridCells::InsertColumn(int index, int width) {
    int at = InsertPosition(index, GetColumnCount());
    m_widths.insert(m_widths.begin() + at, width);
    for (std::vector<Cell>& row : m_rows) row.insert(row.begin() + at, Cell());
    return at;
}

int GridCells::InsertRow(int index) {
    int at = InsertPosition(index, GetRowCount());
    m_rows.insert(m_rows.begin() + at, std::vector<Cell>(m_widths.size()));
    return at;
}

int GridCells::DeleteColumn(int index) {
    if (m_widths.empty()) return 0;
    int at = DeletePosition(index, GetColumnCount());
    m_widths.erase(m_widths.begin() + at);
    for (std::vector<Cell>& row : m_rows) row.erase(row.begin() + at);
    return 1;
}

int GridCells::DeleteRow(int index) {
    if (m_rows.empty()) return 0;
    m_rows.erase(m_rows.begin() + DeletePosition(index, GetRowCount()));
    return 1;
}

void GridCells::Clear() {
    m_rows.clear();
    m_widths.clear();
}

bool GridCells::Contains(int row, int col) const {
    return row >= 0 && row < GetRowCount() && col >= 0 && col < GetColumnCount();
}

char* GridCells::GetText(int row, int col, char* buffer, int size) const {
    if (buffer == NULL || size <= 0) return buffer;
    buffer[0] = '\0';
    if (!Contains(row, col)) return buffer;
    const std::string& text = m_rows[row][col].text;
    size_t length = std::min(text.size(), static_cast<size_t>(size - 1));
    memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return buffer;
}

const char* GridCells::TextOf(int row, int col) const {
    return Contains(row, col) ? m_rows[row][col].text.c_str() : "";
}

void GridCells::SetText(int row, int col, const char* text) {
    if (Contains(row, col)) m_rows[row][col].text = text != NULL ? text : "";
}

int GridCells::GetFlag(int row, int col) const {
    return Contains(row, col) ? m_rows[row][col].flag : 0;
}

int GridCells::SetFlag(int row, int col, int flag) {
    if (!Contains(row, col)) return 0;
    int previous = m_rows[row][col].flag;
    m_rows[row][col].flag = flag;
    return previous;
}

int GridCells::ColumnLeft(int col) const {
    int left = 0;
    for (int c = 0; c < col && c < GetColumnCount(); ++c) left += m_widths[c];
    return left;
}

int GridCells::ColumnAt(int x) const {
    if (x < 0) return -1;
    int right = 0;
    for (int c = 0; c < GetColumnCount(); ++c) {
        right += m_widths[c];
        if (right > x) return c;
    }
    return -1;
}

int GridCells::RowAt(int y) const {
    if (y < 0 || y >= TotalHeight()) return -1;
    return y / kRowHeight;
}

bool GridCells::RowsMeeting(int top, int bottom, int* first, int* last) const {
    top = std::max(top, 0);
    bottom = std::min(bottom, TotalHeight());
    if (top >= bottom) return false;
    *first = top / kRowHeight;
    *last = (bottom - 1) / kRowHeight;
    return true;
}
