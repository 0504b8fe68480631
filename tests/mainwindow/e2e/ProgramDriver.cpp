#include "tests/mainwindow/e2e/ProgramDriver.h"

#include <commctrl.h>
#include <dlgs.h>

namespace {

const char kDialogClass[] = "#32770";

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

BOOL CALLBACK AddText(HWND hwnd, LPARAM param) {
    char text[2048] = {};
    // WM_GETTEXT travels between processes; it also reads a list's choice.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        &ignored);
    *reinterpret_cast<std::string*>(param) += std::string(text) + "\n";
    return TRUE;
}

struct DialogSearch {
    DWORD processId;
    const std::string* want;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM param) {
    DialogSearch* search = reinterpret_cast<DialogSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->processId || !IsWindowVisible(hwnd) || ClassOf(hwnd) != kDialogClass) return TRUE;
    if (ProgramDriver::Texts(hwnd).find(*search->want) == std::string::npos) return TRUE;
    search->found = hwnd;
    return FALSE;
}

// Polls done() until it holds or the time is out.
template <class Done>
bool PollFor(Done done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}

LPARAM At(POINT p) {
    return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
}

// The view's mapping the driver gives the program: 20 mm per pixel in both
// directions, the client's top-left at (-5000, 5000) mm.
const int kLeftMm = -5000, kTopMm = 5000, kMmPerPixel = 20;
const char* const kViewSettings[][2] = {
    {"WindowOriginX", "-5000"},   {"WindowOriginY", "5000"},  {"WindowExtentCX", "10240"},
    {"WindowExtentCY", "-7680"},  {"ViewportOriginX", "0"},   {"ViewportOriginY", "0"},
    {"ViewportExtentCX", "512"},  {"ViewportExtentCY", "384"},
};

}  // namespace

bool ProgramDriver::Start(const char* switches) {
    const bool first = m_program.ProcessId() == 0;
    if (first) {
        for (const auto& setting : kViewSettings) m_program.WriteSetting("View", setting[0], setting[1]);
    }
    if (!m_program.Ready() || (first ? m_program.Start(switches) : m_program.Restart(switches)) == NULL) {
        return false;
    }
    m_window = m_program.WaitForWindow();
    return m_window != NULL;
}

void ProgramDriver::Command(WORD id) const {
    PostMessageA(m_window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void ProgramDriver::Key(UINT virtualKey) const {
    const UINT scan = MapVirtualKeyA(virtualKey, 0);
    PostMessageA(m_window, WM_KEYDOWN, virtualKey, 1 | scan << 16);
    PostMessageA(m_window, WM_KEYUP, virtualKey, 1 | scan << 16 | 0xC0000000u);
}

HWND ProgramDriver::WaitForDialog(const std::string& text, DWORD timeoutMs) const {
    DialogSearch search = {m_program.ProcessId(), &text, NULL};
    PollFor([&] { return !EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&search)); }, timeoutMs);
    return search.found;
}

bool ProgramDriver::Answer(const std::string& text, int button, DWORD timeoutMs) const {
    HWND dialog = WaitForDialog(text, timeoutMs);
    if (dialog == NULL) return false;
    Press(dialog, button);
    return WaitGone(dialog);
}

bool ProgramDriver::ChooseFile(const std::string& filter, const std::string& path) const {
    HWND dialog = WaitForDialog(filter);
    if (dialog == NULL) return false;
    // The name box is a combo box with an edit in newer layouts, an edit in older ones.
    SetText(dialog, cmb13, path);
    SetText(dialog, edt1, path);
    Press(dialog, IDOK);
    return WaitGone(dialog);
}

void ProgramDriver::Press(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

void ProgramDriver::SetText(HWND dialog, int control, const std::string& text) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 5000, &ignored);
}

bool ProgramDriver::Type(HWND dialog, int control, const std::string& text, const std::string& shown) {
    HWND edit = GetDlgItem(dialog, control);
    SetText(dialog, control, text);
    SendMessageTimeoutA(edit, EM_SETMODIFY, TRUE, 0, SMTO_ABORTIFHUNG, 5000, NULL);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(control, EN_KILLFOCUS), reinterpret_cast<LPARAM>(edit));
    return PollFor([&] { return Text(dialog, control) == shown; }, kTimeoutMs);
}

