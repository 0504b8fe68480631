#include "dialogs/WaveFormDlg.h"

#include "protocol/DevicePort.h"
#include "resources/resource.h"
#include "sensor/SensorCaps.h"
#include "tests/TestFiles.h"
#include "tests/dialogs/WaveFormRecords.h"
#include "tests/dialogs/NoActivation.h"
#include "tests/dialogs/OwnedDialogFixture.h"
#include "tests/framework/ModalCloser.h"
#include "tests/protocol/TestHost.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// A device port that records the waveform switch and counts it as the real
// port does: with a device every call counts, whatever the device answers,
// and "on" returns 1; without one nothing counts and 0 comes back.
class WaveFormRequests : public DevicePort {
public:
    struct Call {
        DWORD on;
        WORD step;
        BYTE flag;
    };
    int SetWaveForm(DWORD on, WORD step, BYTE flag) override {
        calls.push_back({on, step, flag});
        if (!hasDevice) return 0;
        if (on == 1) ++held;
        else if (held > 0) --held;
        return 1;
    }
    // Switch-ons not yet given back.
    int Held() const { return held; }
    std::vector<Call> calls;
    bool hasDevice = true;
    int held = 0;
};

// The application with a save dialog that answers from the test.
class SavingHost : public TestHost {
public:
    BOOL SaveMeasurementFileDialog(char* buffer, DWORD size) override {
        ++offers;
        if (answer.empty()) return FALSE;
        lstrcpynA(buffer, answer.c_str(), static_cast<int>(size));
        return TRUE;
    }
    std::string answer;  // empty: the user cancels
    int offers = 0;
};

const TestReport kChannel0 = {0x00, 1000, 600, 300, 3, 1, 3, 2};
const TestReport kChannel1 = {0x01, 2000, 700, 500, 4, 1, 5, 2};
const char kPairLine[] = "\n 1000,  600, 300,  3,  3, 2000,  700, 500,  4,  5";

class WaveFormDlgTest : public OwnedDialogFixture<WaveFormDlg, WaveFormRequests> {
protected:
    void SetUp() override {
        OwnedDialogFixture::SetUp();
        m_caps.SetModel(0);
        m_dlg.SetWaveFormRecord(&m_record);
        m_dlg.SetSensorCaps(&m_caps);
        m_dlg.SetApplication(&m_host);
    }
    // Clicks a radio button or the box as the user would.
    void Click(int id) { SendMessageA(GetDlgItem(m_dlg.GetHwnd(), id), BM_CLICK, 0, 0); }
    void SetStep(const char* text) {
        SetDlgItemTextA(m_dlg.GetHwnd(), IDC_WAVE_STEP, text);
        Click(IDC_WAVE_SET);
    }
    void Single(const TestReport& report) {
        report.StoreIn(&m_record);
        m_dlg.ShowWaveForm();
    }
    void Both(const TestReport& report) {
        report.StoreIn(&m_record);
        m_dlg.ShowStatistics();
    }
    // Reports of channel 0 and 1 in turn until the 31st of channel 0
    // completes its run of BMAX samples.
    void RunBothUntilStop() {
        for (int i = 0; i < 61; ++i) Both(i % 2 == 0 ? kChannel0 : kChannel1);
    }
    std::string Line(int index) {
        std::istringstream lines(m_dlg.GetShownText(0));
        std::string line;
        for (int i = 0; i <= index; ++i) std::getline(lines, line);
        return line;
    }
    RECT DisplayClient() {
        RECT client = {};
        GetClientRect(GetDlgItem(m_dlg.GetHwnd(), IDC_WAVE_DISPLAY), &client);
        return client;
    }
    // The leftmost and rightmost column of the canvas with a pixel of colour in area.
    int LeftmostX(const RECT& area, COLORREF colour) {
        for (int x = area.left; x < area.right; ++x)
            if (CountPixels({x, area.top, x + 1, area.bottom}, colour) > 0) return x;
        return area.right;
    }
    int RightmostX(const RECT& area, COLORREF colour) {
        for (int x = area.right - 1; x >= area.left; --x)
            if (CountPixels({x, area.top, x + 1, area.bottom}, colour) > 0) return x;
        return area.left - 1;
    }
    int CountPixels(const RECT& area, COLORREF colour) { return CanvasPixels(m_dlg.GetCanvas(), area, colour); }

