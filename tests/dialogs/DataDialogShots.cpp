// Not a test of its own: scripts/dialog-shots runs it to take the
// screenshots of the recording, play-back and numerical input dialogs. It
// opens all three with made-up data and hands their places to the script.
#include <gtest/gtest.h>

#include "dialogs/NumericalInputDlg.h"
#include "dialogs/PlayBackDlg.h"
#include "dialogs/RecordDlg.h"
#include "dialogs/RecordingView.h"
#include "framework/ChildWindow.h"
#include "framework/LanguageResource.h"
#include "framework/LittleEndian.h"
#include "protocol/DevicePort.h"
#include "resources/resource.h"
#include "sensor/AreaSet.h"
#include "sensor/MeasuringData.h"
#include "sensor/SensorCaps.h"
#include "tests/dialogs/ModalDriver.h"
#include "tests/dialogs/ProgressDlgHost.h"
#include "tests/dialogs/ShotHandOver.h"
#include "tests/framework/TestSettings.h"

#include <commctrl.h>

namespace {

const DWORD kTimeoutMs = 30000;

void Place(HWND dialog, int x, int y) {
    SetWindowPos(dialog, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// A detection area of seven points with its outputs, Ratio shape, output 1
// in two-scan mode.
void LoadArea(AreaSet* areas) {
    const int points[7][2] = {{2500, -400}, {2800, 1800}, {1200, 3000}, {0, 3200},
                              {-1200, 3000}, {-2800, 1800}, {-2500, -400}};
    BYTE record[34] = {};
    for (int i = 0; i < 7; ++i) {
        WriteLeWord(record + 4 * i, static_cast<WORD>(points[i][0]));
        WriteLeWord(record + 4 * i + 2, static_cast<WORD>(points[i][1]));
    }
    WriteLeWord(record + 28, 2400);
    WriteLeWord(record + 30, 1600);
    record[32] = (2 << 3) | 0x01;
    areas->SetCurrentRaw(record);
}

// Nothing is recorded: the view has nothing to draw.
class UnseenView : public RecordingView {
public:
    void RedrawRecording() override {}
    void DrawRecordedScan() override {}
};

}  // namespace

TEST(DataDialogShots, RecordPlayBackAndNumericalInput) {
    ShotHandOver shots;
    if (!shots.Wanted()) GTEST_SKIP() << "run by scripts/dialog-shots";
    TestSettings settings;
    ASSERT_GE(LanguageResource().Enumerate(GetModuleHandleA(NULL)), 1);
    SensorCaps caps;
    AreaSet areas;
    areas.SetDevice(&caps);
    ASSERT_TRUE(areas.Init());
    LoadArea(&areas);
    MeasuringData data;
    for (int i = 0; i < 120; ++i) data.Append(ScanData());
    ProgressDlgHost application;
    DevicePort port;
    UnseenView view;
    ChildWindow frame;

    NumericalInputDlg numerical;
    numerical.SetSensorCaps(&caps);
    numerical.SetAreaSet(&areas);
    ASSERT_NE(numerical.Create(GetModuleHandleA(NULL), NULL), (HWND)NULL);
    Place(numerical.GetHwnd(), 16, 16);
    SetFocus(NULL);
    numerical.UpdateControls();

    RecordDlg record;
    record.SetApplication(&application);
    record.SetMainFrame(&frame);
    record.SetDevicePort(&port);
    record.SetScanView(&view);
    record.SetMeasuringData(&data);
    PlayBackDlg playBack;
    playBack.SetMeasuringData(&data);

    // The play-back opens inside the recording's modal loop, and the
    // screenshots are taken inside the play-back's.
    bool shown = false;
    auto shoot = [&](HWND playBackWindow) {
        SendDlgItemMessageA(playBackWindow, IDC_PLAY_BACK_SLIDER, TBM_SETPOS, TRUE, 37);
        SendMessageA(playBackWindow, WM_HSCROLL, TB_ENDTRACK, 0);
        RECT left;
        GetWindowRect(numerical.GetHwnd(), &left);
        Place(record.GetHwnd(), left.right + 16, 16);
        RECT upper;
        GetWindowRect(record.GetHwnd(), &upper);
        Place(playBackWindow, left.right + 16, upper.bottom + 16);
        ModalDriver::PumpUntil([] { return false; }, 500);  // everything paints
        shots.Add("numerical-input.png", numerical.GetHwnd());
        shots.Add("record.png", record.GetHwnd());
        shots.Add("play-back.png", playBackWindow);
        shown = shots.HandOver(kTimeoutMs);
        EndDialog(playBackWindow, 0);
    };
    ModalDriver::Run(
        record,
        [&](HWND recordWindow) {
            SetDlgItemTextA(recordWindow, IDC_RECORD_COUNT, "100");
            ModalDriver::Run(playBack, shoot, [&] { playBack.Create(GetModuleHandleA(NULL), recordWindow); });
            EndDialog(recordWindow, 0);
        },
        [&] { record.Create(GetModuleHandleA(NULL), NULL); });
    numerical.Destroy();
    EXPECT_TRUE(shown);
}
