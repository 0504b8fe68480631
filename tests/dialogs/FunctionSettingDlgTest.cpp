#include "dialogs/FunctionDlg.h"
#include "dialogs/FunctionSettingDlg.h"

#include "resources/resource.h"
#include "tests/dialogs/FunctionDialogFixture.h"
#include "tests/framework/ModalCloser.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class FunctionSettingDlgTest : public FunctionDialogFixture<FunctionSettingDlg> {
protected:
    BYTE Sent() { return SentBy(IDC_SETTING_APPLY, &m_port.options); }
};

}  // namespace

TEST_F(FunctionSettingDlgTest, ControlsFollowTheSensorsVersion) {
    const struct {
        const char* version;  // null: no sensor recognised
        bool setting, slow, synchronization;
    } cases[] = {
        {NULL, false, false, false},
        {"1.1.3", true, true, true},
        {"1.1.2", true, true, false},
        {"1.0.9", false, false, false},
    };
    for (const auto& c : cases) {
        SensorCaps sensor;
        OpenFor(&sensor, c.version);
        const char* name = c.version != NULL ? c.version : "none";
        EXPECT_EQ(Enabled(m_dialog, IDC_SETTING_APPLY), c.setting) << name;
        EXPECT_EQ(Enabled(m_dialog, IDC_SETTING_SLOW_SCANNING), c.slow) << name;
        EXPECT_EQ(Enabled(m_dialog, IDC_SETTING_SYNCHRONIZATION), c.synchronization) << name;
        m_dlg.Destroy();
    }
}

TEST_F(FunctionSettingDlgTest, OpeningShowsTheSensorsOptionByte) {
    const struct {
        BYTE option;
        bool slow;
        int mode;  // -1: none selected
    } cases[] = {
        {0x05, true, 2},
        {0x08, false, 4},
        {0x0B, true, -1},  // mode 5 is no item
    };
    Recognise(&m_sensor, "1.1.3");
    for (const auto& c : cases) {
        m_sensor.SetOptionByte(c.option);
        Open();
        EXPECT_EQ(Ticked(m_dialog, IDC_SETTING_SLOW_SCANNING), c.slow) << int(c.option);
        EXPECT_EQ(Selected(m_dialog, IDC_SETTING_SYNCHRONIZATION), c.mode) << int(c.option);
        m_dlg.Destroy();
    }
    Open();
    EXPECT_EQ(ItemText(m_dialog, IDC_SETTING_SYNCHRONIZATION, 4), "Synchronization slave(270 deg.)");
}

TEST_F(FunctionSettingDlgTest, EditsReachTheSentByteWithItsUpperBits) {
    Recognise(&m_sensor, "1.1.3");
    m_sensor.SetOptionByte(0xA5);  // bits 4-7: 0xA0; slow; mode 2
    Open();
    EXPECT_EQ(Sent(), 0xA5);
    Tick(m_dialog, IDC_SETTING_SLOW_SCANNING, false);
    Choose(m_dialog, IDC_SETTING_SYNCHRONIZATION, 4);
    EXPECT_EQ(Sent(), 0xA8);
    // Only a selection change counts.
    SendDlgItemMessageA(m_dialog, IDC_SETTING_SYNCHRONIZATION, CB_SETCURSEL, 1, 0);
    Notify(m_dialog, IDC_SETTING_SYNCHRONIZATION, CBN_DROPDOWN);
    Tick(m_dialog, IDC_SETTING_SLOW_SCANNING, true);
    EXPECT_EQ(Sent(), 0xA9);
    EXPECT_EQ(m_sensor.GetOptionByte(), 0xA5);  // the sensor's changes only by a result
}

TEST_F(FunctionSettingDlgTest, WriteResultUpdatesTheSensorOnlyOnSuccess) {
    Recognise(&m_sensor, "1.1.3");
    Open();
    Choose(m_dialog, IDC_SETTING_SYNCHRONIZATION, 1);
    {
        ModalCloser closer(IDOK);
        EXPECT_EQ(m_dlg.OnWriteResult(2), 1);
        EXPECT_NE(closer.texts.find("Function writing failed."), std::string::npos) << closer.texts;
    }
    EXPECT_EQ(m_sensor.GetOptionByte(), 0x00);
    {
        ModalCloser closer(IDOK);
        EXPECT_EQ(m_dlg.OnWriteResult(1), 1);
        EXPECT_NE(closer.texts.find("Function writing completed."), std::string::npos) << closer.texts;
        EXPECT_EQ(closer.owner, m_dialog);
    }
    EXPECT_EQ(m_sensor.GetOptionByte(), 0x02);
}

// Both dialogs keep their place in "FunctionDlg": the one that was never
// opened must not write its stale values over the other's.
TEST(FunctionDialogs_SharedSection, OnlyADialogOpenedInThisRunWritesIt) {
    for (bool settingOpened : {false, true}) {
        TestSettings settings;
        WritePrivateProfileStringA("FunctionDlg", "Left", "5", settings.Path().c_str());
        WritePrivateProfileStringA("FunctionDlg", "Top", "6", settings.Path().c_str());
        HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 100, 100, NULL, NULL,
                                     GetModuleHandleA(NULL), NULL);
        FunctionRequests port;
        SensorCaps sensor;
        // The opened one goes first, so the unopened one's destructor runs last.
        std::unique_ptr<SensorDialog> opened, unopened;
        if (settingOpened) {
            opened.reset(new FunctionSettingDlg);
            unopened.reset(new FunctionDlg);
        } else {
            opened.reset(new FunctionDlg);
            unopened.reset(new FunctionSettingDlg);
        }
        opened->SetSensorCaps(&sensor);
        opened->SetDevicePort(&port);
        HWND dialog = opened->Create(GetModuleHandleA(NULL), owner);
        ASSERT_NE(dialog, (HWND)NULL);
        SetWindowPos(dialog, NULL, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        opened->Destroy();
        opened.reset();
        unopened.reset();
        DestroyWindow(owner);
        EXPECT_EQ(GetPrivateProfileIntA("FunctionDlg", "Left", 0, settings.Path().c_str()), 40u) << settingOpened;
        EXPECT_EQ(GetPrivateProfileIntA("FunctionDlg", "Top", 0, settings.Path().c_str()), 50u) << settingOpened;
    }
}
