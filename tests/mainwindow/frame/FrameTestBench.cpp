#include "tests/mainwindow/frame/FrameTestBench.h"

#include "framework/IniFile.h"

#include <cstring>

BOOL NotedFrame::RegisterWindowClass(HINSTANCE instance) {
    return RegisterFrameClassWithoutMutex(instance);
}

BOOL RegisterFrameClassWithoutMutex(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = &ChildWindow::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = MainFrame::kWindowClass;
    return RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int NotedFrame::ShowBox(const std::string& text, UINT type) {
    boxes.push_back(((type & MB_ICONMASK) == MB_ICONERROR ? "E " : "I ") + text);
    boxTypes.push_back(type);
    if (releaseDuringBox) ReleaseObjects();
    return answer;
}

PlaceAside::PlaceAside() {
    IniFile settings;
    settings.WriteInt("Window", "WindowLeft", 900);
    settings.WriteInt("Window", "WindowTop", 700);
    settings.WriteInt("Window", "WindowRight", 1412);
    settings.WriteInt("Window", "WindowBottom", 1084);
}

namespace {

// Far from where the program under test shows its window.
const int kAsideX = 900;
const int kAsideY = 700;

LRESULT CALLBACK RefuseActivation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) return 1;
    if (code == HCBT_CREATEWND) {
        CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        if ((cs->style & WS_CHILD) == 0) {
            cs->x = kAsideX;
            cs->y = kAsideY;
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

struct Owned {
    HWND owner;
    std::vector<HWND> dialogs;
};

BOOL CALLBACK NoteOwned(HWND hwnd, LPARAM param) {
    Owned* owned = reinterpret_cast<Owned*>(param);
    char name[16];
    GetClassNameA(hwnd, name, sizeof name);
    if (strcmp(name, "#32770") == 0 && IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == owned->owner)
        owned->dialogs.push_back(hwnd);
    return TRUE;
}

}  // namespace

NoActivation::NoActivation() : hook(SetWindowsHookExA(WH_CBT, &RefuseActivation, NULL, GetCurrentThreadId())) {}

NoActivation::~NoActivation() {
    if (hook != NULL) UnhookWindowsHookEx(hook);
}

void DestroyFrame(MainFrame* frame) {
    if (frame->GetHwnd() != NULL) DestroyWindow(frame->GetHwnd());
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    }
}

std::vector<HWND> OwnedDialogs(HWND owner) {
    Owned owned = {owner, {}};
    if (owner != NULL) EnumThreadWindows(GetCurrentThreadId(), &NoteOwned, reinterpret_cast<LPARAM>(&owned));
    return owned.dialogs;
}
