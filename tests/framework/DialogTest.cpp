#include "framework/Dialog.h"

#include "framework/IniFile.h"
#include "tests/framework/ModalCloser.h"
#include "tests/framework/TestResourceIds.h"
#include "tests/framework/TestDialog.h"
#include "tests/framework/TestSettings.h"

#include <gtest/gtest.h>

namespace {

RECT WindowRect(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return r;
}

// Where and how large a template opens without any placement.
RECT TemplateRect(WORD templ) {
    TestDialog reference("NoSuchSection", templ);
    HWND hwnd = reference.Create(NULL, NULL);
    RECT r = WindowRect(hwnd);
    reference.Destroy();
    return r;
}

// Writes the set values of a placement section.
void WriteRect(const char* section, int left, int top, int right, int bottom) {
    IniFile settings;
    const char* keys[4] = {"Left", "Top", "Right", "Bottom"};
    int values[4] = {left, top, right, bottom};
    for (int i = 0; i < 4; ++i) {
        if (values[i] != Dialog::kUnset) settings.WriteInt(section, keys[i], values[i]);
    }
}

void ExpectAtWithSizeOf(HWND hwnd, int left, int top, const RECT& templ) {
    RECT r = WindowRect(hwnd);
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right - r.left, templ.right - templ.left);
    EXPECT_EQ(r.bottom - r.top, templ.bottom - templ.top);
}

int Key(const char* section, const char* key) {
    return IniFile().GetInt(section, key, Dialog::kUnset);
}

}  // namespace

