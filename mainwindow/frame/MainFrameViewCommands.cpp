#include "mainwindow/frame/MainFrame.h"

#include "dialogs/NumericalInputDlg.h"
#include "dialogs/PlayBackDlg.h"
#include "framework/LanguageResource.h"
#include "mainwindow/bands/Rebar.h"
#include "mainwindow/frame/StatusBar.h"
#include "mainwindow/view/ScanView.h"
#include "protocol/DevicePort.h"
#include "resources/MenuIds.h"
#include "sensor/ScanShape.h"

// The View menu and the view band: tool bar, bands and status bar, the
// view's layers, play-back, the area the sensor selects, the view's modes
// and the grid circles.

namespace {

// The band that a band command (32788..32793) shows or hides.
const UINT kFirstBandCommand = ID_VIEW_BAND_FIRST;
const WORD kRedrawNone = 0;
const WORD kRedrawAll = ScanView::kRedrawLayout | ScanView::kRedrawBackground;

int ShowCommand(int visible) {
    return visible ? SW_SHOW : SW_HIDE;
}

// The view's mode of each mode command, in command order.
int ModeOf(WORD id) {
    return id - ID_VIEW_EDIT_AREA;
}

}  // namespace

void MainFrame::AddViewCommands() {
    static const CommandEntry kCommands[] = {
        {ID_VIEW_TOOLBAR, &MainFrame::OnToolBar},
        {ID_VIEW_STATUSBAR, &MainFrame::OnStatusBar},
        {ID_VIEW_REALTIME, &MainFrame::OnShowRealtime},
        {ID_VIEW_LINE_DRAWING, &MainFrame::OnLineDrawing},
        {ID_VIEW_RECORD, &MainFrame::OnShowRecord},
        {ID_VIEW_PLAY_BACK, &MainFrame::OnPlayBack},
        {ID_VIEW_AREA, &MainFrame::OnShowArea},
        {ID_VIEW_SELECTED_BY_SENSOR, &MainFrame::OnSelectedBySensor},
        {ID_VIEW_EDIT_AREA, &MainFrame::OnEditMode},
        {ID_VIEW_MOVE, &MainFrame::OnMoveMode},
        {ID_VIEW_ZOOM, &MainFrame::OnZoomMode},
        {ID_VIEW_GRID_CIRCLE, &MainFrame::OnGridCircle},
    };
    AddCommandTable(kCommands);
    AddCommandRange(ID_VIEW_BAND_FIRST, ID_VIEW_BAND_LAST, &MainFrame::OnToolBar);
}

LRESULT MainFrame::OnToolBar(WORD id, WORD, LPARAM) {
    if (m_rebar != NULL) {
        if (id == ID_VIEW_TOOLBAR) {
            m_settings.toolbarVisible = !m_settings.toolbarVisible;
            m_rebar->Show(ShowCommand(m_settings.toolbarVisible));
        } else {
            UINT band = Rebar::kFirstBandId + (id - kFirstBandCommand);
            m_rebar->ShowBand(band, !m_rebar->IsBandShown(band));
        }
    }
    Relayout();
    UpdateViewMenu();
    return 0;
}

LRESULT MainFrame::OnStatusBar(WORD, WORD, LPARAM) {
    m_settings.statusbarVisible = !m_settings.statusbarVisible;
    if (m_statusBar != NULL) m_statusBar->Show(ShowCommand(m_settings.statusbarVisible));
    Relayout();
    UpdateViewMenu();
    // These two repaint the status bar's panes.
    UpdateCommunicationMenu();
    UpdateAreaMenu();
    return 0;
}

// Realtime scans are asked of the sensor exactly while their layer shows.
LRESULT MainFrame::OnShowRealtime(WORD, WORD, LPARAM) {
    if (m_scanView == NULL) return 0;
    int shown = !m_scanView->TestDrawItem(ScanView::kDrawRealtime);
    m_scanView->SetDrawItem(ScanView::kDrawRealtime, shown);
    UpdateViewMenu();
    RequestRealtime(shown);
    m_scanView->Redraw(kRedrawNone);
    return 0;
}

// The next realtime scan is drawn in the new style; nothing is redrawn now.
LRESULT MainFrame::OnLineDrawing(WORD, WORD, LPARAM) {
    ScanShape* shape = m_workspace.realtimeScan;
    if (shape != NULL) shape->SetOutlineOnly(!shape->IsOutlineOnly());
    UpdateViewMenu();
    return 0;
}

