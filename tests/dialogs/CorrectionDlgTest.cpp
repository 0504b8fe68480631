#include "dialogs/CorrectionDlg.h"

#include "protocol/DevicePort.h"
#include "resources/resource.h"
#include "sensor/SensorCaps.h"
#include "tests/framework/GridDriver.h"
#include "tests/dialogs/NoActivation.h"
#include "tests/dialogs/OwnedDialogFixture.h"
#include "tests/framework/ModalCloser.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Capabilities from a table, so that each case sets exactly what the
// dialog consults.
class TableCaps : public SensorCaps {
public:
    int HasCapability(int id) const override { return id >= 0 && id < 32 ? caps[id] : 0; }
    int IsUnknown() const override { return unknown; }
    int IsLongRange() const override { return longRange; }
    int caps[32] = {};
    int unknown = 0;
    int longRange = 0;
};

// A device port that records the correction requests.
class CorrectionRequests : public DevicePort {
public:
    int ReadCorrection() override { return Note("read distance"); }
    int WriteCorrection(BYTE point, WORD distance) override {
        return Note("write " + std::to_string(point) + " " + std::to_string(distance));
    }
    int ReadDirection() override { return Note("read angle"); }
    int WriteDirection(int* angle) override {
        Note("angle " + std::to_string(*angle));
        *angle = handBack;
        return 0;
    }
    int WriteMotor(int* value) override {
        Note("motor " + std::to_string(*value));
        *value = handBack;
        return 0;
    }
    int ReadSensitivity() override { return Note("read sensitivity"); }
    int CorrectSensitivity() override { return Note("correct sensitivity"); }
    int Note(const std::string& request) {
        requests.push_back(request);
        return 0;
    }
    std::vector<std::string> requests;
    int handBack = 0;
};

class CorrectionDlgTest : public OwnedDialogFixture<CorrectionDlg, CorrectionRequests> {
protected:
    void SetUp() override {
        OwnedDialogFixture::SetUp();
        m_caps.caps[SensorCaps::kCapCorrectionRows] = 4;
        m_dlg.SetSensorCaps(&m_caps);
    }
    void Press(int id, WORD code = BN_CLICKED) { Notify(m_dlg.GetHwnd(), id, code); }
    std::string Distances() {
        std::string all;
        for (int r = 1; r < m_dlg.GetGrid().GetRowCount(); ++r) all += GridText(m_dlg.GetGrid(), r, 0) + " ";
        return all;
    }
    std::string EditText(int id) {
        char text[32] = {};
        GetDlgItemTextA(m_dlg.GetHwnd(), id, text, sizeof text);
        return text;
    }
    // The row's distance typed in the grid's editor and ended with Enter.
    bool Type(int row, const char* text) {
        return EditGridCell(m_dlg.GetGrid(), row + 1, 0, text, VK_RETURN, m_dlg.GetHwnd());
    }

    NoActivation m_noActivation;
    TableCaps m_caps;
};

}  // namespace

TEST_F(CorrectionDlgTest, OpensWithBothLinksAndReturnsTheOpenWindow) {
    m_dlg.SetSensorCaps(NULL);
    EXPECT_EQ(Open(), (HWND)NULL);
    m_dlg.SetSensorCaps(&m_caps);
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(Open(), dialog);
    EXPECT_EQ(GetDlgItem(dialog, IDC_CORRECTION_DISTANCES), m_dlg.GetGrid().GetHwnd());
    EXPECT_EQ(GridText(m_dlg.GetGrid(), 0, 0) + "," + GridText(m_dlg.GetGrid(), 0, 1) + "," +
                  GridText(m_dlg.GetGrid(), 0, 2),
              "Distance,8MHz,7.5MHz");
    EXPECT_TRUE(m_port.requests.empty());  // opening asks the sensor nothing
}

