#include "dialogs/ComMonitorDlg.h"

#include <richedit.h>

#include <memory>

#include "dialogs/DialogMessages.h"
#include "protocol/DevicePort.h"
#include "resources/DevelopDialogIds.h"
#include "sensor/SensorCaps.h"

namespace {

const int kLogMargin = 4;  // pixels from the log to the client's right and bottom edges
// Room for a batch beyond the trimmed size, so no insertion hits the limit.
const LPARAM kLogLimit = 4 * ComMonitorDlg::kTrimAboveChars;

int FilterBoxId(int k, int sub) {
    return IDC_MONITOR_FILTER_FIRST + MonitorDecoder::kSubCommands * k + sub;
}

bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

}  // namespace

ComMonitorDlg::ComMonitorDlg()
    : SensorDialog("ComMonitorDlg"),
      m_richEdit("riched32.dll"),
      m_queuedChars(0),
      m_flushPosted(false),
      m_frameCount(0) {
    AddMessageHandler(WM_MONITOR_FLUSH, Handler(&ComMonitorDlg::OnFlush));
    AddCommandHandler(IDC_MONITOR_CHECK_ALL, Command(&ComMonitorDlg::OnCheckAll));
    AddCommandHandler(IDC_MONITOR_CLEAR_ALL, Command(&ComMonitorDlg::OnClearAll));
    AddCommandHandler(IDC_MONITOR_ERASE, Command(&ComMonitorDlg::OnErase));
    AddCommandHandler(IDC_MONITOR_MONITOR, Command(&ComMonitorDlg::OnMonitor));
}

ComMonitorDlg::~ComMonitorDlg() {
    Destroy();  // while this dialog's OnDestroy still exists and riched32 is loaded
}

HWND ComMonitorDlg::Create(HINSTANCE instance, HWND parent) {
    if (GetSensorCaps() == NULL) return NULL;
    return CreateWithPort(instance, parent, kTemplate);
}

void ComMonitorDlg::UpdateControls() {}

LRESULT ComMonitorDlg::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    CheckAll(TRUE);
    SendMessageA(GetLog(), EM_EXLIMITTEXT, 0, kLogLimit);
    // No wrapping: the control would measure a realtime scan's line of some
    // 4000 characters anew for every row it breaks into, several times more
    // slowly than the line delivers scans.
    SendMessageA(GetLog(), EM_SETTARGETDEVICE, 0, 1);
    SensorDialog::OnInitDialog(wParam, lParam);
    RECT client;
    GetClientRect(GetHwnd(), &client);
    LayoutLog(client.right, client.bottom);
    return 0;
}

LRESULT ComMonitorDlg::OnDestroy(WPARAM wParam, LPARAM lParam) {
    if (GetDevicePort() != NULL) GetDevicePort()->SetMonitor(0);
    m_queue.clear();
    m_queuedChars = 0;
    m_flushPosted = false;  // a flush still in the queue finds no window
    return SensorDialog::OnDestroy(wParam, lParam);
}

LRESULT ComMonitorDlg::OnSize(WPARAM wParam, LPARAM lParam) {
    SensorDialog::OnSize(wParam, lParam);
    if (wParam != SIZE_MINIMIZED) LayoutLog(LOWORD(lParam), HIWORD(lParam));
    return 0;
}