LRESULT MainFrame::OnShowRecord(WORD, WORD, LPARAM) {
    if (m_scanView == NULL) return 0;
    m_scanView->SetDrawItem(ScanView::kDrawRecord, !m_scanView->TestDrawItem(ScanView::kDrawRecord));
    UpdateViewMenu();
    m_scanView->Redraw(kRedrawAll);
    return 0;
}

// The played-back scans are drawn in the realtime layer with the recording
// hidden; afterwards both layers and the sensor's realtime scanning are as
// they were.
LRESULT MainFrame::OnPlayBack(WORD, WORD, LPARAM) {
    if (m_scanView == NULL) return 0;
    int realtime = m_scanView->TestDrawItem(ScanView::kDrawRealtime);
    int record = m_scanView->TestDrawItem(ScanView::kDrawRecord);
    RequestRealtime(FALSE);
    m_scanView->SetDrawItem(ScanView::kDrawRealtime, 1);
    m_scanView->SetDrawItem(ScanView::kDrawRecord, 0);
    m_scanView->Redraw(kRedrawAll);

    if (m_playBackDlg != NULL) m_playBackDlg->Create(LanguageResource().GetModule(), GetHwnd());

    RequestRealtime(realtime);
    m_scanView->SetDrawItem(ScanView::kDrawRealtime, realtime);
    m_scanView->SetDrawItem(ScanView::kDrawRecord, record);
    m_scanView->Redraw(kRedrawAll);
    return 0;
}

// The edit handles follow the area layer unless the sensor chooses the area.
LRESULT MainFrame::OnShowArea(WORD, WORD, LPARAM) {
    if (m_scanView == NULL) return 0;
    int shown = !m_scanView->TestDrawItem(ScanView::kDrawArea);
    m_scanView->SetDrawItem(ScanView::kDrawArea, shown);
    if (!m_selectedBySensor) m_scanView->SetDrawItem(ScanView::kDrawHandles, shown);
    UpdateViewMenu();
    m_scanView->Redraw(kRedrawNone);
    return 0;
}

// While the sensor chooses the area, nothing edits it: the numerical input
// closes, the handles go inactive, and the sensor's output state, which
// names its area, is polled.
LRESULT MainFrame::OnSelectedBySensor(WORD, WORD, LPARAM) {
    m_selectedBySensor = !m_selectedBySensor;
    UpdateViewMenu();
    UpdateAreaMenu();
    if (m_selectedBySensor && m_numericalInputDlg != NULL) m_numericalInputDlg->Destroy();
    if (m_scanView != NULL) {
        int editable = m_scanView->TestDrawItem(ScanView::kDrawArea) && !m_selectedBySensor;
        m_scanView->SetDrawItem(ScanView::kDrawHandles, editable);
        m_scanView->Redraw(kRedrawNone);
    }
    if (m_devicePort != NULL) m_devicePort->SetIoPolling(m_selectedBySensor);
    return 0;
}

// A command from the view band's button carries that button, which has
// checked itself; from the menu or a key the band follows the menu.
LRESULT MainFrame::OnEditMode(WORD id, WORD, LPARAM hwndCtl) {
    CheckMenuRadioItem(GetMenu(GetHwnd()), ID_VIEW_EDIT_AREA, ID_VIEW_ZOOM, id, MF_BYCOMMAND);
    if (hwndCtl == 0 && m_rebar != NULL) m_rebar->SetItemCheck(id, 1);
    if (m_scanView != NULL) m_scanView->SetMode(ModeOf(id));
    return 0;
}

LRESULT MainFrame::OnMoveMode(WORD id, WORD notifyCode, LPARAM hwndCtl) {
    return MainFrame::OnEditMode(id, notifyCode, hwndCtl);
}

LRESULT MainFrame::OnZoomMode(WORD id, WORD notifyCode, LPARAM hwndCtl) {
    return MainFrame::OnEditMode(id, notifyCode, hwndCtl);
}

LRESULT MainFrame::OnGridCircle(WORD, WORD, LPARAM) {
    m_gridCircle = !m_gridCircle;
    if (m_scanView != NULL) m_scanView->SetGridCircle(m_gridCircle);
    UpdateViewMenu();
    return 0;
}
