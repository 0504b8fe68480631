// Runs in a prefix whose spooler cannot be reached (run-without-printer):
// Wine then lists no printer at all.
#include "mainwindow/print/PrintView.h"
#include "tests/framework/TestSettings.h"
#include "tests/mainwindow/print/PrintRig.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Notes any dialog or message box of this thread and closes it, so that a
// box the code should not open fails the test instead of hanging it.
class BoxWatch {
public:
    BoxWatch() : m_timer(SetTimer(NULL, 0, 20, &BoxWatch::OnTimer)) { t_watch = this; }
    ~BoxWatch() {
        KillTimer(NULL, m_timer);
        t_watch = nullptr;
    }
    std::string seen;

private:
    static BOOL CALLBACK Find(HWND hwnd, LPARAM param) {
        char name[16];
        GetClassNameA(hwnd, name, sizeof name);
        if (strcmp(name, "#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
        *reinterpret_cast<HWND*>(param) = hwnd;
        return FALSE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        if (t_watch == nullptr) return;
        HWND box = NULL;
        EnumThreadWindows(GetCurrentThreadId(), &BoxWatch::Find, reinterpret_cast<LPARAM>(&box));
        if (box == NULL) return;
        char caption[256];
        GetWindowTextA(box, caption, sizeof caption);
        t_watch->seen += caption;
        t_watch->seen += ";";
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    }
    static thread_local BoxWatch* t_watch;
    UINT_PTR m_timer;
};

thread_local BoxWatch* BoxWatch::t_watch = nullptr;

}  // namespace

TEST(NoPrinter, EveryPrintOperationFailsAtOnce) {
    PrinterHelper helper;
    DWORD needed = 1, count = 1;
    char buffer[4];
    EXPECT_TRUE(helper.EnumPrinterNames(buffer, sizeof buffer, &needed, &count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(0u, needed);

    TestSettings file;
    PrintRig rig;
    ASSERT_TRUE(rig.Open());
    // The frame's Print command reads this count: none means "No printer is installed.".
    EXPECT_EQ(0, rig.PrinterCount());

    BoxWatch watch;
    RECT margins = {2500, 2500, 2500, 2500};
    EXPECT_FALSE(helper.ShowPageSetup("PDF", &margins, rig.frame.GetHwnd()));
    EXPECT_FALSE(helper.ShowDocumentProperties("PDF", &margins, rig.frame.GetHwnd()));
    EXPECT_EQ(NULL, helper.CreatePrinterDC("PDF"));
    EXPECT_EQ(0, rig.print.PageSetup(rig.frame.GetHwnd()));
    EXPECT_EQ(0, rig.print.DocumentProperties(rig.frame.GetHwnd()));
    EXPECT_EQ(0, rig.print.Print());
    EXPECT_EQ(0, rig.print.SaveAsEnhMetaFile("no-printer.emf"));
    EXPECT_EQ(0, rig.print.PaintPreview(PrintView::kRefreshPage | PrintView::kRefreshZoom));
    EXPECT_EQ(0, rig.print.CalcFitZoom());
    EXPECT_EQ(2500, margins.left);
    // Let the watch look once more before it goes.
    MSG msg;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 200) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(10);
    }
    EXPECT_EQ("", watch.seen) << "no box may open";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("no-printer.emf"));
}