    NoActivation m_noActivation;
    SavingHost m_host;
    WaveFormRecord m_record;
    SensorCaps m_caps;
};

}  // namespace

TEST_F(WaveFormDlgTest, OpensOnlyWithItsCollaboratorsOnF1AndTheKeptStep) {
    m_dlg.SetWaveFormRecord(NULL);
    EXPECT_EQ(Open(), (HWND)NULL);
    m_dlg.SetWaveFormRecord(&m_record);
    m_dlg.SetSensorCaps(NULL);
    EXPECT_EQ(Open(), (HWND)NULL);
    m_dlg.SetSensorCaps(&m_caps);
    m_host.SetWaveFormBoth(1);  // left from an earlier opening
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(Open(), (HWND)NULL);
    char caption[32];
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ(caption, "Wave Form");
    EXPECT_EQ(GetDlgItemInt(dialog, IDC_WAVE_STEP, NULL, FALSE), 384u);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_WAVE_F1), (UINT)BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_WAVE_BOTH), (UINT)BST_UNCHECKED);
    EXPECT_EQ(m_host.GetWaveFormBoth(), 0u);  // agrees with what is shown
    ASSERT_EQ(m_port.calls.size(), 1u);
    EXPECT_EQ(m_port.calls[0].on, 1u);
    EXPECT_EQ(m_port.calls[0].step, 384);
    EXPECT_EQ(m_port.calls[0].flag, 1);
}

TEST_F(WaveFormDlgTest, SettingsChangeStepAndFlagButTheDialogHoldsOneSwitchOn) {
    ASSERT_NE(Open(), (HWND)NULL);
    SetStep("700");
    Click(IDC_WAVE_F0);
    Click(IDC_WAVE_BOTH);
    EXPECT_EQ(m_host.GetWaveFormBoth(), 1u);
    Click(IDC_WAVE_F1);
    EXPECT_EQ(m_host.GetWaveFormBoth(), 0u);
    EXPECT_EQ(m_port.Held(), 1);
    const WaveFormRequests::Call last = m_port.calls.back();
    EXPECT_EQ(last.step, 700);
    EXPECT_EQ(last.flag, 1);
    // The F0 click asked for flag 0 with the new step.
    EXPECT_EQ(m_port.calls[3].on, 1u);
    EXPECT_EQ(m_port.calls[3].flag, 0);
    EXPECT_EQ(m_port.calls[3].step, 700);

    m_dlg.Destroy();
    EXPECT_EQ(m_port.Held(), 0);
    EXPECT_EQ(m_port.calls.back().on, 0u);
    EXPECT_EQ(m_dlg.GetStep(), 700);  // kept for the next opening
}

TEST_F(WaveFormDlgTest, ResetWhileOpenGivesTheSwitchBackOnce) {
    ASSERT_NE(Open(), (HWND)NULL);
    m_dlg.Reset();
    EXPECT_EQ(m_port.Held(), 0);
    m_dlg.Destroy();
    EXPECT_EQ(m_port.Held(), 0);
}

TEST_F(WaveFormDlgTest, ASwitchOnThatDidNotReachADeviceIsNotGivenBack) {
    m_port.hasDevice = false;
    ASSERT_NE(Open(), (HWND)NULL);
    m_port.hasDevice = true;  // a device came: the next change switches on
    SetStep("10");
    EXPECT_EQ(m_port.calls.size(), 2u);
    m_dlg.Destroy();
    ASSERT_EQ(m_port.calls.size(), 3u);
    EXPECT_EQ(m_port.calls[1].on, 1u);  // a first switch-on, not a change
    EXPECT_EQ(m_port.calls[2].on, 0u);
    EXPECT_EQ(m_port.Held(), 0);
}

