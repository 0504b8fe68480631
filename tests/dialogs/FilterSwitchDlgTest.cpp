#include "dialogs/FilterSwitchDlg.h"

#include "resources/resource.h"
#include "tests/dialogs/FunctionDialogFixture.h"
#include "tests/framework/ModalCloser.h"

#include <gtest/gtest.h>

namespace {

const int kFilterBoxes[] = {IDC_FILTER_WAVE_FORM_CHECK, IDC_FILTER_WAVE_FORM_ERROR, IDC_FILTER_MEDIAN,
                            IDC_FILTER_ADJOIN_STEP,     IDC_FILTER_SLICE_LEVEL,     IDC_FILTER_PHASE_DIFFERENCE};
const int kButtons[] = {IDC_FILTER_READ, IDC_FILTER_WRITE, IDC_FILTER_LEVEL};

class FilterSwitchDlgTest : public FunctionDialogFixture<FilterSwitchDlg> {
protected:
    // The sensor's filter bytes as it would report them.
    void Connect(const char* version, BYTE byte0, BYTE byte1) {
        Recognise(&m_sensor, version);
        const BYTE bytes[2] = {byte0, byte1};
        m_sensor.SetFilterSwitch(bytes);
    }
    // The two bytes "Write" sends, byte 0 high.
    WORD Written() { return SentBy(IDC_FILTER_WRITE, &m_port.filterWrites); }
    // The filter boxes that are ticked, as bits in the order of kFilterBoxes.
    int TickedBoxes() {
        int ticked = 0;
        for (int i = 0; i < 6; ++i) ticked |= Ticked(m_dialog, kFilterBoxes[i]) ? 1 << i : 0;
        return ticked;
    }
};

}  // namespace

TEST_F(FilterSwitchDlgTest, OnlyASensorWithFilterSwitchesEnablesTheControls) {
    const struct {
        const char* version;  // null: no sensor recognised
        bool usable;
    } cases[] = {
        {"1.1.0K", true}, {"2.3.1K", true}, {"1.1.0", false}, {"1.0.4K", false}, {"0.2.0K", false}, {NULL, false},
    };
    for (const auto& c : cases) {
        SensorCaps sensor;
        m_port.filterReads = 0;
        OpenFor(&sensor, c.version);
        const char* name = c.version != NULL ? c.version : "none";
        EXPECT_EQ(m_port.filterReads, 1) << name;
        for (int id : kFilterBoxes) EXPECT_EQ(Enabled(m_dialog, id), c.usable) << name << " " << id;
        for (int id : kButtons) EXPECT_EQ(Enabled(m_dialog, id), c.usable) << name << " " << id;
        for (int id = IDC_FILTER_RESERVE_FIRST; id <= IDC_FILTER_RESERVE_LAST; ++id)
            EXPECT_FALSE(Enabled(m_dialog, id)) << name << " " << id;
        m_dlg.Destroy();
    }
}

TEST_F(FilterSwitchDlgTest, OpeningShowsAClearedCopyUntilRead) {
    Connect("1.1.0K", 0xF8, 0x01);
    Open();
    EXPECT_EQ(TickedBoxes(), 0);
    const struct {
        BYTE byte0, byte1;
        int ticked;  // bits in the order of kFilterBoxes
    } cases[] = {
        {0xF8, 0x01, 0x3F}, {0x10, 0x00, 0x08}, {0x00, 0x01, 0x10}, {0x08, 0x00, 0x20}, {0x07, 0xFE, 0x00},
    };
    for (const auto& c : cases) {
        const BYTE bytes[2] = {c.byte0, c.byte1};
        m_sensor.SetFilterSwitch(bytes);
        Press(IDC_FILTER_READ);
        EXPECT_EQ(TickedBoxes(), c.ticked) << int(c.byte0) << " " << int(c.byte1);
    }
    EXPECT_EQ(m_port.filterReads, 1);  // "Read" asks the sensor nothing
}

TEST_F(FilterSwitchDlgTest, WriteSendsTheTickedBoxes) {
    Connect("1.1.0K", 0x00, 0x00);
    Open();
    Tick(m_dialog, IDC_FILTER_WAVE_FORM_CHECK, true);
    Tick(m_dialog, IDC_FILTER_SLICE_LEVEL, true);
    EXPECT_EQ(Written(), 0x8001);
    Tick(m_dialog, IDC_FILTER_WAVE_FORM_CHECK, false);
    Tick(m_dialog, IDC_FILTER_PHASE_DIFFERENCE, true);
    Tick(m_dialog, IDC_FILTER_MEDIAN, true);
    EXPECT_EQ(Written(), 0x2801);
    EXPECT_EQ(m_sensor.GetFunction(), 0x30);  // untouched
}

