#include "mainwindow/frame/StatusBar.h"
#include "resources/MenuIds.h"
#include "tests/framework/ModalScript.h"
#include "tests/mainwindow/frame/CommandBench.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const WORD kRecord = ScanView::kDrawRecord;
const WORD kRealtime = ScanView::kDrawRealtime;
const WORD kArea = ScanView::kDrawArea;
const WORD kHandles = ScanView::kDrawHandles;

class ViewCommands : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(static_cast<HWND>(NULL), bench.Start()); }

    void SetLayers(WORD layers) {
        for (WORD bit : {kRecord, kRealtime, kArea, kHandles}) bench.view.SetDrawItem(bit, (layers & bit) != 0);
    }
    HWND StatusWindow() { return GetDlgItem(bench.frame.GetHwnd(), StatusBar::kControlId); }
    UINT MenuState(WORD id) { return GetMenuState(GetMenu(bench.frame.GetHwnd()), id, MF_BYCOMMAND); }

    CommandBench bench;
};

}  // namespace

TEST_F(ViewCommands, ToolBarAndBandCommandsShowAndHideTheirWindows) {
    bench.Command(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(bench.rebar.IsShown());
    EXPECT_EQ(0, bench.frame.GetSettings().toolbarVisible);
    bench.Command(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(bench.rebar.IsShown());
    EXPECT_EQ(1, bench.frame.GetSettings().toolbarVisible);

    // The print band starts hidden; each command flips one band.
    const struct {
        WORD id;
        UINT band;
        BOOL shownAfter;
    } cases[] = {
        {32788, 2100, FALSE}, {32789, 2101, FALSE}, {32793, 2105, TRUE},
        {32788, 2100, TRUE},  {32793, 2105, FALSE},
    };
    for (const auto& c : cases) {
        bench.frame.viewMenuUpdates = 0;
        bench.Command(c.id);
        EXPECT_EQ(c.shownAfter, bench.rebar.IsBandShown(c.band)) << c.id;
        EXPECT_EQ(1, bench.frame.viewMenuUpdates) << c.id;
    }
    EXPECT_FALSE(bench.rebar.IsBandShown(2101));
    EXPECT_TRUE(bench.rebar.IsBandShown(2102));
}

TEST_F(ViewCommands, StatusBarCommandHidesTheStatusWindowAndTheViewTakesItsPlace) {
    ASSERT_NE(static_cast<HWND>(NULL), StatusWindow());
    RECT before;
    GetWindowRect(bench.view.GetHwnd(), &before);
    bench.Command(ID_VIEW_STATUSBAR);
    EXPECT_FALSE(IsWindowVisible(StatusWindow()));
    EXPECT_EQ(0, bench.frame.GetSettings().statusbarVisible);
    RECT after;
    GetWindowRect(bench.view.GetHwnd(), &after);
    EXPECT_GT(after.bottom - after.top, before.bottom - before.top);
    bench.Command(ID_VIEW_STATUSBAR);
    EXPECT_TRUE(IsWindowVisible(StatusWindow()));
}

// Realtime scanning is asked of the sensor exactly while its layer shows.
TEST_F(ViewCommands, RealtimeLayerSwitchesTheSensorsScanning) {
    SetLayers(kRealtime | kArea | kHandles);
    bench.port.realtime.clear();
    bench.Command(ID_VIEW_REALTIME);
    EXPECT_EQ(0, bench.view.TestDrawItem(kRealtime));
    bench.Command(ID_VIEW_REALTIME);
    EXPECT_EQ(1, bench.view.TestDrawItem(kRealtime));
    EXPECT_EQ((std::vector<DWORD>{0, 1}), bench.port.realtime);
}

// During the play-back the played scans take the realtime layer and the
// recording is hidden; afterwards the layers and the sensor's realtime
// scanning are exactly as before.
TEST_F(ViewCommands, PlayBackRestoresTheLayersAndRealtimeScanning) {
    const struct {
        bool realtimeHidden;  // by its command, so the sensor's scanning is off
        WORD layers;
        std::vector<DWORD> realtime;
    } cases[] = {
        {false, kRealtime | kArea, {0, 1}},
        {true, kRecord | kArea, {}},
    };
    for (const auto& c : cases) {
        if (c.realtimeHidden) bench.Command(ID_VIEW_REALTIME);
        SetLayers(c.layers);
        bench.port.realtime.clear();
        bench.view.redraws.clear();
        // The play-back dialog is modal: Escape ends it.
        ModalScript closer({{IDCANCEL, ""}});
        bench.Command(ID_VIEW_PLAY_BACK);
        EXPECT_EQ(1u, closer.seen.size()) << c.layers;
        bench.CloseOwnedDialogs();
        EXPECT_EQ(c.layers, bench.view.Layers()) << c.layers;
        EXPECT_EQ(c.realtime, bench.port.realtime) << c.layers;
        ASSERT_EQ(2u, bench.view.redraws.size()) << c.layers;
        EXPECT_EQ((c.layers | kRealtime) & ~kRecord, bench.view.redraws[0].layers) << c.layers;
        EXPECT_EQ(c.layers, bench.view.redraws[1].layers) << c.layers;
    }
}

// The handles follow the area layer only while the user chooses the area.
TEST_F(ViewCommands, AreaLayerTakesTheHandlesUnlessTheSensorChooses) {
    const struct {
        bool bySensor;
        WORD before;
        WORD after;
    } cases[] = {
        {false, kArea | kHandles, 0},
        {false, 0, kArea | kHandles},
        {true, 0, kArea},
        {true, kArea, 0},
    };
    for (const auto& c : cases) {
        if (c.bySensor) bench.Command(ID_VIEW_SELECTED_BY_SENSOR);
        SetLayers(c.before);
        bench.Command(ID_VIEW_AREA);
        EXPECT_EQ(c.after, bench.view.Layers()) << c.bySensor << " " << c.before;
        if (c.bySensor) bench.Command(ID_VIEW_SELECTED_BY_SENSOR);
    }
}

// Letting the sensor choose deactivates the handles and polls the sensor's
// outputs, which name its area; turning it off gives the handles back.
TEST_F(ViewCommands, SelectedBySensorTakesTheHandlesAndPollsTheOutputs) {
    SetLayers(kArea | kHandles);
    bench.Command(ID_VIEW_SELECTED_BY_SENSOR);
    EXPECT_EQ(kArea, bench.view.Layers());
    bench.Command(ID_VIEW_SELECTED_BY_SENSOR);
    EXPECT_EQ(kArea | kHandles, bench.view.Layers());
    EXPECT_EQ((std::vector<DWORD>{1, 0}), bench.port.ioPolling);
}

// A key or menu command checks the band's button too; a click on the band
// button checks the menu's radio item.
TEST_F(ViewCommands, ModeCommandsKeepMenuBandAndViewInStep) {
    const WORD ids[] = {ID_VIEW_MOVE, ID_VIEW_ZOOM, ID_VIEW_EDIT_AREA};
    for (WORD id : ids) {
        bench.Command(id);
        EXPECT_EQ(id - ID_VIEW_EDIT_AREA, bench.view.GetMode()) << id;
        EXPECT_NE(0u, MenuState(id) & MF_CHECKED) << id;
        EXPECT_EQ(BST_CHECKED, bench.rebar.SendItemMessage(id, BM_GETCHECK, 0, 0)) << id;
        for (WORD other : ids) {
            if (other == id) continue;
            EXPECT_EQ(BST_UNCHECKED, bench.rebar.SendItemMessage(other, BM_GETCHECK, 0, 0)) << id;
        }
    }
    HWND zoomButton = bench.rebar.GetItemWindow(ID_VIEW_ZOOM);
    ASSERT_NE(static_cast<HWND>(NULL), zoomButton);
    SendMessageA(zoomButton, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(zoomButton, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(zoomButton, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(2, bench.view.GetMode());
    EXPECT_NE(0u, MenuState(ID_VIEW_ZOOM) & MF_CHECKED);
    EXPECT_EQ(0u, MenuState(ID_VIEW_EDIT_AREA) & MF_CHECKED);
}