TEST_F(CorrectionDlgTest, ControlsFollowTheCapabilities) {
    const struct {
        int capability;  // the one capability set, 0 for none
        int unknown;
        std::vector<int> enabled;
    } cases[] = {
        {0, 1, {}},
        {0, 0, {IDC_CORRECTION_DISTANCES, IDC_CORRECTION_CORRECT_DISTANCE}},
        {SensorCaps::kCapCorrectionRead, 0,
         {IDC_CORRECTION_DISTANCES, IDC_CORRECTION_CORRECT_DISTANCE, IDC_CORRECTION_READ_DISTANCE}},
        {SensorCaps::kCapSensitivityCorrection, 0,
         {IDC_CORRECTION_DISTANCES, IDC_CORRECTION_CORRECT_DISTANCE, IDC_CORRECTION_SENSITIVITY,
          IDC_CORRECTION_READ_SENSITIVITY, IDC_CORRECTION_CORRECT_SENSITIVITY}},
        {SensorCaps::kCapAngleCorrection, 0,
         {IDC_CORRECTION_DISTANCES, IDC_CORRECTION_CORRECT_DISTANCE, IDC_CORRECTION_ANGLE,
          IDC_CORRECTION_CORRECT_ANGLE}},
        {SensorCaps::kCapAngleRead, 0,
         {IDC_CORRECTION_DISTANCES, IDC_CORRECTION_CORRECT_DISTANCE, IDC_CORRECTION_READ_ANGLE}},
        {SensorCaps::kCapMotorCorrection, 0,
         {IDC_CORRECTION_DISTANCES, IDC_CORRECTION_CORRECT_DISTANCE, IDC_CORRECTION_MOTOR,
          IDC_CORRECTION_MOTOR_STOP, IDC_CORRECTION_MOTOR_START}},
        {SensorCaps::kCapMotorCorrection, 1, {}},  // an unknown sensor has none
    };
    const int all[] = {IDC_CORRECTION_DISTANCES,        IDC_CORRECTION_CORRECT_DISTANCE,
                       IDC_CORRECTION_READ_DISTANCE,    IDC_CORRECTION_SENSITIVITY,
                       IDC_CORRECTION_READ_SENSITIVITY, IDC_CORRECTION_CORRECT_SENSITIVITY,
                       IDC_CORRECTION_ANGLE,            IDC_CORRECTION_CORRECT_ANGLE,
                       IDC_CORRECTION_READ_ANGLE,       IDC_CORRECTION_MOTOR,
                       IDC_CORRECTION_MOTOR_STOP,       IDC_CORRECTION_MOTOR_START};
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    for (const auto& c : cases) {
        TableCaps caps;
        caps.unknown = c.unknown;
        if (c.capability != 0) caps.caps[c.capability] = 1;
        m_dlg.SetSensorCaps(&caps);
        m_dlg.UpdateControls();
        for (int id : all) {
            const bool expected = std::find(c.enabled.begin(), c.enabled.end(), id) != c.enabled.end();
            EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, id)) != 0, expected) << c.capability << " " << id;
        }
    }
    m_dlg.SetSensorCaps(&m_caps);
}

TEST_F(CorrectionDlgTest, TheProposedDistancesByRangeAndRows) {
    ASSERT_NE(Open(), (HWND)NULL);
    EXPECT_EQ(Distances(), "300mm 1000mm 2000mm 3000mm ");
    m_caps.longRange = 1;
    m_caps.caps[SensorCaps::kCapCorrectionRows] = 3;
    m_dlg.GetGrid().SetCellText(1, 1, "77");
    m_dlg.UpdateControls();
    EXPECT_EQ(Distances(), "300mm 2500mm 4500mm ");
    EXPECT_EQ(GridText(m_dlg.GetGrid(), 1, 1), "77");  // the values stay
}