TEST_F(FilterSwitchDlgTest, WriteSendsTheBitsWithoutABoxAsZero) {
    Connect("1.1.0K", 0x07, 0xFE);
    Open();
    Press(IDC_FILTER_READ);
    Tick(m_dialog, IDC_FILTER_WAVE_FORM_CHECK, true);
    EXPECT_EQ(Written(), 0x8000);

    const BYTE all[2] = {0xFF, 0xFF};
    m_sensor.SetFilterSwitch(all);
    Press(IDC_FILTER_READ);
    Tick(m_dialog, IDC_FILTER_MEDIAN, false);
    Tick(m_dialog, IDC_FILTER_SLICE_LEVEL, false);
    EXPECT_EQ(Written(), 0xD800);
}

TEST_F(FilterSwitchDlgTest, TicksSurviveTheSensorReports) {
    Connect("1.1.0K", 0x00, 0x00);
    Open();
    Tick(m_dialog, IDC_FILTER_MEDIAN, true);
    Tick(m_dialog, IDC_FILTER_SLICE_LEVEL, true);
    m_dlg.UpdateControls();  // what the frame does on every version report
    EXPECT_TRUE(Ticked(m_dialog, IDC_FILTER_MEDIAN));
    EXPECT_TRUE(Ticked(m_dialog, IDC_FILTER_SLICE_LEVEL));
    // A read reply replaces the copy; the boxes follow at the next update.
    const BYTE reported[2] = {0x40, 0x00};
    m_sensor.SetFilterSwitch(reported);
    m_dlg.LoadSwitchState(reported);
    EXPECT_TRUE(Ticked(m_dialog, IDC_FILTER_MEDIAN));
    m_dlg.UpdateControls();
    EXPECT_EQ(TickedBoxes(), 0x02);
}

TEST_F(FilterSwitchDlgTest, BecomingUsableAsksForTheSwitchesAndSendsTheLevel) {
    Open();  // no sensor yet: disabled
    EXPECT_EQ(m_port.filterReads, 1);
    EXPECT_TRUE(m_port.levels.empty());
    Connect("1.1.0K", 0x00, 0x00);
    m_dlg.UpdateControls();
    EXPECT_EQ(m_port.filterReads, 2);
    EXPECT_EQ(m_port.levels, std::vector<DWORD>({0}));
    m_dlg.UpdateControls();
    EXPECT_EQ(m_port.filterReads, 2);
    Tick(m_dialog, IDC_FILTER_LEVEL, true);
    EXPECT_EQ(m_port.levels, std::vector<DWORD>({0, 1}));
    // Disconnected and connected again.
    m_sensor.Reset();
    m_dlg.UpdateControls();
    EXPECT_FALSE(Enabled(m_dialog, IDC_FILTER_LEVEL));
    Connect("1.1.0K", 0x00, 0x00);
    m_dlg.UpdateControls();
    EXPECT_EQ(m_port.filterReads, 3);
    EXPECT_EQ(m_port.levels, std::vector<DWORD>({0, 1, 1}));  // the button stayed pressed
}

TEST_F(FilterSwitchDlgTest, WriteResultUpdatesTheSensorOnlyOnSuccess) {
    Connect("1.1.0K", 0x00, 0x00);
    Open();
    Tick(m_dialog, IDC_FILTER_ADJOIN_STEP, true);
    Press(IDC_FILTER_WRITE);
    // A box ticked after the write was sent is no part of what the sensor took.
    Tick(m_dialog, IDC_FILTER_MEDIAN, true);
    BYTE bytes[2];
    {
        ModalCloser closer(IDOK);
        EXPECT_EQ(m_dlg.OnWriteResult(0), 1);
        EXPECT_NE(closer.texts.find("Function writing failed."), std::string::npos) << closer.texts;
    }
    m_sensor.GetFilterSwitch(bytes);
    EXPECT_EQ(bytes[0], 0x00);
    {
        ModalCloser closer(IDOK);
        EXPECT_EQ(m_dlg.OnWriteResult(1), 1);
        EXPECT_NE(closer.texts.find("Function writing completed."), std::string::npos) << closer.texts;
        EXPECT_EQ(closer.owner, m_dialog);
    }
    m_sensor.GetFilterSwitch(bytes);
    EXPECT_EQ(bytes[0], 0x10);
    EXPECT_EQ(bytes[1], 0x00);
}
