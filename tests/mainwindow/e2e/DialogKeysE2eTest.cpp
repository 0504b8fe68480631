// Real keys typed into an edit of a modeless dialog of the running program:
// the keys the edit uses for itself and the dialog's mnemonics stay there,
// every other accelerator reaches the main window. Run on a screen of its
// own (add_on_screen_test), where the input reaches no other program.
#include "tests/mainwindow/e2e/ProgramDriver.h"

#include "resources/DataDialogIds.h"
#include "resources/EngineeringIds.h"
#include "resources/MenuIds.h"
#include "tests/framework/UserInput.h"
#include "tests/protocol/e2e/SimLog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const DWORD kLinkMs = 30000;
const DWORD kAnswerMs = 5000;

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

// Clicked into, as a user does, with all its text selected after. Each
// click lands apart from the last, so that two quick ones make no double
// click.
bool ClickInto(HWND edit) {
    static int clicks = 0;
    RECT rect;
    GetWindowRect(edit, &rect);
    const POINT at = {rect.left + 8 + 16 * (clicks++ % 2), (rect.top + rect.bottom) / 2};
    const bool hadFocus = ProgramFocus(edit) == edit;
    SendMessageA(edit, EM_SETSEL, 0, -1);
    if (!ClickAt(at) || !SimLog::PollFor([&] { return ClickedInto(edit, hadFocus); }, kAnswerMs)) return false;
    SendMessageA(edit, EM_SETSEL, 0, -1);
    return true;
}

bool Checked(HWND dialog, int button) {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, button), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED;
}

bool Shows(HWND dialog, const std::string& text) {
    return SimLog::PollFor([&] { return ProgramDriver::Texts(dialog).find(text) != std::string::npos; }, kAnswerMs);
}

// The program linked to the simulator, with the numerical input open.
class DialogKeysE2e : public ::testing::Test {
protected:
    HWND StartWithNumericalInput(const char* switches = "") {
        const int com = SimLog::ComPort();
        m_program.WriteSetting("Device", "ComPort", std::to_string(com).c_str());
        m_program.WriteSetting("Device", "DeviceType", "0");
        if (!m_driver.Start(switches) || !m_driver.WaitForPane(com, 1, kLinkMs)) return NULL;
        m_driver.Command(ID_AREA_NUMERICAL_INPUT);
        return m_driver.WaitForDialog("Numerical Input");
    }

    ProgramRun m_program;
    ProgramDriver m_driver{m_program};
};

}  // namespace

TEST_F(DialogKeysE2e, AcceleratorsWorkInADialogsEditWhoseEditingKeysStayThere) {
    if (SimLog::ComPort() == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
    HWND input = StartWithNumericalInput();
    ASSERT_NE(input, (HWND)NULL);
    HWND edit = GetDlgItem(input, IDC_NUMERIC_FIRST_X);
    const auto typeInEdit = [&](std::initializer_list<WORD> keys) { return ClickInto(edit) && PressKeys(keys); };
    ASSERT_TRUE(typeInEdit({VK_CONTROL, 'R'}));
    EXPECT_TRUE(m_driver.Answer("Area will be read. OK?", IDCANCEL, kAnswerMs));
    ASSERT_TRUE(typeInEdit({VK_CONTROL, 'W'}));
    EXPECT_TRUE(m_driver.Answer("Area will be written. OK?", IDCANCEL, kAnswerMs));
    ASSERT_TRUE(typeInEdit({VK_NEXT}));
    EXPECT_TRUE(Shows(input, "Area2\n")) << ProgramDriver::Texts(input);

    // Copy is the edit's own: its text on the clipboard, not the frame's area.
    // Watched by its sequence number: opening it to look could make the
    // program's copy fail.
    SetClipboardText("before");
    const DWORD before = GetClipboardSequenceNumber();
    const std::string typed = ProgramDriver::Text(input, IDC_NUMERIC_FIRST_X);
    ASSERT_TRUE(typeInEdit({VK_CONTROL, 'C'}));
    EXPECT_TRUE(SimLog::PollFor([&] { return GetClipboardSequenceNumber() != before; }, kAnswerMs));
    EXPECT_EQ(ClipboardText(), typed);
    EXPECT_EQ(m_driver.Close(), 1u);
}

// Alt and a letter or digit that a control of the focused dialog underlines
// works that control, typed in the dialog's edit, though the main window
// has the same key; Alt and any other key is the main window's.
TEST_F(DialogKeysE2e, MnemonicsOfTheFocusedDialogStayWithIt) {
    if (SimLog::ComPort() == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
    HWND input = StartWithNumericalInput("-inspect");
    ASSERT_NE(input, (HWND)NULL);
    m_driver.Command(ID_INSPECT_WAVE_FORM);
    HWND wave = m_driver.WaitForDialog("Wave Form");
    ASSERT_NE(wave, (HWND)NULL);
    HWND step = GetDlgItem(wave, IDC_WAVE_STEP);
    ASSERT_TRUE(SimLog::PollFor([&] { return IsWindowEnabled(step) != FALSE; }, kLinkMs));

    ASSERT_TRUE(ClickInto(step) && PressKeys({VK_MENU, '2'}));
    EXPECT_TRUE(Shows(input, "Area2\n")) << "Alt+2: the main window's area 2";
    ASSERT_TRUE(ClickInto(step) && PressKeys({VK_MENU, 'B'}));
    EXPECT_TRUE(SimLog::PollFor([&] { return Checked(wave, IDC_WAVE_BOTH); }, kAnswerMs)) << "Alt+B: Both";
    ASSERT_TRUE(ClickInto(step) && PressKeys({VK_MENU, '1'}));
    EXPECT_TRUE(SimLog::PollFor([&] { return Checked(wave, IDC_WAVE_F1); }, kAnswerMs)) << "Alt+1: F1";
    EXPECT_TRUE(Shows(input, "Area2\n")) << "Alt+1 selected an area";
    ASSERT_TRUE(ClickInto(step) && PressKeys({VK_ESCAPE}));
    ASSERT_TRUE(ProgramDriver::WaitGone(wave, kAnswerMs));

    HWND areaChoice = GetDlgItem(input, IDC_NUMERIC_AREA);
    ASSERT_TRUE(ClickInto(GetDlgItem(input, IDC_NUMERIC_FIRST_X)) && PressKeys({VK_MENU, 'A'}));
    EXPECT_TRUE(SimLog::PollFor([&] { return ProgramFocus(areaChoice) == areaChoice; }, kAnswerMs))
        << "Alt+A: the area choice";
    // From a later row Alt+2 goes back to point 2, the one control that underlines 2.
    HWND point2 = GetDlgItem(input, IDC_NUMERIC_FIRST_X + 2);
    ASSERT_TRUE(ClickInto(GetDlgItem(input, IDC_NUMERIC_FIRST_X + 8)) && PressKeys({VK_MENU, '2'}));
    EXPECT_TRUE(SimLog::PollFor([&] { return ProgramFocus(point2) == point2; }, kAnswerMs)) << "Alt+2: point 2";
    EXPECT_EQ(m_driver.Close(), 1u);
}
