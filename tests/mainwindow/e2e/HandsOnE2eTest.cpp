// The program in a user's hands: real keys and mouse (RealInput) on a screen
// of the test's own under a window manager, where focus and activation
// behave as on a desktop. Each case runs through add_on_screen_test; the
// cases that need a sensor run beside the simulator.
#include "tests/mainwindow/e2e/ProgramDriver.h"
#include "tests/mainwindow/e2e/RealInput.h"

#include "resources/DataDialogIds.h"
#include "resources/MenuIds.h"
#include "tests/TestFiles.h"
#include "tests/protocol/e2e/SimLog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const DWORD kLinkMs = 30000;
const DWORD kTransferMs = 60000;
const DWORD kReactionMs = 5000;
const int kStatusBar = 2002;

struct ItemSearch {
    UINT id;
    HWND found;
};

BOOL CALLBACK FindItem(HWND hwnd, LPARAM param) {
    ItemSearch* search = reinterpret_cast<ItemSearch*>(param);
    if (static_cast<UINT>(GetDlgCtrlID(hwnd)) != search->id) return TRUE;
    search->found = hwnd;
    return FALSE;
}

// A band control of the main window by its id.
HWND BandItem(HWND main, UINT id) {
    ItemSearch search = {id, NULL};
    EnumChildWindows(FindWindowExA(main, NULL, REBARCLASSNAMEA, NULL), &FindItem, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Checked(HWND button) {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED;
}

// The window that has the keyboard focus in the main window's thread.
HWND FocusOf(HWND main) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, NULL), &info)) return NULL;
    return info.hwndFocus;
}

std::string Caption(HWND window) {
    char text[MAX_PATH] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

int SettingOf(const std::string& settings, const std::string& key) {
    const size_t at = settings.find("\n" + key + "=");
    return at == std::string::npos ? 0 : atoi(settings.c_str() + at + key.size() + 2);
}

class HandsOn : public ::testing::Test {
protected:
    // Started, shown and holding the focus, as after a user's start; linked
    // to the simulator when the test runs beside it.
    bool Start() {
        if (SimLog::ComPort() != 0) {
            m_program.WriteSetting("Device", "ComPort", std::to_string(SimLog::ComPort()).c_str());
            m_program.WriteSetting("Device", "DeviceType", "0");
        }
        if (!m_driver.Start()) return false;
        if (SimLog::ComPort() != 0 && !m_driver.WaitForPane(SimLog::ComPort(), 1, kLinkMs)) return false;
        // Once the window is laid out (the status bar below the view), a
        // click on the status bar, as a user's first click, and the window
        // manager gives the window the keyboard.
        HWND bar = GetDlgItem(Main(), kStatusBar);
        auto laidOut = [&] {
            RECT view = {}, status = {};
            return GetWindowRect(View(), &view) && GetWindowRect(bar, &status) && view.bottom > view.top &&
                   status.top >= view.bottom;
        };
        return SimLog::PollFor(laidOut, kLinkMs) && RealInput::Click(bar) && KeyboardAt(Main(), kLinkMs);
    }
    // Whether the keyboard reaches the window (its own or that of the window
    // it belongs to) within the time: it may take the window manager and
    // Wine a moment to hand it over.
    static bool KeyboardAt(HWND window, DWORD timeoutMs = kReactionMs) {
        return SimLog::PollFor([&] { return RealInput::HasKeyboard(window); }, timeoutMs);
    }
    HWND Main() const { return m_driver.Window(); }
    HWND View() const { return FindWindowExA(Main(), NULL, "ZORViewWClass", NULL); }
    // The status bar's first pane, the hint.
    std::string Hint() const { return ProgramDriver::Text(Main(), kStatusBar); }
    // The box or dialog holding text, answered by a click on its button.
    bool ClickAway(const std::string& text, int button, DWORD timeoutMs = kReactionMs) {
        HWND dialog = m_driver.WaitForDialog(text, timeoutMs);
        return dialog != NULL && RealInput::Click(GetDlgItem(dialog, button)) && ProgramDriver::WaitGone(dialog);
    }
    // The box holding text, answered by Enter once it has the keyboard.
    bool Enter(const std::string& text, DWORD timeoutMs = kReactionMs) {
        HWND box = m_driver.WaitForDialog(text, timeoutMs);
        return box != NULL && SimLog::PollFor([&] { return FocusOf(box) == GetDlgItem(box, IDOK); }, kReactionMs) &&
               KeyboardAt(box) && RealInput::Keys("Return") && ProgramDriver::WaitGone(box);
    }
    // Whether the keyboard comes back to the main window and a key then
    // flips the check of a band button, as its command does.
    bool KeyFlips(const char* key, UINT button) {
        HWND item = BandItem(Main(), button);
        const bool before = Checked(item);
        return KeyboardAt(Main()) && RealInput::Keys(key) &&
               SimLog::PollFor([&] { return Checked(item) != before; }, kReactionMs);
    }

    ProgramRun m_program{ProgramRun::kSharedDesktop};
    ProgramDriver m_driver{m_program};
    TestFolder m_folder;
};

}  // namespace

