#include "dialogs/RAMEditorDlg.h"

#include "protocol/DevicePort.h"
#include "resources/DialogIds.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

const int kColumns = 9;  // the address and eight words
const int kWordsPerRow = 8;
const int kBytesPerRow = 16;
const int kColumnWidth = 50;
const int kMargin = 4;  // pixels around the grid
const int kGridTop = 30;
const int kInitialWidth = 128;
const int kInitialHeight = 300;
const int kCutRangeEnd = 0xFF;

// The words from byte s to byte e; a longer range is cut to 256 words and
// its end shown 256 bytes on from its start.
int WordCount(int s, int* e) {
    int count = (*e - s + 1) / 2;
    if (count <= RAMEditorDlg::kMaxWords) return count;
    *e = s + kCutRangeEnd;
    return RAMEditorDlg::kMaxWords;
}

}  // namespace

RAMEditorDlg::RAMEditorDlg() : SensorDialog("RAMEditorDlg") {
    AddMessageHandler(WM_NOTIFY, Handler(&RAMEditorDlg::OnNotify));
    AddCommandHandler(IDC_RAM_READ, Command(&RAMEditorDlg::OnRead));
    AddCommandHandler(IDC_RAM_WRITE, Command(&RAMEditorDlg::OnWrite));
}

RAMEditorDlg::~RAMEditorDlg() {
    Destroy();  // while the grid still exists
}

HWND RAMEditorDlg::Create(HINSTANCE instance, HWND parent) {
    return CreateWithPort(instance, parent, kTemplate);
}

void RAMEditorDlg::UpdateControls() {}

LRESULT RAMEditorDlg::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    m_grid.CreateIn(GetHwnd(), GetInstance(), kMargin, kGridTop, kInitialWidth, kInitialHeight);
    for (int c = 0; c < kColumns; ++c) m_grid.InsertColumn(-1, kColumnWidth);
    m_grid.InsertRow(-1);
    m_grid.SetHeader(0, 0, "");
    for (int c = 1; c < kColumns; ++c) {
        char offset[4];
        snprintf(offset, sizeof offset, "%x", 2 * (c - 1));
        m_grid.SetHeader(0, c, offset);
    }
    m_grid.Refresh();
    SensorDialog::OnInitDialog(wParam, lParam);
    RECT client;
    GetClientRect(GetHwnd(), &client);
    Layout(client.right, client.bottom);
    return 0;
}

LRESULT RAMEditorDlg::OnSize(WPARAM wParam, LPARAM lParam) {
    SensorDialog::OnSize(wParam, lParam);
    if (wParam != SIZE_MINIMIZED) Layout(LOWORD(lParam), HIWORD(lParam));
    return 0;
}

void RAMEditorDlg::Layout(int width, int height) {
    HWND first = GetDlgItem(GetHwnd(), IDC_RAM_FIRST);
    if (first == NULL || m_grid.GetHwnd() == NULL) return;  // before the controls exist
    RECT edit;
    GetWindowRect(first, &edit);
    MapWindowPoints(NULL, GetHwnd(), reinterpret_cast<POINT*>(&edit), 2);
    int top = edit.bottom + kMargin;
    m_grid.Move(kMargin, top, width - 2 * kMargin, height - kMargin - top, TRUE);
}

void RAMEditorDlg::FillGrid(const WORD* words, WORD start, WORD count) {
    // Words that arrive after the window went would land in the emptied
    // table, before the header row of the next opening. No words would make
    // the row count below wrap to 4096 rows; more than a transfer holds is
    // cut to what a transfer holds.
    if (!IsOpen() || words == NULL || count == 0) return;
    if (count > kMaxWords) count = kMaxWords;
    WORD lastLine = static_cast<WORD>((start - 1 + 2 * count) & ~0xF);
    WORD firstLine = static_cast<WORD>(start & ~0xF);
    int rows = static_cast<WORD>(lastLine - firstLine) / kBytesPerRow + 1;
    SetRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        m_grid.SetWord(r + 1, 0, static_cast<WORD>(start + kBytesPerRow * r));
        for (int c = 0; c < kWordsPerRow && kWordsPerRow * r + c < count; ++c)
            m_grid.SetWord(r + 1, c + 1, words[kWordsPerRow * r + c]);
    }
    m_grid.Refresh();
}

void RAMEditorDlg::SetRowCount(int rows) {
    while (m_grid.GetRowCount() - 1 < rows) m_grid.SetCellFlag(m_grid.InsertRow(-1), 0, 1);
    while (m_grid.GetRowCount() - 1 > rows) m_grid.DeleteRow(-1);
}

LRESULT RAMEditorDlg::OnNotify(WPARAM, LPARAM lParam) {
    m_grid.StoreEdit(lParam);
    return 0;
}

LRESULT RAMEditorDlg::OnRead(WORD, WORD, LPARAM) {
    int s = ReadAddress(IDC_RAM_FIRST);
    int e = ReadAddress(IDC_RAM_LAST);
    if (s == e) return 0;
    if (e < s) std::swap(s, e);
    s &= ~0xF;
    e |= 0xF;
    int count = WordCount(s, &e);
    ShowRange(static_cast<WORD>(s), static_cast<WORD>(e));
    if (GetDevicePort() != NULL) GetDevicePort()->ReadRam(static_cast<WORD>(s), static_cast<WORD>(count));
    return 0;
}

LRESULT RAMEditorDlg::OnWrite(WORD, WORD, LPARAM) {
    WORD base = 0, lastRow = 0;
    // Only what the grid shows can be written.
    if (!RowAddress(1, &base) || !RowAddress(m_grid.GetRowCount() - 1, &lastRow)) return 0;
    int s = ReadAddress(IDC_RAM_FIRST);
    int e = ReadAddress(IDC_RAM_LAST);
    if (e < s) std::swap(s, e);
    if (s < base) s = base;
    if (e > lastRow + 0xF) e = lastRow + 0xF;
    if (s >= e) return 0;
    s &= ~1;
    e |= 1;
    int count = WordCount(s, &e);
    ShowRange(static_cast<WORD>(s), static_cast<WORD>(e));
    WORD words[kMaxWords] = {};
    for (int i = 0; i < count; ++i) {
        int k = (s - base) / 2 + i;
        int row = k / kWordsPerRow + 1;
        int col = k % kWordsPerRow + 1;
        if (!m_grid.GetWord(row, col, &words[i])) {
            m_grid.ReportInvalidCell(GetHwnd(), row, col);
            return 0;
        }
    }
    if (GetDevicePort() != NULL) GetDevicePort()->WriteRam(words, static_cast<WORD>(s), static_cast<WORD>(count));
    return 0;
}

WORD RAMEditorDlg::ReadAddress(int id) {
    char text[32] = {};
    GetDlgItemTextA(GetHwnd(), id, text, sizeof text);
    return static_cast<WORD>(strtol(text, NULL, 16));
}

void RAMEditorDlg::ShowRange(WORD first, WORD last) {
    char text[8];
    snprintf(text, sizeof text, "%x", first);
    SetDlgItemTextA(GetHwnd(), IDC_RAM_FIRST, text);
    snprintf(text, sizeof text, "%x", last);
    SetDlgItemTextA(GetHwnd(), IDC_RAM_LAST, text);
}

BOOL RAMEditorDlg::RowAddress(int row, WORD* address) {
    if (row < 1) return FALSE;
    return m_grid.GetWord(row, 0, address);
}
