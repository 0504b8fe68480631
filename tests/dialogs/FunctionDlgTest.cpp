#include "dialogs/FunctionDlg.h"

#include "resources/resource.h"
#include "tests/TestFiles.h"
#include "tests/dialogs/FunctionDialogFixture.h"
#include "tests/framework/ModalCloser.h"
#include "tests/framework/ModalScript.h"

#include <gtest/gtest.h>

namespace {

class FunctionDlgTest : public FunctionDialogFixture<FunctionDlg> {
protected:
    void Connect(const char* version, WORD function) {
        Recognise(&m_sensor, version);
        m_sensor.SetFunction(function);
    }
    // The word the dialog sends with "Write".
    WORD Written() { return SentBy(IDC_FUNCTION_WRITE, &m_port.functions); }
    // Presses a file button, answering the dialogs that come with the
    // steps; the button's result.
    LRESULT ChooseFile(int button, const std::vector<ModalScript::Step>& steps) {
        ModalScript script(steps);
        LRESULT result = button == IDC_FUNCTION_OPEN ? m_dlg.OpenFunctionFile(IDC_FUNCTION_OPEN, BN_CLICKED, 0)
                                                     : m_dlg.SaveFunctionFile(IDC_FUNCTION_SAVE, BN_CLICKED, 0);
        m_seen = script.seen;
        return result;
    }

    TestFolder m_folder;
    std::vector<ModalScript::Seen> m_seen;
};

}  // namespace

TEST_F(FunctionDlgTest, OpensOnlyWithBothLinksAndOnce) {
    FunctionDlg noPort, noSensor;
    noPort.SetSensorCaps(&m_sensor);
    noSensor.SetDevicePort(&m_port);
    EXPECT_EQ(noPort.Create(GetModuleHandleA(NULL), m_owner), (HWND)NULL);
    EXPECT_EQ(noSensor.Create(GetModuleHandleA(NULL), m_owner), (HWND)NULL);
    Open();
    EXPECT_EQ(m_dlg.Create(GetModuleHandleA(NULL), m_owner), m_dialog);
    m_dlg.Reset();
    EXPECT_EQ(m_dlg.Create(GetModuleHandleA(NULL), m_owner), (HWND)NULL);
}

