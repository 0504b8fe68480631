#include "tests/mainwindow/e2e/RealInput.h"

#include "tests/TestFiles.h"
#include "tests/mainwindow/e2e/ProgramDriver.h"
#include "tests/protocol/e2e/SimLog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kShell[] = "Z:\\bin\\sh";
const DWORD kRunMs = 20000;
const int kMoveSteps = 8;

POINT OnScreen(HWND window, POINT client) {
    ClientToScreen(window, &client);
    return client;
}

POINT Centre(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    POINT centre = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    return centre;
}

// The X window Wine shows a top-level window in, as xdotool and xwininfo
// name it; empty while there is none.
std::string XWindowOf(HWND window) {
    const HANDLE id = GetPropA(GetAncestor(window, GA_ROOT), "__wine_x11_whole_window");
    return id != NULL ? std::to_string(reinterpret_cast<ULONG_PTR>(id)) : std::string();
}

// The number after a label in xwininfo's report; -1 when it is missing.
long Field(const std::string& report, const char* label) {
    const size_t at = report.find(label);
    return at == std::string::npos ? -1 : atol(report.c_str() + at + strlen(label));
}

std::string MoveCommand(POINT p) {
    char command[64];
    snprintf(command, sizeof command, " mousemove %ld %ld sleep 0.02", p.x, p.y);
    return command;
}

}  // namespace

bool RealInput::Run(const std::string& arguments, std::string* output) {
    return RunShell("xdotool " + arguments, output);
}

bool RealInput::RunShell(const std::string& unixCommand, std::string* output) {
    // Wine starts a Unix program given by its path, but hands back no handle
    // to wait on: the shell leaves the command's exit status in a file once
    // it is done, and the file is polled.
    static LONG runs = 0;
    char marker[64];
    snprintf(marker, sizeof marker, "/tmp/tiv-xdotool-%lu-%ld", GetCurrentProcessId(), InterlockedIncrement(&runs));
    std::string quoted;
    for (char c : unixCommand) quoted += c == '"' ? std::string("\\\"") : std::string(1, c);
    const std::string printed = std::string(marker) + ".out";
    std::string command = std::string(kShell) + " -c \"" + quoted + " >" + printed + "; echo $? >" + marker +
                          ".new && mv " + marker + ".new " + marker + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // What Wine leaves in the process information for a Unix program is no
    // handle of that process and must not be closed.
    if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) return false;
    const std::string done = WindowsPath(marker);
    const DWORD start = GetTickCount();
    std::string status;
    while ((status = ReadBytes(done)) == "<missing>") {
        if (GetTickCount() - start > kRunMs) return false;
        Sleep(10);
    }
    DeleteFileA(done.c_str());
    if (output != NULL) *output = ReadBytes(WindowsPath(printed));
    DeleteFileA(WindowsPath(printed).c_str());
    return status == "0\n";
}

bool RealInput::Keys(const std::string& keys) {
    return Run("key --delay 30 " + keys);
}

bool RealInput::Type(const std::string& text) {
    return Run("type --delay 30 -- \"" + text + "\"");
}

bool RealInput::HasKeyboard(HWND window) {
    const HWND top = GetAncestor(window, GA_ROOT);
    const std::string id = XWindowOf(window);
    std::string focused;
    return !id.empty() && GetForegroundWindow() == top && Run("getwindowfocus", &focused) &&
           atol(focused.c_str()) == atol(id.c_str());
}

bool RealInput::ShownWhereWineHasIt(HWND window) {
    const HWND root = GetAncestor(window, GA_ROOT);
    const std::string id = XWindowOf(root);
    std::string report;
    if (id.empty() || !RunShell("xwininfo -id " + id, &report) || report.find("IsViewable") == std::string::npos)
        return false;
    const long left = Field(report, "Absolute upper-left X:"), top = Field(report, "Absolute upper-left Y:");
    const RECT shown = {left, top, left + Field(report, "Width:"), top + Field(report, "Height:")};
    RECT outer = {}, inner = {};
    GetWindowRect(root, &outer);
    GetClientRect(root, &inner);
    MapWindowPoints(root, NULL, reinterpret_cast<POINT*>(&inner), 2);
    // Wine leaves the frame of a window the manager frames to the manager:
    // the X window ends where the client area does.
    const bool framed = shown.right == inner.right && shown.bottom == inner.bottom;
    const bool whole = shown.right == outer.right && shown.bottom == outer.bottom;
    return shown.left >= outer.left && shown.top >= outer.top && (framed || whole);
}

bool RealInput::MoveTo(HWND window, POINT client) {
    if (!SimLog::PollFor([&] { return ShownWhereWineHasIt(window); }, kRunMs)) return false;
    POINT from = {};
    GetCursorPos(&from);
    const POINT to = OnScreen(window, client);
    std::string moves;
    for (int i = 1; i <= kMoveSteps; ++i) {
        POINT p = {from.x + (to.x - from.x) * i / kMoveSteps, from.y + (to.y - from.y) * i / kMoveSteps};
        moves += MoveCommand(p);
    }
    return Run(moves.substr(1));
}

bool RealInput::MoveToCentre(HWND window) {
    return MoveTo(window, Centre(window));
}

bool RealInput::Click(HWND window) {
    return Click(window, Centre(window));
}

bool RealInput::Click(HWND window, POINT client) {
    return MoveTo(window, client) && Run("click 1");
}

bool RealInput::Wheel(bool forward) {
    return Run(forward ? "click 4" : "click 5");
}

std::string RealInput::At(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return std::to_string((r.left + r.right) / 2) + " " + std::to_string((r.top + r.bottom) / 2);
}
