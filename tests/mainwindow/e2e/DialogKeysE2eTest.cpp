// Real keys typed into an edit of a modeless dialog of the running program:
// the keys the edit uses for itself stay there, every other accelerator
// reaches the main window. Run on a screen of its own (add_on_screen_test),
// where the input reaches no other program.
#include "tests/mainwindow/e2e/ProgramDriver.h"

#include "resources/MenuIds.h"
#include "tests/framework/UserInput.h"
#include "tests/protocol/e2e/SimLog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const DWORD kLinkMs = 30000;
const DWORD kAnswerMs = 5000;
const int kPoint1X = 1001;  // the numerical input's first edit

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(NULL)) return text;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* chars = data != NULL ? static_cast<const char*>(GlobalLock(data)) : NULL;
    if (chars != NULL) text = chars;
    if (data != NULL) GlobalUnlock(data);
    CloseClipboard();
    return text;
}

void SetClipboardText(const std::string& text) {
    if (!OpenClipboard(NULL)) return;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (block != NULL) {
        memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
        GlobalUnlock(block);
        if (SetClipboardData(CF_TEXT, block) == NULL) GlobalFree(block);
    }
    CloseClipboard();
}

// The window with the keyboard focus in the program's user-interface thread.
HWND ProgramFocus(HWND edit, HWND* capture = NULL) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(edit, NULL), &info)) return NULL;
    if (capture != NULL) *capture = info.hwndCapture;
    return info.hwndFocus;
}

// Whether a click into the edit has been handled to its release: the edit
// has the focus and no longer holds the mouse (a move while it does would
// change the next selection). An edit that had the focus before shows the
// click by the caret that replaced its selection of all its text.
bool ClickedInto(HWND edit, bool hadFocus) {
    HWND capture = NULL;
    if (ProgramFocus(edit, &capture) != edit || capture != NULL) return false;
    const LRESULT selection = SendMessageA(edit, EM_GETSEL, 0, 0);
    return !hadFocus || LOWORD(selection) == HIWORD(selection);
}

}  // namespace

TEST(DialogKeysE2e, AcceleratorsWorkInADialogsEditWhoseEditingKeysStayThere) {
    const int com = SimLog::ComPort();
    if (com == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
    ProgramRun program;
    ProgramDriver driver(program);
    program.WriteSetting("Device", "ComPort", std::to_string(com).c_str());
    program.WriteSetting("Device", "DeviceType", "0");
    ASSERT_TRUE(driver.Start() && driver.WaitForPane(com, 1, kLinkMs));
    driver.Command(ID_AREA_NUMERICAL_INPUT);
    HWND input = driver.WaitForDialog("Numerical Input");
    ASSERT_NE(input, (HWND)NULL);
    HWND edit = GetDlgItem(input, kPoint1X);

    // Clicked into, as a user does, then the keys. Each click lands apart
    // from the last, so that two quick ones make no double click.
    int clicks = 0;
    const auto typeInEdit = [&](std::initializer_list<WORD> keys) {
        RECT rect;
        GetWindowRect(edit, &rect);
        const POINT at = {rect.left + 8 + 16 * (clicks++ % 2), (rect.top + rect.bottom) / 2};
        const bool hadFocus = ProgramFocus(edit) == edit;
        SendMessageA(edit, EM_SETSEL, 0, -1);
        if (!ClickAt(at) || !SimLog::PollFor([&] { return ClickedInto(edit, hadFocus); }, kAnswerMs)) {
            return false;
        }
        SendMessageA(edit, EM_SETSEL, 0, -1);
        return PressKeys(keys);
    };
    ASSERT_TRUE(typeInEdit({VK_CONTROL, 'R'}));
    EXPECT_TRUE(driver.Answer("Area will be read. OK?", IDCANCEL, kAnswerMs));
    ASSERT_TRUE(typeInEdit({VK_CONTROL, 'W'}));
    EXPECT_TRUE(driver.Answer("Area will be written. OK?", IDCANCEL, kAnswerMs));
    ASSERT_TRUE(typeInEdit({VK_NEXT}));
    EXPECT_TRUE(SimLog::PollFor([&] { return ProgramDriver::Texts(input).find("Area2\n") != std::string::npos; },
                                kAnswerMs))
        << ProgramDriver::Texts(input);

    // Copy is the edit's own: its text on the clipboard, not the frame's area.
    // Watched by its sequence number: opening it to look could make the
    // program's copy fail.
    SetClipboardText("before");
    const DWORD before = GetClipboardSequenceNumber();
    const std::string typed = ProgramDriver::Text(input, kPoint1X);
    ASSERT_TRUE(typeInEdit({VK_CONTROL, 'C'}));
    EXPECT_TRUE(SimLog::PollFor([&] { return GetClipboardSequenceNumber() != before; }, kAnswerMs));
    EXPECT_EQ(ClipboardText(), typed);
    EXPECT_EQ(driver.Close(), 1u);
}
