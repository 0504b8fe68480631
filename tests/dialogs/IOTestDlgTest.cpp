#include "dialogs/IOTestDlg.h"

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "sensor/SensorCaps.h"
#include "tests/dialogs/SwitchLogPort.h"
#include "tests/framework/TestSettings.h"

namespace {

typedef std::vector<std::string> Lines;

const int kIn1 = IDC_IO_FORCE_FIRST;
const int kOut1 = IDC_IO_FORCE_FIRST + 4;

class IOTestDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_caps.SetModel(0);  // a sensor with the I/O test
        m_dlg.SetSensorCaps(&m_caps);
        m_dlg.SetDevicePort(&m_port);
    }
    HWND Open() { return m_dlg.Create(GetModuleHandleA(NULL), NULL); }
    HICON Lamp(int i) {
        return reinterpret_cast<HICON>(
            SendDlgItemMessageA(m_dlg.GetHwnd(), IDC_IO_LAMP_FIRST + i, STM_GETICON, 0, 0));
    }
    // "1" for each lamp showing the lit icon, "0" for the dark one.
    std::string Lamps(HICON lit) {
        std::string shown;
        for (int i = 0; i < IOTestDlg::kLines; ++i) shown += Lamp(i) == lit ? "1" : "0";
        return shown;
    }
    void Click(int id) { SendDlgItemMessageA(m_dlg.GetHwnd(), id, BM_CLICK, 0, 0); }

    TestSettings m_settings;
    SensorCaps m_caps;
    SwitchLogPort m_port;
    IOTestDlg m_dlg;  // after its collaborators: closed before they go
};

}  // namespace

TEST(IOTestDlg_Pure, ForceBytesOfTheButtonStates) {
    const UINT free = BST_INDETERMINATE, on = BST_CHECKED, off = BST_UNCHECKED;
    struct Case {
        UINT checks[8];
        BYTE disguised;
        BYTE mask;
    } cases[] = {
        {{free, free, free, free, free, free, free, free}, 0x00, 0x00},
        {{free, free, free, free, on, free, free, free}, 0x00, 0x10},
        {{off, on, free, free, free, free, on, off}, 0x81, 0xC3},
        {{off, off, off, off, off, off, off, off}, 0xFF, 0xFF},
    };
    for (const Case& c : cases) {
        BYTE disguised = 0xAA, mask = 0xAA;
        IOTestDlg::ForceBytes(c.checks, &disguised, &mask);
        EXPECT_EQ(disguised, c.disguised) << int(c.mask);
        EXPECT_EQ(mask, c.mask) << int(c.disguised);
    }
}

TEST(IOTestDlg_Pure, LitLampsOfAState) {
    struct Case {
        BYTE state;
        bool pnp;
        bool letterU;
        BYTE lit;
    } cases[] = {
        {0x0F, false, false, 0x0F},  // inputs lit, outputs dark
        {0x0F, true, false, 0xFF},   // PNP: clear output bits light
        {0x40, false, false, 0x40},  // bit 6: Out3
        {0x40, false, true, 0x80},   // letter U: bit 6 is Out4
        {0x35, false, true, 0x35},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IOTestDlg::LitLamps(c.state, c.pnp, c.letterU), c.lit) << int(c.state) << c.pnp << c.letterU;
}

TEST_F(IOTestDlgTest, CreateNeedsBothCollaboratorsAndGivesTheOpenWindow) {
    m_dlg.SetDevicePort(NULL);
    EXPECT_EQ(Open(), (HWND)NULL);
    m_dlg.SetDevicePort(&m_port);
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(Open(), dialog);
    char title[32] = {};
    GetWindowTextA(dialog, title, sizeof title);
    EXPECT_STREQ(title, "I/O Test");
}

TEST_F(IOTestDlgTest, OpensLitAndFreePollsAndFollowsTheState) {
    ASSERT_NE(Open(), (HWND)NULL);
    EXPECT_EQ(m_port.m_log, Lines{"io:1"});
    const HICON lit = Lamp(0);
    ASSERT_NE(lit, (HICON)NULL);
    EXPECT_EQ(Lamps(lit), "11111111");
    for (int i = 0; i < IOTestDlg::kLines; ++i) {
        EXPECT_EQ(IsDlgButtonChecked(m_dlg.GetHwnd(), kIn1 + i), (UINT)BST_INDETERMINATE) << i;
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(m_dlg.GetHwnd(), kIn1 + i))) << i;
    }
    m_caps.SetVersionText("1.0.0U");
    m_dlg.ShowState(0x43, 0, 0);  // bit 6 is Out4's
    EXPECT_EQ(Lamps(lit), "11000001");
    EXPECT_NE(Lamp(2), (HICON)NULL);
}

TEST_F(IOTestDlgTest, ButtonsForceAndCloseStopsPollingThenReleases) {
    ASSERT_NE(Open(), (HWND)NULL);
    Click(kOut1);  // free -> off
    Click(kOut1);  // off -> on
    Click(kIn1 + 2);  // In3 off, Out1 stays on
    m_dlg.Destroy();
    EXPECT_EQ(m_port.m_log, (Lines{"io:1", "write:10,10", "write:00,10", "write:04,14", "io:0", "write:00,00"}));
}

TEST_F(IOTestDlgTest, WithoutTheCapabilityTheButtonsAreDisabled) {
    SensorCaps none;  // no sensor: version 0 has no I/O test
    m_dlg.SetSensorCaps(&none);
    ASSERT_NE(Open(), (HWND)NULL);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(m_dlg.GetHwnd(), kOut1)));
    none.SetModel(0);
    m_dlg.UpdateControls();
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(m_dlg.GetHwnd(), kOut1)));
    // Without capabilities the state is not shown.
    const HICON lit = Lamp(0);
    m_dlg.SetSensorCaps(NULL);
    m_dlg.ShowState(0x00, 0, 0);
    EXPECT_EQ(Lamps(lit), "11111111");
    m_dlg.UpdateControls();
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(m_dlg.GetHwnd(), kOut1)));
}
