#include "framework/ChildWindow.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/PostedObject.h"

namespace {

const char kClassName[] = "ChildWindowTestClass";
const UINT WM_TEST_PING = WM_USER + 7;

void RegisterTestClass() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &ChildWindow::WindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);  // fails harmlessly when already registered
}

LPCSTR PropName() {
    return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(GlobalFindAtomA("CLASSPOINTER")));
}

class Probe : public ChildWindow {
public:
    Probe() {
        AddMessageHandler(WM_TEST_PING, Handler(&Probe::OnPing));
        AddMessageHandler(WM_DESTROY, Handler(&Probe::OnDestroy));
        AddMessageHandler(WM_CHAR, Handler(&Probe::OnChar));
        AddCommandHandler(1234, Command(&Probe::OnCommand1234));
    }
    HWND CreateTest() {
        RegisterTestClass();
        CREATESTRUCTA cs = {};
        cs.lpszClass = kClassName;
        cs.lpszName = "probe";
        cs.style = WS_OVERLAPPEDWINDOW;
        cs.cx = 200;
        cs.cy = 100;
        cs.hInstance = GetModuleHandleA(NULL);
        return Create(&cs);
    }
    void Attach(HWND control) { SetHwnd(control); }
    LRESULT OnPing(WPARAM w, LPARAM l) {
        ++m_pings;
        m_seenHwnd = GetHwnd();
        return static_cast<LRESULT>(w + l);
    }
    LRESULT OnDestroy(WPARAM, LPARAM) {
        m_hwndAtDestroy = GetHwnd();
        return 0;
    }
    LRESULT OnChar(WPARAM, LPARAM) {
        ++m_chars;  // swallowed: the control never sees it
        return 0;
    }
    LRESULT OnCommand1234(WORD id, WORD code, LPARAM ctl) {
        m_commandCode = code;
        return id + ctl;
    }

    int m_pings = 0;
    int m_chars = 0;
    int m_commandCode = -1;
    HWND m_seenHwnd = NULL;
    HWND m_hwndAtDestroy = NULL;
};

// An object that counts how many of its kind live.
struct Counted {
    Counted() { ++live; }
    ~Counted() { --live; }
    static int live;
};
int Counted::live = 0;

}  // namespace

