#include "tests/framework/TestOwnerWindow.h"

namespace {

const char kClassName[] = "TestOwnerWindowClass";

}  // namespace

TestOwnerWindow::TestOwnerWindow() {
    AddMessageHandler(WM_NOTIFY, Handler(&TestOwnerWindow::OnNotifySeen));
}

TestOwnerWindow::~TestOwnerWindow() {
    if (GetHwnd() != NULL) Destroy();
}

HWND TestOwnerWindow::CreateTest(int width, int height) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &ChildWindow::WindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);  // fails harmlessly when already registered
    CREATESTRUCTA cs = {};
    cs.lpszClass = kClassName;
    cs.style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
    cs.cx = width;
    cs.cy = height;
    cs.hInstance = GetModuleHandleA(NULL);
    return Create(&cs);
}

void TestOwnerWindow::ListenFor(WORD id) {
    AddCommandHandler(id, Command(&TestOwnerWindow::OnCommandSeen));
}

LRESULT TestOwnerWindow::OnCommandSeen(WORD id, WORD code, LPARAM control) {
    return Record(WM_COMMAND, MAKEWPARAM(id, code), control);
}

LRESULT TestOwnerWindow::OnNotifySeen(WPARAM wParam, LPARAM lParam) {
    Record(WM_NOTIFY, wParam, lParam);
    if (lParam != 0) seen.back().header = *reinterpret_cast<const NMHDR*>(lParam);
    return 0;
}

LRESULT TestOwnerWindow::Record(UINT msg, WPARAM wParam, LPARAM lParam) {
    seen.push_back(Seen{msg, wParam, lParam, NMHDR{}});
    return 0;
}

std::vector<TestOwnerWindow::Seen> TestOwnerWindow::Of(UINT msg) const {
    std::vector<Seen> result;
    for (const Seen& entry : seen) {
        if (entry.msg == msg) result.push_back(entry);
    }
    return result;
}

void TestOwnerWindow::Pump() {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
