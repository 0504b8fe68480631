#include "mainwindow/MainFrame.h"

#include "resources/MenuIds.h"

// The View menu and the view band: tool bar, bands and status bar, the
// view's layers, play-back, the area the sensor selects, the view's modes
// and the grid circles.

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

LRESULT MainFrame::OnToolBar(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnStatusBar(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnShowRealtime(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnLineDrawing(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnShowRecord(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnPlayBack(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnShowArea(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnSelectedBySensor(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnEditMode(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnMoveMode(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnZoomMode(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnGridCircle(WORD, WORD, LPARAM) {
    return 0;
}
