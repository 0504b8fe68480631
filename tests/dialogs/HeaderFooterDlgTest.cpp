#include "dialogs/HeaderFooterDlg.h"

#include "framework/CriticalLock.h"
#include "framework/OwnedHandle.h"
#include "mainwindow/PrintView.h"
#include "mainwindow/ScanView.h"
#include "resources/DialogIds.h"
#include "tests/framework/TestSettings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Drives the modal dialogs of this thread from a thread timer, which their
// modal loops dispatch: each step waits for an enabled dialog with its
// caption and acts on it once.
class DialogScript {
public:
    struct Step {
        const char* caption;
        std::function<void(HWND)> action;
    };
    explicit DialogScript(std::vector<Step> steps) : m_steps(steps), m_next(0) {
        t_script = this;
        m_timer = SetTimer(NULL, 0, 20, &DialogScript::OnTimer);
    }
    ~DialogScript() {
        KillTimer(NULL, m_timer);
        t_script = nullptr;
    }
    bool Finished() const { return m_next == m_steps.size(); }

private:
    struct Search {
        const char* caption;
        HWND found;
    };
    static BOOL CALLBACK Find(HWND hwnd, LPARAM param) {
        Search* search = reinterpret_cast<Search*>(param);
        char name[16], caption[128];
        GetClassNameA(hwnd, name, sizeof name);
        GetWindowTextA(hwnd, caption, sizeof caption);
        if (strcmp(name, "#32770") != 0 || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
        if (strcmp(caption, search->caption) != 0) return TRUE;
        search->found = hwnd;
        return FALSE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        DialogScript* self = t_script;
        if (self == nullptr || self->Finished()) return;
        Search search = {self->m_steps[self->m_next].caption, NULL};
        EnumThreadWindows(GetCurrentThreadId(), &DialogScript::Find, reinterpret_cast<LPARAM>(&search));
        if (search.found == NULL) return;
        // The step may open a nested modal loop: count it done first.
        const Step& step = self->m_steps[self->m_next++];
        step.action(search.found);
    }

    static thread_local DialogScript* t_script;
    std::vector<Step> m_steps;
    size_t m_next;
    UINT_PTR m_timer;
};

thread_local DialogScript* DialogScript::t_script = nullptr;

const char kCaption[] = "Header and Footer";

std::string ItemText(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void Press(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// 20 chosen in the font chooser's size box, then OK.
void ConfirmSize20(HWND font) {
    HWND size = GetDlgItem(font, 0x472);
    LRESULT item = SendMessageA(size, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("20"));
    SendMessageA(size, CB_SETCURSEL, item, 0);
    SendMessageA(font, WM_COMMAND, MAKEWPARAM(0x472, CBN_SELCHANGE), reinterpret_cast<LPARAM>(size));
    Press(font, IDOK);
}

// Holds the print view's lock on a thread of its own, as the render thread
// does while it paints the preview; once the font chooser has been confirmed
// and has gone, notes for 300 ms whether the footer's height changes, then
// lets go.
struct PreviewPainter {
    PrintView* print;
    CriticalLock* lock;
    HANDLE held;
    volatile HWND chooser;
    LONG before, whileHeld;

    static DWORD WINAPI Run(LPVOID param) {
        PreviewPainter* self = static_cast<PreviewPainter*>(param);
        CriticalLock::Hold hold(*self->lock);
        SetEvent(self->held);
        auto gone = [self] { return self->chooser != NULL && !IsWindow(self->chooser); };
        auto changed = [self] { return self->print->GetFooterFont()->lfHeight != self->before; };
        const DWORD start = GetTickCount();
        while (!gone() && GetTickCount() - start < 10000) Sleep(10);
        const DWORD gonePoint = GetTickCount();
        while (!changed() && GetTickCount() - gonePoint < 300) Sleep(10);
        self->whileHeld = self->print->GetFooterFont()->lfHeight;
        return 0;
    }
};

class HeaderFooterDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dialog.SetPrintView(&m_print);
        m_print.SetHeaderText("First line\r\nSecond line");
        m_print.SetFooterText("Page footer");
    }
    HWND Run() { return m_dialog.Create(GetModuleHandleA(NULL), NULL); }

    TestSettings m_file;
    PrintView m_print;
    HeaderFooterDlg m_dialog;
};

}  // namespace

