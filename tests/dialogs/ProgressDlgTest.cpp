#include "dialogs/ProgressDlg.h"

#include "dialogs/DialogMessages.h"
#include "framework/ErrorCodes.h"
#include "framework/MessagePump.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

const UINT WM_TEST_MARKER = WM_APP + 1;
const UINT WM_TEST_DESTROYING = WM_APP + 2;
const WORD kMarkerCommand = 0x7777;

class Pump : public MessagePump {
public:
    void PumpMessages() override {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    BOOL Yield() override { return SwitchToThread(); }
};

// The caller's window: counts what the dialog posts and sends to it.
struct OwnerCounts {
    int cancels = 0;
    int markers = 0;
    int destroying = 0;
    int keys = 0;
};
OwnerCounts g_counts;  // test thread only

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PROGRESS_CANCEL) ++g_counts.cancels;
    if (msg == WM_TEST_MARKER) ++g_counts.markers;
    if (msg == WM_TEST_DESTROYING) ++g_counts.destroying;
    if (msg == WM_KEYDOWN) ++g_counts.keys;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND CreateOwner() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ProgressOwnerTest";
    RegisterClassA(&wc);
    g_counts = OwnerCounts();
    return CreateWindowExA(0, "ProgressOwnerTest", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                           NULL, NULL, GetModuleHandleA(NULL), NULL);
}

// Handles this thread's messages until the condition holds or 10 s pass.
bool PumpUntil(const std::function<bool()>& done) {
    DWORD start = GetTickCount();
    Pump pump;
    for (;;) {
        pump.PumpMessages();
        if (done()) return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= 10000) return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10000 - elapsed, QS_ALLINPUT);
    }
}

// A progress dialog that answers a marker command (posted after the input
// under test, so handled after it) and tells the owner when it is destroyed.
class Probe : public ProgressDlg {
public:
    explicit Probe(HWND owner) : m_owner(owner) {
        AddCommandHandler(kMarkerCommand, Command(&Probe::OnMarker));
        AddMessageHandler(WM_DESTROY, Handler(&Probe::OnDestroy));
    }
    // Ended here, while this object's own handlers still exist.
    ~Probe() override { End(); }
    LRESULT OnMarker(WORD, WORD, LPARAM) {
        PostMessageA(m_owner, WM_TEST_MARKER, 0, 0);
        return 0;
    }
    LRESULT OnDestroy(WPARAM, LPARAM) {
        // The dialog thread waits for the caller here, while the caller waits
        // in End for the dialog thread.
        SendMessageA(m_owner, WM_TEST_DESTROYING, 0, 0);
        return 0;
    }
    HWND m_owner;
};

class ProgressDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_owner = CreateOwner();
        ASSERT_NE(m_owner, (HWND)NULL);
        m_dlg = new Probe(m_owner);
        m_dlg->SetApplication(&m_pump);
    }
    void TearDown() override {
        delete m_dlg;
        DestroyWindow(m_owner);
    }
    HWND Start() { return m_dlg->Start(GetModuleHandleA(NULL), m_owner); }
    void Marker(HWND dialog) {
        int before = g_counts.markers;
        PostMessageA(dialog, WM_COMMAND, kMarkerCommand, 0);
        ASSERT_TRUE(PumpUntil([&] { return g_counts.markers > before; }));
    }

    Pump m_pump;
    HWND m_owner = NULL;
    Probe* m_dlg = nullptr;
};

std::string TextOf(HWND hwnd) {
    char text[128] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

}  // namespace

TEST_F(ProgressDlgTest, RefusedWithoutApplication) {
    m_dlg->Reset();
    EXPECT_EQ(Start(), (HWND)NULL);
    EXPECT_EQ(GetLastError(), kErrorMissingCollaborator);
    EXPECT_TRUE(m_dlg->IsDone());
}

TEST_F(ProgressDlgTest, RunsOnItsOwnThreadOwnedByTheCaller) {
    HWND dialog = Start();
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_NE(GetWindowThreadProcessId(dialog, NULL), GetCurrentThreadId());
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), m_owner);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(TextOf(dialog), "Progress");
    EXPECT_FALSE(m_dlg->IsDone());
    EXPECT_EQ(Start(), (HWND)NULL);  // one at a time

    m_dlg->SetCaption("Reading FRAM");
    EXPECT_EQ(TextOf(dialog), "Reading FRAM");
    m_dlg->SetCaption(MAKEINTRESOURCEA(IDS_LANGUAGE_NAME));  // a string id
    EXPECT_EQ(TextOf(dialog), "English");
    m_dlg->SetMessage("Block 3 of 7");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_PROGRESS_MESSAGE)), "Block 3 of 7");

    m_dlg->End();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(m_dlg->IsDone());
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    EXPECT_EQ(g_counts.destroying, 1);
    EXPECT_EQ(g_counts.cancels, 0);
    m_dlg->End();  // nothing left to end

    HWND again = Start();  // the object is reused for the next operation
    EXPECT_NE(again, (HWND)NULL);
    m_dlg->End();
}

