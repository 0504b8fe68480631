#include "dialogs/FRAMEditorDlg.h"

#include "framework/MsgBox.h"
#include "protocol/DeviceHost.h"
#include "protocol/DevicePort.h"
#include "resources/DialogIds.h"

#include <cstdio>

namespace {

const int kSide = 17;  // a header and 16 words, across and down
const int kColumnWidth = 50;
const int kMargin = 4;         // pixels around the grid and the buttons
const int kBelowGrid = 12;     // pixels from the grid to the bottom edge, besides the button height
const int kInitialSize = 300;  // the grid before the first layout

int RowOf(int word) {
    return word / 16 + 1;
}

int ColumnOf(int word) {
    return word % 16 + 1;
}

}  // namespace

FRAMEditorDlg::FRAMEditorDlg() : SensorDialog("FRAMEditorDlg") {
    AddMessageHandler(WM_NOTIFY, Handler(&FRAMEditorDlg::OnNotify));
    AddMessageHandler(WM_DRAWITEM, Handler(&FRAMEditorDlg::OnDrawItem));
    AddCommandHandler(IDC_FRAM_READ, Command(&FRAMEditorDlg::ReadFram));
    AddCommandHandler(IDC_FRAM_WRITE, Command(&FRAMEditorDlg::WriteFram));
}

FRAMEditorDlg::~FRAMEditorDlg() {
    Destroy();  // while the grid and this dialog's OnDestroy still exist
}

HWND FRAMEditorDlg::Create(HINSTANCE instance, HWND parent) {
    return CreateWithPort(instance, parent, kTemplate);
}

void FRAMEditorDlg::UpdateControls() {}

LRESULT FRAMEditorDlg::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    m_grid.CreateIn(GetHwnd(), GetInstance(), kMargin, kMargin, kInitialSize, kInitialSize);
    // The words of an earlier opening may be stale: read again before a write.
    if (GetApplication() != NULL) GetApplication()->SetValue5(0);
    for (int i = 0; i < kSide; ++i) m_grid.InsertColumn(-1, kColumnWidth);
    for (int i = 0; i < kSide; ++i) m_grid.InsertRow(-1);
    FillHeaders();
    m_grid.Refresh();
    SensorDialog::OnInitDialog(wParam, lParam);
    RECT client;
    GetClientRect(GetHwnd(), &client);
    Layout(client.right, client.bottom);
    return 0;
}

void FRAMEditorDlg::FillHeaders() {
    m_grid.SetHeader(0, 0, "");
    for (int i = 1; i < kSide; ++i) {
        char number[8];
        snprintf(number, sizeof number, "%d", i - 1);
        m_grid.SetHeader(0, i, number);
        m_grid.SetHeader(i, 0, number);
    }
}

LRESULT FRAMEditorDlg::OnSize(WPARAM wParam, LPARAM lParam) {
    SensorDialog::OnSize(wParam, lParam);
    if (wParam != SIZE_MINIMIZED) Layout(LOWORD(lParam), HIWORD(lParam));
    return 0;
}

void FRAMEditorDlg::Layout(int width, int height) {
    HWND write = GetDlgItem(GetHwnd(), IDC_FRAM_WRITE);
    HWND read = GetDlgItem(GetHwnd(), IDC_FRAM_READ);
    if (write == NULL || read == NULL || m_grid.GetHwnd() == NULL) return;  // before the controls exist
    RECT button;
    GetWindowRect(write, &button);
    int buttonWidth = button.right - button.left;
    int buttonHeight = button.bottom - button.top;
    int top = height - kMargin - buttonHeight;
    int writeLeft = width - kMargin - buttonWidth;
    MoveWindow(write, writeLeft, top, buttonWidth, buttonHeight, TRUE);
    MoveWindow(read, writeLeft - kMargin - buttonWidth, top, buttonWidth, buttonHeight, TRUE);
    m_grid.Move(kMargin, kMargin, width - 2 * kMargin, height - kBelowGrid - buttonHeight - kMargin, TRUE);
}

void FRAMEditorDlg::ShowWords(const WORD* words, BYTE first, WORD count) {
    if (words == NULL) return;
    for (int i = 0; i < count; ++i) {
        int word = (first + i) & 0xFF;
        m_grid.SetWord(RowOf(word), ColumnOf(word), words[i]);
    }
    if (GetApplication() != NULL) GetApplication()->SetValue5(1);
    m_grid.Refresh();
}

LRESULT FRAMEditorDlg::OnNotify(WPARAM, LPARAM lParam) {
    m_grid.StoreEdit(lParam);
    return 0;
}

LRESULT FRAMEditorDlg::OnDrawItem(WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageA(GetHwnd(), static_cast<int>(wParam), WM_DRAWITEM, wParam, lParam);
}

LRESULT FRAMEditorDlg::ReadFram(WORD, WORD, LPARAM) {
    if (GetDevicePort() != NULL) GetDevicePort()->ReadFram(0, 0);
    return 0;
}

LRESULT FRAMEditorDlg::WriteFram(WORD, WORD, LPARAM) {
    if (GetApplication() == NULL || GetApplication()->GetValue5() == 0) {
        MsgBox().ShowTextOwner(GetHwnd(), "Please read before writing in.", MB_OK | MB_ICONERROR);
        return 0;
    }
    WORD words[kWords] = {};
    for (int w = 0; w < kWords; ++w) {
        // Only the block that goes out must be valid; the rest is not sent.
        if (!m_grid.GetWord(RowOf(w), ColumnOf(w), &words[w]) && w < kTransferWords) {
            m_grid.ReportInvalidCell(GetHwnd(), RowOf(w), ColumnOf(w));
            return 0;
        }
    }
    if (GetDevicePort() != NULL) GetDevicePort()->WriteFram(words, 0, 0);
    return 0;
}