TEST_F(WaveFormDlgTest, TheStepIsTheTypedNumberAndStaysAsTyped) {
    ASSERT_NE(Open(), (HWND)NULL);
    const struct {
        const char* typed;
        WORD step;
    } cases[] = {{"0", 0}, {"768", 768}, {"769", 769}, {"1023", 1023}, {"70000", 4464}, {"", 0}};
    for (const auto& c : cases) {
        SetStep(c.typed);
        EXPECT_EQ(m_dlg.GetStep(), c.step) << c.typed;
        EXPECT_EQ(m_port.calls.back().step, c.step) << c.typed;
        char shown[16] = {};
        GetDlgItemTextA(m_dlg.GetHwnd(), IDC_WAVE_STEP, shown, sizeof shown);
        EXPECT_STREQ(shown, c.typed);
    }
}

TEST_F(WaveFormDlgTest, SingleFrequencyStatisticsText) {
    ASSERT_NE(Open(), (HWND)NULL);
    Single({0x01, 1500, 1407, 1024, 60, 10, 40, 5});
    EXPECT_EQ(m_dlg.GetShownText(0),
              "Distance  1500mm\nAvg  1500mm\nMax  1500mm\nMin  1500mm\n\n"
              "Level   312mV( 1407)\nAvg   312mV( 1407)\nMax   312mV( 1407)\nMin   312mV( 1407)\n\n"
              "AGC  3300mV(1024)\nAvg  3300mV(1024)\nMax  3300mV(1024)\nMin  3300mV(1024)\n\n"
              "FMAX: 60  FMIN: 10\nBMAX: 40  BMIN:  5\n\n"
              "FMAX   60\nMax   60\nMin   60\n\nBMAX   40\nMax   40\nMin   40");
    EXPECT_EQ(m_dlg.GetShownText(2), "\n\n\n");

    // Distance 19 and AGC 0 are shown but enter no statistic.
    Single({0x1F, 19, 1406, 0, 70, 10, 30, 5});
    const struct {
        int line;
        const char* text;
    } lines[] = {{0, "Distance    19mm"}, {1, "Avg  1500mm"},          {3, "Min  1500mm"},
                 {5, "Level   302mV( 1406)"}, {6, "Avg   302mV( 1406)"}, {8, "Min   302mV( 1406)"},
                 {10, "AGC     0mV(   0)"},   {11, "Avg  3300mV(1024)"},  {13, "Min  3300mV(1024)"},
                 {19, "Max   70"},           {24, "Min   30"}};
    for (const auto& l : lines) EXPECT_EQ(Line(l.line), l.text) << l.line;
    EXPECT_EQ(m_dlg.GetShownText(2), "Phase Collapsed\nWaveform Collapsed\nLevel Shortage\nUnstable Data");
}

TEST_F(WaveFormDlgTest, ReportsOfTheOtherFrequencyLeaveTheDisplayAlone) {
    ASSERT_NE(Open(), (HWND)NULL);
    Single({0x00, 1500, 1407, 1024, 60, 10, 40, 5});  // F0 while F1 is chosen
    EXPECT_EQ(m_dlg.GetShownText(0), "");
    Click(IDC_WAVE_F0);
    Single({0x01, 1500, 1407, 1024, 60, 10, 40, 5});
    EXPECT_EQ(m_dlg.GetShownText(0), "");
    Single({0x00, 1234, 1407, 1024, 60, 10, 40, 5});
    EXPECT_EQ(Line(0), "Distance  1234mm");
}

TEST_F(WaveFormDlgTest, SingleFrequencyStopsAfterThirtyOnePeakReportsEvenNonStop) {
    ASSERT_NE(Open(), (HWND)NULL);
    Click(IDC_WAVE_NON_STOP);
    for (int i = 0; i < 30; ++i) Single({0x01, 1000, 600, 300, 3, 1, 3, 2});
    EXPECT_FALSE(m_dlg.IsStopped());
    Single({0x01, 1111, 600, 300, 3, 1, 3, 2});
    EXPECT_TRUE(m_dlg.IsStopped());
    EXPECT_EQ(Line(0), "Distance  1111mm");  // the 31st is still shown
    Single({0x01, 2222, 600, 300, 3, 1, 3, 2});
    EXPECT_EQ(Line(0), "Distance  1111mm");

    Press(IDC_WAVE_START);
    EXPECT_FALSE(m_dlg.IsStopped());
    Single({0x01, 2222, 600, 300, 3, 1, 3, 2});
    EXPECT_EQ(Line(1), "Avg  2222mm");  // the statistics started afresh
    Press(IDC_WAVE_STOP);
    Single({0x01, 3333, 600, 300, 3, 1, 3, 2});
    EXPECT_EQ(Line(0), "Distance  2222mm");
}