// A key pressed while the dialog is being shown stays queued for the
// caller's main loop, which translates the accelerators; dispatched during
// the start it was lost to them.
TEST_F(ProgressDlgTest, InputPostedDuringTheStartWaitsForTheMainLoop) {
    PostMessageA(m_owner, WM_KEYDOWN, VK_NEXT, 1);
    ASSERT_NE(Start(), (HWND)NULL);
    EXPECT_EQ(g_counts.keys, 0);
    EXPECT_TRUE(PumpUntil([] { return g_counts.keys == 1; }));
}

TEST_F(ProgressDlgTest, PositionIsClampedToPercent) {
    HWND dialog = Start();
    ASSERT_NE(dialog, (HWND)NULL);
    struct Case {
        UINT set;
        LRESULT shown;
    } cases[] = {{0, 0}, {50, 50}, {100, 100}, {101, 100}, {256, 100}, {0xFFFFFFFF, 100}, {7, 7}};
    for (const Case& c : cases) {
        m_dlg->SetPos(c.set);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0), c.shown) << c.set;
    }
    m_dlg->End();
    m_dlg->SetPos(30);  // without a dialog: nothing
}

TEST_F(ProgressDlgTest, CancelClosesAndPostsOneCancel) {
    HWND dialog = Start();
    ASSERT_NE(dialog, (HWND)NULL);
    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([] { return g_counts.cancels > 0; }));
    m_dlg->End();  // joins the thread whose modal loop has ended
    EXPECT_TRUE(m_dlg->IsDone());
    EXPECT_FALSE(IsWindow(dialog));
    m_pump.PumpMessages();
    EXPECT_EQ(g_counts.cancels, 1);
    EXPECT_EQ(g_counts.destroying, 1);
}

TEST_F(ProgressDlgTest, EscapeIsIgnoredWhileCancelIsDisabled) {
    HWND dialog = Start();
    ASSERT_NE(dialog, (HWND)NULL);
    m_dlg->EnableCancel(FALSE);
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    Marker(dialog);
    EXPECT_EQ(g_counts.cancels, 0);
    EXPECT_TRUE(IsWindowVisible(dialog));

    m_dlg->EnableCancel(TRUE);
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PumpUntil([] { return g_counts.cancels > 0; }));
    m_dlg->End();
    EXPECT_EQ(g_counts.cancels, 1);
}

TEST_F(ProgressDlgTest, DeletingTheObjectEndsTheDialog) {
    HWND dialog = Start();
    ASSERT_NE(dialog, (HWND)NULL);
    delete m_dlg;
    m_dlg = nullptr;
    EXPECT_FALSE(IsWindow(dialog));
}

namespace {

struct CallerResult {
    HWND dialog = NULL;
    LRESULT pos = -1;
    BOOL windowGone = FALSE;
    DWORD dialogThread = 0;
};

// The whole life of a progress dialog on a caller thread with its own owner.
DWORD WINAPI CallerThread(LPVOID param) {
    CallerResult* r = static_cast<CallerResult*>(param);
    HWND owner = CreateOwner();
    Pump pump;
    ProgressDlg dlg;
    dlg.SetApplication(&pump);
    r->dialog = dlg.Start(GetModuleHandleA(NULL), owner);
    if (r->dialog != NULL) {
        r->dialogThread = GetWindowThreadProcessId(r->dialog, NULL);
        dlg.SetPos(64);
        r->pos = SendDlgItemMessageA(r->dialog, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0);
        dlg.End();
        r->windowGone = !IsWindow(r->dialog);
    }
    DestroyWindow(owner);
    return 0;
}

}  // namespace

TEST(ProgressDlg_Caller, StartedMovedAndEndedFromAnotherThread) {
    CallerResult result;
    HANDLE caller = CreateThread(NULL, 0, CallerThread, &result, 0, NULL);
    ASSERT_NE(caller, (HANDLE)NULL);
    EXPECT_EQ(WaitForSingleObject(caller, 30000), WAIT_OBJECT_0);
    CloseHandle(caller);
    ASSERT_NE(result.dialog, (HWND)NULL);
    EXPECT_NE(result.dialogThread, GetCurrentThreadId());
    EXPECT_EQ(result.pos, 64);
    EXPECT_TRUE(result.windowGone);
}