// After Write Area's closing box and after a recording that ends by itself
// the keys work at once. The box closed while the transfer's progress dialog
// still showed: the window manager handed the keyboard back to the dialog,
// which then vanished, and no window had the keyboard.
TEST_F(HandsOn, KeysWorkRightAfterAWriteAndARecording) {
    if (SimLog::ComPort() == 0) GTEST_SKIP() << "needs the sensor simulator";
    ASSERT_TRUE(Start());
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(RealInput::Keys("ctrl+w")) << round;
        ASSERT_TRUE(ClickAway("Area will be written. OK?", IDOK)) << round;
        ASSERT_NE(static_cast<HWND>(NULL), m_driver.WaitForDialog("Area writing completed.", kTransferMs));
        EXPECT_EQ(static_cast<HWND>(NULL), m_driver.WaitForDialog("Writing Area...", 0)) << "progress left open";
        ASSERT_TRUE(Enter("Area writing completed.")) << round;
        EXPECT_TRUE(KeyFlips("F5", ID_VIEW_REALTIME)) << "F5 after writing, round " << round;
    }

    ASSERT_TRUE(RealInput::Keys("ctrl+e"));
    HWND record = m_driver.WaitForDialog("Number to record");
    ASSERT_NE(static_cast<HWND>(NULL), record);
    ProgramDriver::SetText(record, IDC_RECORD_COUNT, "3");
    ASSERT_TRUE(RealInput::Click(GetDlgItem(record, IDOK)));
    ASSERT_TRUE(ProgramDriver::WaitGone(record, kTransferMs));
    // The recording's end shows the recorded scans before F6 may hide them.
    HWND recordLayer = BandItem(Main(), ID_VIEW_RECORD);
    ASSERT_TRUE(SimLog::PollFor([&] { return Checked(recordLayer); }, kReactionMs));
    EXPECT_TRUE(KeyFlips("F6", ID_VIEW_RECORD)) << "F6 after recording";
    EXPECT_EQ(1u, m_driver.Close());
}

// A typed point stays in its row however the area orders its points, and
// entering a field changes nothing. The tour's Area1 holds its points by
// angle; Point 2 at x -3000 turns into the sixth by angle, and Output2 is
// beyond the coordinate range.
TEST_F(HandsOn, TypedPointStaysInItsRowAndFocusAloneChangesNothing) {
    std::string areas = ReadBytes(WindowsPath(TIV_TOUR_AREAS));
    const size_t output2 = areas.find("[Output2]\r\n1100\r\n");
    ASSERT_NE(std::string::npos, output2);
    areas.replace(output2, 15, "[Output2]\r\n12000");
    ASSERT_TRUE(WriteBytes(m_folder.Path("wide.ara"), areas));
    ASSERT_TRUE(Start());
    m_driver.Command(ID_FILE_OPEN_AREA);
    ASSERT_TRUE(m_driver.ChooseFile("Area File (*.ara)", m_folder.Path("wide.ara")));

    ASSERT_TRUE(RealInput::Keys("ctrl+n"));
    HWND input = m_driver.WaitForDialog("Numerical Input");
    ASSERT_NE(static_cast<HWND>(NULL), input);
    const int x2 = IDC_NUMERIC_FIRST_X + 2, y2 = x2 + 1, x3 = x2 + 2, y3 = x2 + 3;
    ASSERT_EQ("951 mm", ProgramDriver::Text(input, x2));
    ASSERT_TRUE(RealInput::Click(GetDlgItem(input, x2)));
    ASSERT_TRUE(RealInput::Keys("End shift+Home"));
    ASSERT_TRUE(RealInput::Type("-3000"));
    ASSERT_TRUE(RealInput::Keys("Tab"));
    ASSERT_TRUE(RealInput::Type("500"));
    ASSERT_TRUE(RealInput::Keys("Tab"));
    EXPECT_TRUE(SimLog::PollFor([&] { return ProgramDriver::Text(input, y2) == "500 mm"; }, kReactionMs));
    EXPECT_EQ("-3000 mm", ProgramDriver::Text(input, x2));
    EXPECT_EQ(461, atoi(ProgramDriver::Text(input, x3).c_str())) << "the next row keeps its point";
    EXPECT_EQ("1221 mm", ProgramDriver::Text(input, y3));

    HWND distance = GetDlgItem(input, IDC_NUMERIC_OUTPUT2);
    ASSERT_EQ("12000 mm", ProgramDriver::Text(input, IDC_NUMERIC_OUTPUT2));
    ASSERT_TRUE(RealInput::Click(distance));
    ASSERT_TRUE(SimLog::PollFor([&] { return FocusOf(Main()) == distance; }, kReactionMs));
    ASSERT_TRUE(RealInput::Click(GetDlgItem(input, x3)));
    ASSERT_TRUE(SimLog::PollFor([&] { return FocusOf(Main()) != distance; }, kReactionMs));
    EXPECT_TRUE(SimLog::PollFor([&] { return ProgramDriver::Text(input, IDC_NUMERIC_OUTPUT2) == "12000 mm"; },
                                kReactionMs))
        << ProgramDriver::Text(input, IDC_NUMERIC_OUTPUT2);
    EXPECT_EQ(1u, m_driver.Close());
}