TEST_F(WaveFormDlgTest, CanvasIsBlackWithTheGridTheTextsAndTheFlags) {
    ASSERT_NE(Open(), (HWND)NULL);
    const RECT c = DisplayClient();
    ASSERT_GT(c.right, 300);
    ASSERT_GT(c.bottom, 200);
    Single({0x01, 1500, 1407, 1024, 60, 10, 40, 5});
    HDC canvas = m_dlg.GetCanvas().GetDc();
    ASSERT_NE(canvas, (HDC)NULL);
    // Grid lines at (bottom - 20) * i / 5, merged over black.
    for (int i = 1; i <= 5; ++i) {
        const int y = (c.bottom - 20) * i / 5;
        EXPECT_EQ(GetPixel(canvas, 1, y), RGB(0, 127, 0)) << i;
        EXPECT_EQ(GetPixel(canvas, 1, y + 1), RGB(0, 0, 0)) << i;
    }
    EXPECT_EQ(GetPixel(canvas, 1, 1), RGB(0, 0, 0));
    // The statistics start at the top right; no flag is set.
    const RECT topRight = {c.right / 2, 0, c.right, 40};
    EXPECT_GT(CountPixels(topRight, RGB(0, 255, 0)), 20);
    const RECT bottom = {0, c.bottom * 3 / 4, c.right, c.bottom};
    EXPECT_EQ(CountPixels(bottom, RGB(255, 0, 0)), 0);
    // The display shows the canvas.
    HWND display = GetDlgItem(m_dlg.GetHwnd(), IDC_WAVE_DISPLAY);
    HDC screen = GetDC(display);
    EXPECT_EQ(GetPixel(screen, 1, (c.bottom - 20) / 5), RGB(0, 127, 0));
    ReleaseDC(display, screen);

    // All four flags: red lines at the bottom.
    Single({0x1F, 1500, 1407, 1024, 60, 10, 40, 5});
    EXPECT_GT(CountPixels(bottom, RGB(255, 0, 0)), 20);
}

TEST_F(WaveFormDlgTest, BothShowsEachChannelInItsColourOncePerPair) {
    ASSERT_NE(Open(), (HWND)NULL);
    Click(IDC_WAVE_BOTH);
    const RECT c = DisplayClient();
    const RECT top = {0, 0, c.right, 40};
    Both(kChannel0);
    EXPECT_EQ(m_dlg.GetShownText(0), "");  // half a pair
    Both({0x01, 2000, 700, 0, 4, 1, 5, 2});  // AGC 0: ignored, not counted
    EXPECT_EQ(m_dlg.GetShownText(0), "");
    Both(kChannel1);
    EXPECT_EQ(Line(0), "Distance  1000mm");
    EXPECT_EQ(Line(5), "Level   195mV(  600)");  // sqrt 436.9 -> 20 -> 195.3
    EXPECT_EQ(m_dlg.GetShownText(1).substr(0, 16), "Distance  2000mm");
    EXPECT_EQ(m_dlg.GetShownText(0).find("FMAX:"), std::string::npos);
    // Channel 1 stands left of channel 0.
    EXPECT_GT(CountPixels(top, RGB(255, 100, 0)), 20);
    EXPECT_LT(RightmostX(top, RGB(255, 100, 0)), LeftmostX(top, RGB(0, 255, 0)));
    EXPECT_EQ(m_dlg.GetLog().GetText(), kPairLine);
}

TEST_F(WaveFormDlgTest, BothOffersTheLogAtTheEndOfARunAndStartsItAfresh) {
    TestFolder folder;
    m_host.answer = folder.Path("run.csv");
    ASSERT_NE(Open(), (HWND)NULL);
    Click(IDC_WAVE_BOTH);
    RunBothUntilStop();
    EXPECT_TRUE(m_dlg.IsStopped());
    EXPECT_EQ(m_host.offers, 1);
    std::string expected = WaveFormLog::kHeader;
    for (int i = 0; i < 30; ++i) expected += kPairLine;  // the pairs before the 61st report
    EXPECT_EQ(ReadBytes(m_host.answer), expected);
    EXPECT_EQ(m_dlg.GetLog().GetText(), "");
}