TEST(ChildWindow_Bind, CreateBindsAndDispatchesThroughTheMap) {
    Probe p;
    HWND hwnd = p.CreateTest();
    ASSERT_NE(hwnd, (HWND)NULL);
    EXPECT_EQ(p.GetHwnd(), hwnd);
    EXPECT_EQ(GetPropA(hwnd, PropName()), static_cast<HANDLE>(&p));
    EXPECT_EQ(p.SendMessage(WM_TEST_PING, 40, 2), 42);
    EXPECT_EQ(p.m_seenHwnd, hwnd);
    // A second Create returns the bound window and creates nothing.
    Probe* same = &p;
    EXPECT_EQ(same->CreateTest(), hwnd);

    EXPECT_TRUE(p.Destroy());
    EXPECT_EQ(p.m_hwndAtDestroy, hwnd);  // the object's own handler still sees it
    EXPECT_EQ(p.GetHwnd(), (HWND)NULL);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(ChildWindow_Bind, PostedMessageReachesHandler) {
    Probe p;
    ASSERT_NE(p.CreateTest(), (HWND)NULL);
    ASSERT_TRUE(p.PostMessage(WM_TEST_PING, 1, 0));
    MSG msg;
    while (PeekMessageA(&msg, p.GetHwnd(), 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_EQ(p.m_pings, 1);
    p.Destroy();
}

// Objects posted to a window are not lost with it: those still queued as it
// goes are drained into owners (the quit message stays), and a post after it
// went fails (it used to land in the posting thread's own queue), so that
// the sender keeps its own.
TEST(ChildWindow_Bind, PostedObjectsOutliveNoWindow) {
    struct Receiver : Probe {
        void OnUnbound(HWND hwnd) override {
            drained += PostedObject<Counted>::Drain(hwnd, WM_TEST_PING, PostedObject<Counted>::kInLParam);
        }
        int drained = 0;
    } receiver;
    const auto post = [&receiver](std::unique_ptr<Counted>& object) {
        return PostedObject<Counted>::Post(
            object, [&receiver](ULONG_PTR posted) { return receiver.PostMessage(WM_TEST_PING, 0, posted); });
    };
    ASSERT_NE(receiver.CreateTest(), (HWND)NULL);
    for (int i = 0; i < 2; ++i) {
        std::unique_ptr<Counted> object(new Counted);
        ASSERT_TRUE(post(object));
    }
    PostQuitMessage(5);  // as the frame's end posts it
    receiver.Destroy();
    EXPECT_EQ(receiver.drained, 2);
    EXPECT_EQ(Counted::live, 0);
    MSG quit;  // the drain leaves it to the loop
    EXPECT_TRUE(PeekMessageA(&quit, NULL, 0, 0, PM_REMOVE) && quit.message == WM_QUIT && quit.wParam == 5);

    std::unique_ptr<Counted> late(new Counted);
    EXPECT_FALSE(post(late));
    EXPECT_NE(late, nullptr);
    MSG stray;
    EXPECT_FALSE(PeekMessageA(&stray, NULL, WM_TEST_PING, WM_TEST_PING, PM_REMOVE));
}

TEST(ChildWindow_Bind, WindowWithoutObjectIsNotBound) {
    RegisterTestClass();
    HWND hwnd = CreateWindowExA(0, kClassName, "", WS_OVERLAPPED, 0, 0, 50, 50, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    ASSERT_NE(hwnd, (HWND)NULL);
    EXPECT_EQ(GetPropA(hwnd, PropName()), (HANDLE)NULL);
    EXPECT_EQ(SendMessageA(hwnd, WM_TEST_PING, 1, 2), 0);  // DefWindowProc
    EXPECT_TRUE(DestroyWindow(hwnd));
}

TEST(ChildWindow_Bind, AtomIsKeptAfterEveryWindowIsGone) {
    {
        Probe p;
        ASSERT_NE(p.CreateTest(), (HWND)NULL);
        p.Destroy();
    }
    ATOM atom = GlobalFindAtomA("CLASSPOINTER");
    EXPECT_NE(atom, 0);
    Probe again;
    HWND hwnd = again.CreateTest();
    ASSERT_NE(hwnd, (HWND)NULL);
    EXPECT_EQ(GlobalFindAtomA("CLASSPOINTER"), atom);
    EXPECT_EQ(again.SendMessage(WM_TEST_PING, 3, 4), 7);
    again.Destroy();
}

TEST(ChildWindow_Bind, ObjectDeletedBeforeItsWindowLeavesItUnbound) {
    HWND hwnd;
    {
        Probe p;
        hwnd = p.CreateTest();
        ASSERT_NE(hwnd, (HWND)NULL);
    }
    EXPECT_EQ(GetPropA(hwnd, PropName()), (HANDLE)NULL);
    EXPECT_EQ(SendMessageA(hwnd, WM_TEST_PING, 1, 2), 0);
    DestroyWindow(hwnd);
}

TEST(ChildWindow_Command, CommandMapAndDefault) {
    Probe p;
    ASSERT_NE(p.CreateTest(), (HWND)NULL);
    EXPECT_EQ(p.SendMessage(WM_COMMAND, MAKEWPARAM(1234, 5), 6), 1240);
    EXPECT_EQ(p.m_commandCode, 5);
    EXPECT_EQ(p.SendMessage(WM_COMMAND, MAKEWPARAM(1235, 0), 0), 0);
    p.Destroy();
}

TEST(ChildWindow_Geometry, MoveResizesTheWindow) {
    Probe p;
    ASSERT_NE(p.CreateTest(), (HWND)NULL);
    ASSERT_TRUE(p.Move(10, 20, 300, 150, FALSE));
    RECT r;
    GetWindowRect(p.GetHwnd(), &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 150);
    p.Destroy();
}

TEST(ChildWindow_Subclass, HandledMessagesStopUnhandledReachTheControl) {
    HWND edit = CreateWindowExA(0, "EDIT", "abc", WS_OVERLAPPED, 0, 0, 100, 30, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    ASSERT_NE(edit, (HWND)NULL);
    LONG ownProc = GetWindowLongA(edit, GWL_WNDPROC);
    Probe p;
    p.Attach(edit);
    ASSERT_TRUE(p.Subclass());
    EXPECT_TRUE(p.Subclass());  // a second call must not chain to itself
    EXPECT_EQ(GetWindowLongA(edit, GWL_WNDPROC), reinterpret_cast<LONG>(&ChildWindow::WindowProc));

    SendMessageA(edit, WM_CHAR, 'x', 0);
    EXPECT_EQ(p.m_chars, 1);
    char text[16] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "abc");        // the control never saw the character
    SetWindowTextA(edit, "changed");  // no handler: the control's own procedure
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "changed");
    EXPECT_EQ(p.CallOldProc(edit, WM_GETTEXTLENGTH, 0, 0), 7);

    // WM_DESTROY unbinds and gives the control its own procedure back.
    SendMessageA(edit, WM_DESTROY, 0, 0);
    EXPECT_EQ(p.m_hwndAtDestroy, edit);
    EXPECT_EQ(p.GetHwnd(), (HWND)NULL);
    EXPECT_EQ(GetWindowLongA(edit, GWL_WNDPROC), ownProc);
    EXPECT_EQ(GetPropA(edit, PropName()), (HANDLE)NULL);
    DestroyWindow(edit);
}

TEST(ChildWindow_Subclass, WithoutWindowFails) {
    Probe p;
    EXPECT_FALSE(p.Subclass());
}