std::string ProgramDriver::Text(HWND dialog, int control) {
    std::string text;
    AddText(GetDlgItem(dialog, control), reinterpret_cast<LPARAM>(&text));
    return text.substr(0, text.size() - 1);
}

std::string ProgramDriver::Texts(HWND dialog) {
    std::string texts;
    AddText(dialog, reinterpret_cast<LPARAM>(&texts));
    EnumChildWindows(dialog, &AddText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool ProgramDriver::WaitGone(HWND window, DWORD timeoutMs) {
    return PollFor([&] { return !IsWindow(window); }, timeoutMs);
}

namespace {

// The port pane's owner-drawn data: the port in the low word, the link level
// in bits 16..23, the device type in bits 24..31. An owner-drawn part answers
// with it; no buffer is written.
DWORD PaneData(HWND main) {
    HWND bar = FindWindowExA(main, NULL, STATUSCLASSNAMEA, NULL);
    const int kPortPart = 3;
    DWORD_PTR data = 0;
    if (bar == NULL || !SendMessageTimeoutA(bar, SB_GETTEXTA, kPortPart, 0, SMTO_ABORTIFHUNG, 5000, &data)) {
        return 0xFFFFFFFF;
    }
    return static_cast<DWORD>(data);
}

}  // namespace

int ProgramDriver::PanePort() const {
    return static_cast<int>(PaneData(m_window) & 0xFFFF);
}

int ProgramDriver::PaneLevel() const {
    return static_cast<int>(PaneData(m_window) >> 16 & 0xFF);
}

int ProgramDriver::PaneDeviceType() const {
    return static_cast<int>(PaneData(m_window) >> 24 & 0xFF);
}

bool ProgramDriver::WaitForPane(int port, int level, DWORD timeoutMs) const {
    return PollFor([&] { return PanePort() == port && PaneLevel() == level; }, timeoutMs);
}

POINT ProgramDriver::ViewPixel(int x, int y) {
    POINT p = {(x - kLeftMm) / kMmPerPixel, (kTopMm - y) / kMmPerPixel};
    return p;
}

HWND ProgramDriver::View() const {
    return FindWindowExA(m_window, NULL, "ZORViewWClass", NULL);
}

void ProgramDriver::Drag(int fromX, int fromY, int toX, int toY, WPARAM keys) const {
    HWND view = View();
    const POINT from = ViewPixel(fromX, fromY);
    const POINT to = ViewPixel(toX, toY);
    DWORD_PTR ignored = 0;
    // Sent, so each step is handled before the next; hover first finds the handle.
    auto send = [&](UINT message, WPARAM wParam, POINT p) {
        SendMessageTimeoutA(view, message, wParam, At(p), SMTO_ABORTIFHUNG, 5000, &ignored);
    };
    send(WM_MOUSEMOVE, keys, from);
    send(WM_LBUTTONDOWN, keys | MK_LBUTTON, from);
    for (int i = 1; i <= 8; ++i) {
        POINT p = {from.x + (to.x - from.x) * i / 8, from.y + (to.y - from.y) * i / 8};
        send(WM_MOUSEMOVE, keys | MK_LBUTTON, p);
    }
    send(WM_LBUTTONUP, keys, to);
}

DWORD ProgramDriver::Close() const {
    PostMessageA(m_window, WM_CLOSE, 0, 0);
    // Each unsaved-data question that shows is declined.
    const DWORD start = GetTickCount();
    while (m_program.WaitForExit(NULL, 0) == STILL_ACTIVE && GetTickCount() - start < kTimeoutMs) {
        HWND question = WaitForDialog("Do you save it?", 200);
        if (question != NULL) {
            Press(question, IDNO);
            WaitGone(question);
        }
    }
    return m_program.WaitForExit();
}

std::string WindowsPath(const std::string& linuxPath) {
    std::string path = "Z:" + linuxPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}