TEST_F(WaveFormDlgTest, BothKeepsTheLogWhenTheSaveIsCancelledOrFails) {
    TestFolder folder;
    ASSERT_NE(Open(), (HWND)NULL);
    Click(IDC_WAVE_BOTH);
    RunBothUntilStop();  // cancelled
    EXPECT_EQ(m_dlg.GetLog().GetText().size(), 30 * (sizeof kPairLine - 1));
    Press(IDC_WAVE_START);
    Both(kChannel0);
    Both(kChannel1);
    EXPECT_EQ(m_dlg.GetLog().GetText().size(), 31 * (sizeof kPairLine - 1));

    m_host.answer = folder.Path("missing\\run.csv");
    {
        ModalCloser closer(IDOK);
        for (int i = 0; i < 61 && !m_dlg.IsStopped(); ++i) Both(i % 2 == 0 ? kChannel0 : kChannel1);
        EXPECT_NE(closer.texts.find("Cannot open file."), std::string::npos) << closer.texts;
        EXPECT_EQ(closer.owner, m_dlg.GetHwnd());
    }
    EXPECT_EQ(m_host.offers, 2);
    // 31 lines, then 29 pairs before the 31st BMAX of channel 0 after Start.
    EXPECT_EQ(m_dlg.GetLog().GetText().size(), 60 * (sizeof kPairLine - 1));
}

TEST_F(WaveFormDlgTest, BothNonStopKeepsOneLineAndNeverOffers) {
    ASSERT_NE(Open(), (HWND)NULL);
    Click(IDC_WAVE_BOTH);
    Click(IDC_WAVE_NON_STOP);
    for (int i = 0; i < 200; ++i) Both(i % 2 == 0 ? kChannel0 : kChannel1);
    EXPECT_FALSE(m_dlg.IsStopped());
    EXPECT_EQ(m_host.offers, 0);
    EXPECT_EQ(m_dlg.GetLog().GetText(), kPairLine);
}

TEST_F(WaveFormDlgTest, WithoutTheApplicationARunEndsWithoutAnOffer) {
    WaveFormDlg fresh;  // its application was never set
    fresh.SetDevicePort(&m_port);
    fresh.SetWaveFormRecord(&m_record);
    fresh.SetSensorCaps(&m_caps);
    ASSERT_NE(fresh.Create(GetModuleHandleA(NULL), m_owner), (HWND)NULL);
    SendMessageA(GetDlgItem(fresh.GetHwnd(), IDC_WAVE_BOTH), BM_CLICK, 0, 0);
    for (int i = 0; i < 61; ++i) {
        (i % 2 == 0 ? kChannel0 : kChannel1).StoreIn(&m_record);
        fresh.ShowStatistics();
    }
    EXPECT_TRUE(fresh.IsStopped());
    EXPECT_EQ(fresh.GetLog().GetText().size(), 30 * (sizeof kPairLine - 1));
}

TEST_F(WaveFormDlgTest, ControlsFollowTheModelAndTheDisplayKeepsEqualMargins) {
    SensorCaps unknown;
    m_dlg.SetSensorCaps(&unknown);
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    const int ids[] = {IDC_WAVE_STEP, IDC_WAVE_SET, IDC_WAVE_START, IDC_WAVE_STOP,
                       IDC_WAVE_F1,   IDC_WAVE_F0,  IDC_WAVE_BOTH,  IDC_WAVE_NON_STOP};
    for (int id : ids) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
    unknown.SetModel(0x1234);  // any code reads back as model 0
    m_dlg.UpdateControls();
    for (int id : ids) EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;

    SetWindowPos(dialog, NULL, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    RECT client, place;
    GetClientRect(dialog, &client);
    GetWindowRect(GetDlgItem(dialog, IDC_WAVE_DISPLAY), &place);
    MapWindowPoints(NULL, dialog, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(client.right - place.right, place.left);
    EXPECT_EQ(client.bottom - place.bottom, place.left);
}