// The numerical input's band button is checked while the dialog is open,
// however it was opened.
TEST_F(HandsOn, NumericalInputButtonShowsTheDialogOpen) {
    ASSERT_TRUE(Start());
    HWND button = BandItem(Main(), ID_AREA_NUMERICAL_INPUT);
    ASSERT_FALSE(Checked(button));
    ASSERT_TRUE(RealInput::Keys("ctrl+n"));
    HWND input = m_driver.WaitForDialog("Numerical Input");
    ASSERT_NE(static_cast<HWND>(NULL), input);
    EXPECT_TRUE(SimLog::PollFor([&] { return Checked(button); }, kReactionMs));
    ASSERT_TRUE(RealInput::Keys("ctrl+n"));
    ASSERT_TRUE(ProgramDriver::WaitGone(input));
    EXPECT_TRUE(SimLog::PollFor([&] { return !Checked(button); }, kReactionMs));
    EXPECT_EQ(1u, m_driver.Close());
}

// The wheel over the view zooms, after a click into it as before: the
// mapping the program keeps at its close shows fewer millimetres across.
TEST_F(HandsOn, WheelOverTheViewZooms) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(1u, m_driver.Close());
    const int before = SettingOf(m_program.Settings(), "WindowExtentCX");
    ASSERT_NE(0, before);

    ASSERT_TRUE(Start());
    ASSERT_TRUE(RealInput::Click(View()));
    ASSERT_TRUE(RealInput::Wheel(true));
    ASSERT_TRUE(RealInput::Wheel(true));
    EXPECT_EQ(1u, m_driver.Close());
    const int after = SettingOf(m_program.Settings(), "WindowExtentCX");
    EXPECT_GT(after, 0);
    EXPECT_LT(after, before * 9 / 10) << before;
}

// The hint of the band button under the mouse shows while the mouse is over
// it, coming from the view, whose leave is reported late; and goes when the
// mouse leaves it for the menu bar, where nothing shows a hint of its own,
// also after a click on it. The realtime layer's button shows in the small
// window of the first start.
TEST_F(HandsOn, BandHintFollowsTheMouse) {
    ASSERT_TRUE(Start());
    HWND button = BandItem(Main(), ID_VIEW_REALTIME);
    const std::string hint = m_program.ProgramString(ID_VIEW_REALTIME);
    ASSERT_FALSE(hint.empty());
    RECT onButton = {};
    GetWindowRect(button, &onButton);
    MapWindowPoints(NULL, Main(), reinterpret_cast<POINT*>(&onButton), 2);
    const POINT menuBar = {(onButton.left + onButton.right) / 2, -8};
    auto shows = [&] { return Hint() == hint; };
    auto gone = [&] { return Hint() != hint; };

    ASSERT_TRUE(RealInput::MoveToCentre(View()));
    ASSERT_TRUE(RealInput::MoveToCentre(button));
    EXPECT_TRUE(SimLog::PollFor(shows, kReactionMs)) << "from the view: " << Hint();
    for (bool click : {false, true}) {
        if (click) {
            ASSERT_TRUE(RealInput::Click(button));
            ASSERT_TRUE(RealInput::MoveTo(button, POINT{4, 4}));
        }
        ASSERT_TRUE(RealInput::MoveTo(Main(), menuBar));
        EXPECT_TRUE(SimLog::PollFor(gone, kReactionMs)) << (click ? "after a click" : "") << ": " << Hint();
        ASSERT_TRUE(RealInput::MoveToCentre(button));
        EXPECT_TRUE(SimLog::PollFor(shows, kReactionMs)) << Hint();
    }
    EXPECT_EQ(1u, m_driver.Close());
}