void ComMonitorDlg::LayoutLog(int width, int height) {
    HWND log = GetLog();
    if (log == NULL) return;
    RECT rect;
    GetWindowRect(log, &rect);
    MapWindowPoints(NULL, GetHwnd(), reinterpret_cast<POINT*>(&rect), 2);
    const int logWidth = width - kLogMargin - rect.left;
    const int logHeight = height - kLogMargin - rect.top;
    SetWindowPos(log, NULL, 0, 0, logWidth > 0 ? logWidth : 0, logHeight > 0 ? logHeight : 0,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND ComMonitorDlg::GetLog() {
    return GetHwnd() != NULL ? GetDlgItem(GetHwnd(), IDC_MONITOR_LOG) : NULL;
}

void ComMonitorDlg::CheckAll(BOOL state) {
    for (int id = IDC_MONITOR_FILTER_FIRST; id <= IDC_MONITOR_UNDEFINED; ++id) {
        HWND box = GetDlgItem(GetHwnd(), id);
        if (box != NULL && IsWindowEnabled(box)) {
            SendMessageA(box, BM_SETCHECK, state ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}

LRESULT ComMonitorDlg::OnCheckAll(WORD, WORD, LPARAM) {
    CheckAll(TRUE);
    return 0;
}

LRESULT ComMonitorDlg::OnClearAll(WORD, WORD, LPARAM) {
    CheckAll(FALSE);
    return 0;
}

LRESULT ComMonitorDlg::OnErase(WORD, WORD, LPARAM) {
    HWND log = GetLog();
    CHARRANGE all = {0, -1};
    SendMessageA(log, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    SendMessageA(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
    return 0;
}

LRESULT ComMonitorDlg::OnMonitor(WORD, WORD, LPARAM) {
    if (GetDevicePort() != NULL) GetDevicePort()->SetMonitor(IsChecked(GetHwnd(), IDC_MONITOR_MONITOR) ? 1 : 0);
    return 0;
}

MonitorDecoder::Filter ComMonitorDlg::ReadFilter() {
    MonitorDecoder::Filter filter;
    HWND dialog = GetHwnd();
    for (int k = 0; k < MonitorDecoder::kCommands; ++k) {
        for (int sub = 0; sub < MonitorDecoder::kSubCommands; ++sub) {
            filter.boxes[k][sub] = IsChecked(dialog, FilterBoxId(k, sub));
        }
    }
    filter.transmit = IsChecked(dialog, IDC_MONITOR_TRANSMIT);
    filter.receive = IsChecked(dialog, IDC_MONITOR_RECEIVE);
    filter.undefined = IsChecked(dialog, IDC_MONITOR_UNDEFINED);
    return filter;
}

int ComMonitorDlg::LogFrame(DWORD direction, std::unique_ptr<std::string> owned) {
    if (owned == NULL) return 1;
    ++m_frameCount;
    SensorCaps* caps = GetSensorCaps();
    if (GetHwnd() != NULL && caps != NULL) {
        m_decoder.SetFilter(ReadFilter());
        m_decoder.SetModel(caps->GetModel());
        m_decoder.SetStepCount(caps->HasCapability(SensorCaps::kCapStepCount));
        std::string line;
        COLORREF colour = 0;
        const BYTE* bytes = reinterpret_cast<const BYTE*>(owned->data());
        if (m_decoder.ComposeLine(static_cast<int>(direction), bytes, owned->size(), &line, &colour)) {
            Queue(line, colour);
        }
    }
    m_lastFrame.swap(*owned);
    return 1;
}

void ComMonitorDlg::Queue(const std::string& text, COLORREF colour) {
    m_queue.push_back(Line{text, colour});
    m_queuedChars += text.size();
    // Lines beyond what the log keeps would be trimmed at once: drop them
    // here, so a user-interface thread that falls behind catches up.
    size_t drop = 0;
    while (m_queuedChars > kKeptChars && drop + 1 < m_queue.size()) {
        m_queuedChars -= m_queue[drop].text.size();
        ++drop;
    }
    m_queue.erase(m_queue.begin(), m_queue.begin() + drop);
    if (!m_flushPosted) m_flushPosted = PostMessageA(GetHwnd(), WM_MONITOR_FLUSH, 0, 0) != FALSE;
}

LRESULT ComMonitorDlg::OnFlush(WPARAM, LPARAM) {
    m_flushPosted = false;
    HWND log = GetLog();
    if (log == NULL || m_queue.empty()) return 0;
    // Rich edit 1.0 repaints after every insertion unless told not to.
    SendMessageA(log, WM_SETREDRAW, FALSE, 0);
    // Neighbouring lines of one colour go in as one insertion.
    std::string run;
    COLORREF colour = m_queue.front().colour;
    for (const Line& line : m_queue) {
        if (line.colour != colour) {
            Insert(run, colour);
            run.clear();
            colour = line.colour;
        }
        run += line.text;
    }
    Insert(run, colour);
    m_queue.clear();
    m_queuedChars = 0;
    TrimLog();
    SelectEnd();
    SendMessageA(log, WM_SETREDRAW, TRUE, 0);
    // The frame too: scroll bars shown or hidden while drawing was off
    // would keep whatever text lay under them.
    RedrawWindow(log, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    SendMessageA(log, EM_SCROLLCARET, 0, 0);
    return 0;
}

void ComMonitorDlg::SelectEnd() {
    HWND log = GetLog();
    const LONG end = GetWindowTextLengthA(log);
    CHARRANGE atEnd = {end, end};
    SendMessageA(log, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&atEnd));
}

void ComMonitorDlg::Insert(const std::string& text, COLORREF colour) {
    HWND log = GetLog();
    SelectEnd();
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR;
    format.crTextColor = colour;
    SendMessageA(log, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    SendMessageA(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void ComMonitorDlg::TrimLog() {
    HWND log = GetLog();
    const LONG length = GetWindowTextLengthA(log);
    if (length <= static_cast<LONG>(kTrimAboveChars)) return;
    // Cut at the start of the line that holds the first character kept (the
    // log does not wrap, so its rows are its lines).
    const LONG firstKept = length - static_cast<LONG>(kKeptChars);
    const LRESULT line = SendMessageA(log, EM_EXLINEFROMCHAR, 0, firstKept);
    LRESULT cut = SendMessageA(log, EM_LINEINDEX, line, 0);
    if (cut < firstKept) cut = SendMessageA(log, EM_LINEINDEX, line + 1, 0);
    if (cut <= 0) return;
    CHARRANGE oldest = {0, static_cast<LONG>(cut)};
    SendMessageA(log, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&oldest));
    SendMessageA(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
}