TEST_F(HeaderFooterDlgTest, ClosingUnchangedKeepsTheTextsAndAClearedBoxEmptiesItsText) {
    std::string shownHeader, shownFooter;
    {
        DialogScript script({{kCaption, [&](HWND dialog) {
                                  shownHeader = ItemText(dialog, IDC_HEADER_TEXT);
                                  shownFooter = ItemText(dialog, IDC_FOOTER_TEXT);
                                  PostMessageA(dialog, WM_CLOSE, 0, 0);
                              }}});
        ASSERT_NE(static_cast<HWND>(NULL), Run());
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ("First line\r\nSecond line", shownHeader);
    EXPECT_EQ("Page footer", shownFooter);
    EXPECT_STREQ("First line\r\nSecond line", m_print.GetHeaderText());
    EXPECT_STREQ("Page footer", m_print.GetFooterText());

    {
        DialogScript script({{kCaption, [&](HWND dialog) {
                                  SetDlgItemTextA(dialog, IDC_HEADER_TEXT, "");
                                  SetDlgItemTextA(dialog, IDC_FOOTER_TEXT, "New footer");
                                  Press(dialog, IDCANCEL);  // Escape
                              }}});
        ASSERT_NE(static_cast<HWND>(NULL), Run());
    }
    EXPECT_STREQ("", m_print.GetHeaderText());
    EXPECT_STREQ("New footer", m_print.GetFooterText());
    EXPECT_FALSE(m_dialog.IsOpen());
}

TEST_F(HeaderFooterDlgTest, TheFontChooserEditsThePrintViewsFontOnlyWhenConfirmed) {
    const LOGFONTA before = *m_print.GetHeaderFont();
    {
        DialogScript script({{kCaption, [](HWND dialog) { Press(dialog, IDC_HEADER_FONT); }},
                             {"Font", [](HWND font) { Press(font, IDCANCEL); }},
                             {kCaption, [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }}});
        ASSERT_NE(static_cast<HWND>(NULL), Run());
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(0, memcmp(&before, m_print.GetHeaderFont(), sizeof before)) << "cancelled: unchanged";

    {
        DialogScript script({{kCaption, [](HWND dialog) { Press(dialog, IDC_FOOTER_FONT); }},
                             {"Font", [](HWND font) { ConfirmSize20(font); }},
                             {kCaption, [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }}});
        ASSERT_NE(static_cast<HWND>(NULL), Run());
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(0, memcmp(&before, m_print.GetHeaderFont(), sizeof before)) << "the header's font is another";
    // 20 points at 96 pixels per inch: 26.7 pixels.
    EXPECT_EQ(-27, m_print.GetFooterFont()->lfHeight);
}

TEST(HeaderFooterDlg, WithoutAPrintViewItDoesNotOpen) {
    TestSettings file;
    HeaderFooterDlg dialog;
    EXPECT_EQ(static_cast<HWND>(NULL), dialog.Create(GetModuleHandleA(NULL), NULL));
    EXPECT_EQ(0, dialog.ChooseHeaderFooterFont(IDC_HEADER_FONT, BN_CLICKED, 0));
}

// The render thread paints the preview with the fonts under the view's lock:
// a confirmed font is stored only under that lock.
TEST_F(HeaderFooterDlgTest, AConfirmedFontWaitsForThePreviewsLock) {
    ScanView view;
    m_print.SetScanView(&view);
    OwnedHandle held(CreateEventA(NULL, TRUE, FALSE, NULL));
    PreviewPainter painter = {&m_print, &view.ViewLock(), held.Get(), NULL, m_print.GetFooterFont()->lfHeight, 0};
    OwnedHandle thread(CreateThread(NULL, 0, &PreviewPainter::Run, &painter, 0, NULL));
    ASSERT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(held.Get(), 10000));
    {
        DialogScript script({{kCaption, [](HWND dialog) { Press(dialog, IDC_FOOTER_FONT); }},
                             {"Font", [&](HWND font) {
                                  painter.chooser = font;
                                  ConfirmSize20(font);
                              }},
                             {kCaption, [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }}});
        ASSERT_NE(static_cast<HWND>(NULL), Run());
    }
    WaitForSingleObject(thread.Get(), 10000);
    EXPECT_EQ(painter.before, painter.whileHeld) << "stored while the preview held its lock";
    EXPECT_EQ(-27, m_print.GetFooterFont()->lfHeight);
    m_print.SetScanView(NULL);
}