TEST_F(FunctionDlgTest, OpeningFillsTheListsAndShowsTheSensorsWord) {
    Connect("1.1.0", 0x0213);
    Open();
    EXPECT_EQ(SendDlgItemMessageA(m_dialog, IDC_FUNCTION_INPUT4, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(ItemText(m_dialog, IDC_FUNCTION_INPUT4, 2), "Synchronization");
    EXPECT_EQ(Selected(m_dialog, IDC_FUNCTION_OUTPUT_LOGIC), 1);
    EXPECT_EQ(Selected(m_dialog, IDC_FUNCTION_OUTPUT3), 1);
    EXPECT_EQ(Selected(m_dialog, IDC_FUNCTION_INPUT4), 1);
    EXPECT_EQ(Written(), 0x0213);  // bit 9 travels as the sensor reported it
}

TEST_F(FunctionDlgTest, ControlsFollowTheSensorsCapabilities) {
    const struct {
        const char* version;  // null: no sensor recognised
        bool write, sideways, ledHigh;
        WORD word;  // the function word, bits 7 and 8 set
        WORD shown;  // what the dialog keeps of it
    } cases[] = {
        {NULL, false, true, true, 0x01B0, 0x01B0},
        {"1.1.0", true, true, false, 0x01B0, 0x00B0},
        {"1.0.5U", true, false, true, 0x01B0, 0x0130},
        {"0.0.0", true, false, false, 0x01B0, 0x0030},
    };
    for (const auto& c : cases) {
        SensorCaps sensor;
        sensor.SetFunction(c.word);
        OpenFor(&sensor, c.version);
        const char* name = c.version != NULL ? c.version : "none";
        EXPECT_EQ(Enabled(m_dialog, IDC_FUNCTION_WRITE), c.write) << name;
        EXPECT_EQ(Enabled(m_dialog, IDC_FUNCTION_NO_SIDEWAYS), c.sideways) << name;
        EXPECT_EQ(Enabled(m_dialog, IDC_FUNCTION_LED_HIGH), c.ledHigh) << name;
        EXPECT_EQ(Ticked(m_dialog, IDC_FUNCTION_NO_SIDEWAYS), c.sideways) << name;
        EXPECT_EQ(Ticked(m_dialog, IDC_FUNCTION_LED_HIGH), c.ledHigh) << name;
        EXPECT_EQ(Selected(m_dialog, IDC_FUNCTION_INPUT4), 3) << name;
        EXPECT_TRUE(Enabled(m_dialog, IDC_FUNCTION_OPEN) && Enabled(m_dialog, IDC_FUNCTION_READ)) << name;
        EXPECT_EQ(Written(), c.shown) << name;
        m_dlg.Destroy();
    }
}

TEST_F(FunctionDlgTest, EditsReachTheWrittenWord) {
    Connect("1.1.0U", 0x0E30);  // bits 9-11 set, input 4 "Area select"
    Open();
    Choose(m_dialog, IDC_FUNCTION_OUTPUT_LOGIC, 1);
    Choose(m_dialog, IDC_FUNCTION_OUTPUT3, 1);
    Choose(m_dialog, IDC_FUNCTION_INPUT4, 0);
    Tick(m_dialog, IDC_FUNCTION_NO_SIDEWAYS, true);
    Tick(m_dialog, IDC_FUNCTION_LED_HIGH, true);
    EXPECT_EQ(Written(), 0x0F83);
    // Only a selection change counts.
    SendDlgItemMessageA(m_dialog, IDC_FUNCTION_INPUT4, CB_SETCURSEL, 2, 0);
    Notify(m_dialog, IDC_FUNCTION_INPUT4, CBN_CLOSEUP);
    Tick(m_dialog, IDC_FUNCTION_LED_HIGH, false);
    EXPECT_EQ(Written(), 0x0E83);
    // "Read" takes the sensor's word again.
    Press(IDC_FUNCTION_READ);
    EXPECT_EQ(Written(), 0x0E30);
}

TEST_F(FunctionDlgTest, OpenLoadsTheFileAndDropsBitsTheSensorLacks) {
    Connect("1.0.5", 0x0630);  // neither option bit supported
    Open();
    const std::string path = m_folder.Path("gate.fnc");
    ASSERT_TRUE(WriteBytes(path, "[Function]\r\nOutputLogic=0\r\nOutput3Function=9\r\nInput4Function=12\r\n"
                                 "NoSidewaysExtension=1\r\nLedPCon2=1\r\n"));
    EXPECT_EQ(ChooseFile(IDC_FUNCTION_OPEN, {{IDOK, path}}), 1);
    EXPECT_EQ(Selected(m_dialog, IDC_FUNCTION_OUTPUT3), 1);
    EXPECT_EQ(Selected(m_dialog, IDC_FUNCTION_INPUT4), -1);  // 4: no such item
    EXPECT_FALSE(Ticked(m_dialog, IDC_FUNCTION_NO_SIDEWAYS));
    EXPECT_FALSE(Ticked(m_dialog, IDC_FUNCTION_LED_HIGH));
    EXPECT_FALSE(Enabled(m_dialog, IDC_FUNCTION_NO_SIDEWAYS));
    EXPECT_EQ(Written(), 0x0642);
}

TEST_F(FunctionDlgTest, SaveAfterReadWritesTheSensorsFields) {
    Connect("1.1.0", 0x0213);
    Open();
    const std::string path = m_folder.Path("saved");  // the extension is added
    EXPECT_EQ(ChooseFile(IDC_FUNCTION_SAVE, {{IDOK, path}}), 1);
    EXPECT_EQ(ReadBytes(path + ".fnc"),
              "[Function]\r\nOutputLogic=1\r\nOutput3Function=1\r\nInput4Function=1\r\nNoSidewaysExtension=0\r\n"
              "LedPCon2=0\r\n");
}

TEST_F(FunctionDlgTest, ASaveThatFailsSaysSo) {
    Connect("1.1.0", 0x0213);
    Open();
    const std::string path = m_folder.Path("locked.fnc");
    ASSERT_TRUE(WriteBytes(path, "[Function]\r\nOutputLogic=0\r\n"));
    // Held open by another program that shares it with no one.
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    // The overwrite question, then the report.
    EXPECT_EQ(ChooseFile(IDC_FUNCTION_SAVE, {{IDOK, path}, {IDYES, ""}, {IDOK, ""}}), 0);
    CloseHandle(holder);
    ASSERT_FALSE(m_seen.empty());
    EXPECT_NE(m_seen.back().texts.find("Cannot open file."), std::string::npos) << m_seen.back().texts;
    EXPECT_EQ(ReadBytes(path), "[Function]\r\nOutputLogic=0\r\n");
}

TEST_F(FunctionDlgTest, CancelledFileDialogsChangeNothing) {
    Connect("1.1.0", 0x0213);
    Open();
    for (int button : {IDC_FUNCTION_OPEN, IDC_FUNCTION_SAVE}) {
        EXPECT_EQ(ChooseFile(button, {{IDCANCEL, ""}}), 0) << button;
        EXPECT_EQ(m_seen.size(), 1u) << button;
    }
    EXPECT_EQ(Written(), 0x0213);
    EXPECT_TRUE(m_folder.Files().empty());
}

TEST_F(FunctionDlgTest, WriteResultTellsTheUserAndUpdatesTheSensorOnSuccess) {
    Connect("1.1.0", 0x0030);
    Open();
    Choose(m_dialog, IDC_FUNCTION_OUTPUT_LOGIC, 1);
    {
        ModalCloser closer(IDOK);
        EXPECT_EQ(m_dlg.OnWriteResult(0), 1);
        EXPECT_NE(closer.texts.find("Function writing failed."), std::string::npos) << closer.texts;
        EXPECT_EQ(closer.owner, m_dialog);
    }
    EXPECT_EQ(m_sensor.GetFunction(), 0x0030);
    {
        ModalCloser closer(IDOK);
        EXPECT_EQ(m_dlg.OnWriteResult(1), 1);
        EXPECT_NE(closer.texts.find("Function writing completed."), std::string::npos) << closer.texts;
        EXPECT_EQ(closer.owner, m_dialog);
    }
    EXPECT_EQ(m_sensor.GetFunction(), 0x0031);
}

// Each choice shows whole, in the closed box and in the dropped list, in the
// combo box's own font.
TEST_F(FunctionDlgTest, EveryChoiceShowsWholeInItsBoxAndItsList) {
    Open();
    for (int id : {IDC_FUNCTION_OUTPUT_LOGIC, IDC_FUNCTION_OUTPUT3, IDC_FUNCTION_INPUT4}) {
        HWND combo = GetDlgItem(m_dialog, id);
        COMBOBOXINFO info = {};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetComboBoxInfo(combo, &info));
        const int field = info.rcItem.right - info.rcItem.left;
        const int list = static_cast<int>(SendMessageA(combo, CB_GETDROPPEDWIDTH, 0, 0));
        HDC dc = GetDC(combo);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(combo, WM_GETFONT, 0, 0)));
        const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[128] = {};
            SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            SIZE extent;
            GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
            EXPECT_LE(extent.cx + 4, field) << text;  // the box sets its text 2 pixels in
            EXPECT_LE(extent.cx + 4, list) << text;
        }
        SelectObject(dc, old);
        ReleaseDC(combo, dc);
    }
}