// The area file last opened is the document: the caption names it, Save
// writes it without asking; after New, Save asks for a name.
TEST_F(HandsOn, SaveWritesTheOpenedFileUntilNew) {
    const std::string path = m_folder.Path("hall.ara");
    ASSERT_TRUE(WriteBytes(path, ReadBytes(WindowsPath(TIV_TOUR_AREAS))));
    ASSERT_TRUE(Start());
    ASSERT_TRUE(RealInput::Keys("ctrl+o"));
    ASSERT_TRUE(m_driver.ChooseFile("Area File (*.ara)", path));
    EXPECT_TRUE(SimLog::PollFor([&] { return Caption(Main()).find("hall") != std::string::npos; }, kReactionMs))
        << Caption(Main());

    ASSERT_TRUE(DeleteFileA(path.c_str()));
    ASSERT_TRUE(RealInput::Keys("ctrl+s"));
    EXPECT_TRUE(SimLog::PollFor([&] { return ReadBytes(path) != "<missing>"; }, kReactionMs)) << "not saved";
    EXPECT_FALSE(m_driver.Answer("Area File (*.ara)", IDCANCEL, 1000)) << "Save asked for a name";

    m_driver.Command(ID_FILE_NEW_AREA);
    EXPECT_TRUE(SimLog::PollFor([&] { return Caption(Main()) == "Veldra"; }, kReactionMs)) << Caption(Main());
    const std::string saved = ReadBytes(path);
    ASSERT_TRUE(RealInput::Keys("ctrl+s"));
    EXPECT_TRUE(m_driver.Answer("Area File (*.ara)", IDCANCEL)) << "Save after New did not ask";
    EXPECT_EQ(saved, ReadBytes(path));
    EXPECT_EQ(1u, m_driver.Close());
}

// Esc closes the Play Back dialog after Pause and after Stop: the focus
// leaves the button that has just been disabled.
TEST_F(HandsOn, EscClosesPlayBackAfterPauseOrStop) {
    std::string scans = "[ZOR Measuring Data File]\r\n[Model]\r\n0000\r\n\r\n[Function]\r\n0000\r\n\r\n"
                        "[Version]\r\n1.2.3\r\n\r\n[Measuring Data]\n";
    for (int i = 0; i < 20; ++i) scans += SimLog::SceneLine() + "\r\n";
    ASSERT_TRUE(WriteBytes(m_folder.Path("scans.csv"), scans));
    ASSERT_TRUE(Start());
    m_driver.Command(ID_FILE_OPEN_MEASUREMENT);
    ASSERT_TRUE(m_driver.ChooseFile("Measurement File (*.csv)", m_folder.Path("scans.csv")));
    m_driver.Answer("Would you like to show record data?", IDYES, kReactionMs);

    for (int button : {IDC_PLAY_BACK_PAUSE, IDC_PLAY_BACK_STOP}) {
        m_driver.Command(ID_VIEW_PLAY_BACK);
        HWND playBack = m_driver.WaitForDialog("Play Back");
        ASSERT_NE(static_cast<HWND>(NULL), playBack);
        ASSERT_TRUE(RealInput::Click(GetDlgItem(playBack, IDC_PLAY_BACK_PLAY)));
        ASSERT_TRUE(SimLog::PollFor([&] { return IsWindowEnabled(GetDlgItem(playBack, button)); }, kReactionMs));
        ASSERT_TRUE(RealInput::Click(GetDlgItem(playBack, button)));
        ASSERT_TRUE(SimLog::PollFor([&] { return !IsWindowEnabled(GetDlgItem(playBack, IDC_PLAY_BACK_PAUSE)); },
                                    kReactionMs));
        ASSERT_TRUE(RealInput::Keys("Escape"));
        EXPECT_TRUE(ProgramDriver::WaitGone(playBack, kReactionMs)) << button;
        if (IsWindow(playBack)) m_driver.Answer("Play Back", IDCANCEL);
    }
    EXPECT_EQ(1u, m_driver.Close());
}