TEST_F(CorrectionDlgTest, AnEditableTableKeepsTypedDistancesAndNormalisesThem) {
    m_caps.caps[SensorCaps::kCapCorrectionListEditable] = 1;
    ASSERT_NE(Open(), (HWND)NULL);
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {{"1234abc", "1234mm"}, {"-1", "65535mm"}, {"70000", "4464mm"}, {"abc", "0mm"}, {" 450 mm", "450mm"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(Type(1, c.typed)) << c.typed;
        EXPECT_EQ(GridText(m_dlg.GetGrid(), 2, 0), c.shown) << c.typed;
    }
    m_dlg.UpdateControls();  // an edited table is not refilled
    EXPECT_EQ(Distances(), "300mm 450mm 2000mm 3000mm ");
}

TEST_F(CorrectionDlgTest, AFixedTableOpensNoEditorAndIsRefilled) {
    ASSERT_NE(Open(), (HWND)NULL);
    EXPECT_EQ(OpenGridEditor(m_dlg.GetGrid(), 2, 0), (HWND)NULL);
    EXPECT_EQ(m_dlg.GetGrid().GetSelectedRow(), 1);
    m_dlg.GetGrid().SetCellText(2, 0, "999mm");
    m_dlg.UpdateControls();
    EXPECT_EQ(GridText(m_dlg.GetGrid(), 2, 0), "1000mm");
}

TEST_F(CorrectionDlgTest, CorrectSendsTheSelectedRowsDistance) {
    m_caps.caps[SensorCaps::kCapCorrectionListEditable] = 1;
    ASSERT_NE(Open(), (HWND)NULL);
    Press(IDC_CORRECTION_CORRECT_DISTANCE);  // no selection
    EXPECT_TRUE(m_port.requests.empty());
    ASSERT_TRUE(Type(2, "2100"));
    ClickGrid(m_dlg.GetGrid(), GridPoint(3, 2));  // the 7.5 MHz cell selects its row too
    Press(IDC_CORRECTION_CORRECT_DISTANCE, BN_DOUBLECLICKED);  // not a click: nothing
    Press(IDC_CORRECTION_CORRECT_DISTANCE);
    EXPECT_EQ(m_port.requests, (std::vector<std::string>{"write 2 2100"}));
    EXPECT_EQ(m_dlg.WriteRowDistance(-1), 0xFF);
}

TEST_F(CorrectionDlgTest, ButtonsSendTheirRequestsAndShowWhatTheDeviceHandsBack) {
    ASSERT_NE(Open(), (HWND)NULL);
    SetDlgItemTextA(m_dlg.GetHwnd(), IDC_CORRECTION_ANGLE, "-12");
    m_port.handBack = -13;
    Press(IDC_CORRECTION_CORRECT_ANGLE);
    EXPECT_EQ(EditText(IDC_CORRECTION_ANGLE), "-13");
    SetDlgItemTextA(m_dlg.GetHwnd(), IDC_CORRECTION_MOTOR, "250");
    m_port.handBack = 251;
    Press(IDC_CORRECTION_MOTOR_STOP, BN_DOUBLECLICKED);  // the motor acts on any code
    EXPECT_EQ(EditText(IDC_CORRECTION_MOTOR), "251");
    Press(IDC_CORRECTION_MOTOR_START);
    EXPECT_EQ(EditText(IDC_CORRECTION_MOTOR), "251");
    Press(IDC_CORRECTION_READ_DISTANCE);
    Press(IDC_CORRECTION_READ_ANGLE);
    Press(IDC_CORRECTION_READ_SENSITIVITY);
    Press(IDC_CORRECTION_CORRECT_SENSITIVITY);
    Press(IDC_CORRECTION_READ_ANGLE, BN_DOUBLECLICKED);
    EXPECT_EQ(m_port.requests,
              (std::vector<std::string>{"angle -12", "motor 250", "motor -2147483648", "read distance",
                                        "read angle", "read sensitivity", "correct sensitivity"}));
}

TEST_F(CorrectionDlgTest, ShownValues) {
    ASSERT_NE(Open(), (HWND)NULL);
    const struct {
        BYTE value;
        const char* shown;
    } sensitivities[] = {{0x41, "1.0156"}, {0xFF, "3.9843"}, {0x40, "1.0000"}, {0x01, "0.0156"}};
    for (const auto& s : sensitivities) {
        EXPECT_EQ(m_dlg.ShowSensitivity(s.value), 1);
        EXPECT_EQ(EditText(IDC_CORRECTION_SENSITIVITY), s.shown);
    }
    EXPECT_EQ(m_dlg.ShowAngle(199), 1);
    EXPECT_EQ(EditText(IDC_CORRECTION_ANGLE), "199");
    EXPECT_EQ(m_dlg.ShowAngle(200), 0);
    EXPECT_EQ(EditText(IDC_CORRECTION_ANGLE), "199");

    m_caps.caps[SensorCaps::kCapCorrectionRows] = 3;
    m_dlg.UpdateControls();
    const WORD table[CorrectionDlg::kDistanceWords] = {310, 1, 2, 1010, 65535, 4, 2020, 5, 6, 3030, 7, 8};
    EXPECT_EQ(m_dlg.ShowDistanceTable(NULL), 0);
    EXPECT_EQ(m_dlg.ShowDistanceTable(table), 1);
    EXPECT_EQ(Distances(), "310mm 1010mm 2020mm ");  // the fourth row stays absent
    EXPECT_EQ(GridText(m_dlg.GetGrid(), 2, 1), "65535");
    EXPECT_EQ(GridText(m_dlg.GetGrid(), 3, 2), "6");
}

TEST_F(CorrectionDlgTest, ResultsAreReportedWithTheirCode) {
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    const struct {
        int (*show)(CorrectionDlg&, BYTE);
        BYTE result;
        const char* text;
    } cases[] = {
        {[](CorrectionDlg& d, BYTE r) { return d.ShowDistanceResult(r); }, 1, "Correction completed."},
        {[](CorrectionDlg& d, BYTE r) { return d.ShowDistanceResult(r); }, 5, "Correction failed.(0x05)"},
        {[](CorrectionDlg& d, BYTE r) { return d.ShowSensitivityResult(r); }, 0xAB, "Correction failed.(0xab)"},
        {[](CorrectionDlg& d, BYTE r) { return d.ShowCorrectionResult(r); }, 1, "Correction completed."},
        {[](CorrectionDlg& d, BYTE r) { return d.ShowCorrectionResult(r); }, 5, "Correction failed."},
    };
    for (const auto& c : cases) {
        ModalCloser closer(IDOK);
        EXPECT_EQ(c.show(m_dlg, c.result), 1);
        EXPECT_NE(closer.texts.find(std::string(c.text) + "\n"), std::string::npos) << closer.texts;
        EXPECT_EQ(closer.owner, dialog);
    }
}