TEST(Dialog_Placement, WithoutSectionOpensAtTemplatePlaceThenWhereMoved) {
    TestSettings file;
    RECT templ = TemplateRect(IDD_TEST_EXTENDED);
    {
        TestDialog dlg("PlacedDlg", IDD_TEST_EXTENDED);
        HWND hwnd = dlg.Create(NULL, NULL);
        ASSERT_NE(hwnd, (HWND)NULL);
        RECT opened = WindowRect(hwnd);
        EXPECT_TRUE(EqualRect(&templ, &opened) != 0);
        SetWindowPos(hwnd, NULL, 321, 123, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        EXPECT_TRUE(dlg.Destroy());
        EXPECT_FALSE(dlg.Destroy());
    }
    // Not resizable: only the position is kept.
    EXPECT_EQ(Key("PlacedDlg", "Left"), 321);
    EXPECT_EQ(Key("PlacedDlg", "Top"), 123);
    EXPECT_EQ(Key("PlacedDlg", "Right"), Dialog::kUnset);
    EXPECT_EQ(Key("PlacedDlg", "Bottom"), Dialog::kUnset);

    TestDialog again("PlacedDlg", IDD_TEST_EXTENDED);
    ExpectAtWithSizeOf(again.Create(NULL, NULL), 321, 123, templ);
}

TEST(Dialog_Placement, ResizableKeepsItsSize) {
    TestSettings file;
    WriteRect("SizedDlg", 50, 60, 450, 360);
    {
        TestDialog dlg("SizedDlg", IDD_TEST_RESIZABLE);
        RECT r = WindowRect(dlg.Create(NULL, NULL));
        EXPECT_EQ(r.left, 50);
        EXPECT_EQ(r.top, 60);
        EXPECT_EQ(r.right, 450);
        EXPECT_EQ(r.bottom, 360);
        SetWindowPos(dlg.GetHwnd(), NULL, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    }
    EXPECT_EQ(Key("SizedDlg", "Right"), 550);
    EXPECT_EQ(Key("SizedDlg", "Bottom"), 360);
}

TEST(Dialog_Placement, OnlyLeftAndTopMoveWithTemplateSize) {
    TestSettings file;
    RECT templ = TemplateRect(IDD_TEST_RESIZABLE);
    WriteRect("HalfDlg", 200, 210, Dialog::kUnset, Dialog::kUnset);
    TestDialog dlg("HalfDlg", IDD_TEST_RESIZABLE);
    ExpectAtWithSizeOf(dlg.Create(NULL, NULL), 200, 210, templ);
}

TEST(Dialog_Placement, RectangleOffEveryScreenOrWithoutPlaceIsNotUsed) {
    TestSettings file;
    RECT templ = TemplateRect(IDD_TEST_RESIZABLE);
    struct Case {
        int left, top, right, bottom;
    } cases[] = {
        {20000, 20000, Dialog::kUnset, Dialog::kUnset},
        {-9000, 100, -8800, 300},
        // A size without a place: right - left means nothing.
        {Dialog::kUnset, Dialog::kUnset, 450, 360},
        {Dialog::kUnset, 100, 450, 360},
    };
    for (const Case& c : cases) {
        WritePrivateProfileStringA("FarDlg", NULL, NULL, file.Path().c_str());
        WriteRect("FarDlg", c.left, c.top, c.right, c.bottom);
        TestDialog dlg("FarDlg", IDD_TEST_RESIZABLE);
        RECT r = WindowRect(dlg.Create(NULL, NULL));
        EXPECT_TRUE(EqualRect(&r, &templ) != 0)
            << c.left << "," << c.top << " gave " << r.left << "," << r.top;
    }
}

TEST(Dialog_Placement, SharedSectionIsWrittenOnlyByTheDialogThatWasOpen) {
    TestSettings file;
    WriteRect("FunctionDlg", 100, 100, Dialog::kUnset, Dialog::kUnset);
    TestDialog* writing = new TestDialog("FunctionDlg", IDD_TEST_EXTENDED);
    TestDialog* setting = new TestDialog("FunctionDlg", IDD_TEST_PLAIN_FONT);
    HWND hwnd = writing->Create(NULL, NULL);
    SetWindowPos(hwnd, NULL, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    delete writing;
    delete setting;  // never opened: leaves the section alone
    EXPECT_EQ(Key("FunctionDlg", "Left"), 300);
    EXPECT_EQ(Key("FunctionDlg", "Top"), 200);
}

TEST(Dialog_Placement, NeverOpenedDialogWritesNothing) {
    TestSettings file;
    { TestDialog dlg("QuietDlg", IDD_TEST_EXTENDED); }
    EXPECT_EQ(file.Contents(), "");
}

TEST(Dialog_Open, CreateWhileOpenAndCancel) {
    TestSettings file;
    TestDialog dlg("OpenDlg", IDD_TEST_EXTENDED);
    EXPECT_FALSE(dlg.IsOpen());
    HWND hwnd = dlg.Create(NULL, NULL);
    ASSERT_NE(hwnd, (HWND)NULL);
    EXPECT_EQ(dlg.Create(NULL, NULL), hwnd);
    EXPECT_TRUE(dlg.IsOpen());
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);  // Escape or the close box
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(dlg.IsOpen());
    EXPECT_NE(dlg.Create(NULL, NULL), (HWND)NULL);  // opens again
}

TEST(Dialog_Open, ModalEndsOnCancelAndRecordsItsPlace) {
    TestSettings file;
    {
        TestDialog dlg("ModalDlg", IDD_TEST_PLAIN_FONT);
        ModalCloser closer(IDCANCEL);
        EXPECT_EQ(dlg.DoModal(MAKEINTRESOURCEA(IDD_TEST_PLAIN_FONT), NULL), 0);
        EXPECT_EQ(closer.caption, "Built-in plain font");
        EXPECT_FALSE(dlg.IsOpen());
    }
    EXPECT_NE(Key("ModalDlg", "Left"), Dialog::kUnset);
    EXPECT_EQ(Key("ModalDlg", "Right"), Dialog::kUnset);
}

TEST(Dialog_Open, BaseNameAndDamagedModal) {
    Dialog unnamed(nullptr);
    EXPECT_STREQ(unnamed.GetName(), "Dialog");
    Dialog longName("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    EXPECT_STREQ(longName.GetName(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");
    EXPECT_EQ(unnamed.DoModal(MAKEINTRESOURCEA(0x7FF5), NULL), -1);
}

namespace {

// Counts the messages that reach a window while it is still bound to its
// object, from the moment a derived destructor has run.
HWND g_watched = NULL;
int g_boundLateMessages = 0;

LRESULT CALLBACK WatchBinding(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    LPCSTR property = reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(GlobalFindAtomA("CLASSPOINTER")));
    if (code == HC_ACTION && g_watched != NULL && sent->hwnd == g_watched &&
        GetPropA(sent->hwnd, property) != NULL) {
        ++g_boundLateMessages;
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

class TrackingDialog : public TestDialog {
public:
    TrackingDialog() : TestDialog("TrackingDlg", IDD_TEST_EXTENDED) {}
    ~TrackingDialog() override { g_watched = GetHwnd(); }
};

}  // namespace

TEST(Dialog_Open, DeletingAnOpenDialogSendsNothingToItsPartsAlreadyGone) {
    TestSettings file;
    TrackingDialog* dlg = new TrackingDialog;
    HWND hwnd = dlg->Create(NULL, NULL);
    ASSERT_NE(hwnd, (HWND)NULL);
    ShowWindow(hwnd, SW_SHOW);
    SetWindowPos(hwnd, NULL, 77, 66, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchBinding, NULL, GetCurrentThreadId());
    ASSERT_NE(hook, (HHOOK)NULL);
    g_boundLateMessages = 0;
    delete dlg;
    UnhookWindowsHookEx(hook);
    g_watched = NULL;
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(g_boundLateMessages, 0);
    EXPECT_EQ(Key("TrackingDlg", "Left"), 77);  // the place is still written
    EXPECT_EQ(Key("TrackingDlg", "Right"), Dialog::kUnset);
}
