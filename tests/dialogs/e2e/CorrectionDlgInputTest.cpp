// Real mouse input to the correction dialog's table: run on a screen of its
// own (add_on_screen_test), where the clicks reach no other window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/CorrectionDlg.h"
#include "framework/GridCells.h"
#include "protocol/DevicePort.h"
#include "sensor/SensorCaps.h"
#include "tests/dialogs/e2e/SimulatedSensor.h"
#include "tests/framework/TestSettings.h"
#include "tests/framework/UserInput.h"

namespace {

// The distance writes the dialog asks for; like the real port without an
// operation for them, it sends nothing and returns 0.
class WriteRequests : public DevicePort {
public:
    int WriteCorrection(BYTE point, WORD distance) override {
        requests.push_back(std::to_string(point) + " " + std::to_string(distance));
        return 0;
    }
    std::vector<std::string> requests;
};

}  // namespace

TEST(CorrectionDlgInput, DoubleClickOnARowWritesItsDistance) {
    TestSettings settings;
    SensorCaps caps;
    caps.SetModel(0);  // an editable table of four rows
    WriteRequests port;
    CorrectionDlg dialog;
    dialog.SetSensorCaps(&caps);
    dialog.SetDevicePort(&port);
    HWND window = dialog.Create(GetModuleHandleA(NULL), NULL);
    ASSERT_NE(window, (HWND)NULL);
    SetWindowPos(window, HWND_TOP, 700, 300, 0, 0, SWP_NOSIZE);
    HWND grid = dialog.GetGrid().GetHwnd();
    // In one burst, or at a hand's pace: the first click handled before the
    // second comes, well within the double-click time.
    const auto doubleClick = [&](int row, int col, bool paced) {
        const int x = col * CorrectionGrid::kColumnWidth + CorrectionGrid::kColumnWidth / 2;
        const int y = row * GridCells::kRowHeight + GridCells::kRowHeight / 2;
        const POINT at = ScreenPoint(grid, x, y);
        if (!paced) return ClickAt(at, 2);
        if (!ClickAt(at)) return false;
        PumpUntil([] { return false; }, 120);
        return ClickAt(at);
    };
    const struct {
        int row, col;
        bool paced;
        std::vector<std::string> written;
    } cases[] = {
        {0, 0, false, {}},          // the header: nothing, as the next row's write alone shows
        {2, 1, false, {"1 1000"}},  // a value: its row's distance
        {4, 0, false, {"3 3000"}},  // an editable distance: written, not edited
        {4, 0, true, {"3 3000"}},   // the same, now the current cell
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(doubleClick(c.row, c.col, c.paced));
        if (c.written.empty()) continue;
        ASSERT_TRUE(PumpUntil([&] { return !port.requests.empty(); }, 10000)) << c.row << (c.paced ? " paced" : "");
        EXPECT_EQ(port.requests, c.written) << c.row;
        // Nor does an editor open once the double-click time has passed.
        EXPECT_FALSE(PumpUntil([&] { return dialog.GetGrid().GetEditorHwnd() != NULL; }, GetDoubleClickTime() + 200))
            << c.row;
        port.requests.clear();
    }
    dialog.Destroy();
}
