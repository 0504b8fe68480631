#include "mainwindow/MainFrame.h"

#include "mainwindow/ViewMessages.h"

// What the view, the tool bands and the numerical input dialog tell the
// frame about edits, the cursor and hints, and the two pane updates the frame
// posts itself; each becomes an update of the status bar, the view or the
// menus.

void MainFrame::AddStatusNotifications() {
    static const MessageEntry kNotifications[] = {
        {WM_AREA_EDITED, &MainFrame::OnAreaDataChanged},
        {WM_AREA_POINTS_PLACED, &MainFrame::OnUser581},
        {WM_STATUS_CURSOR, &MainFrame::OnCursorPosition},
        {WM_STATUS_ZOOM_SIZE, &MainFrame::OnStatus602},
        {WM_STATUS_EDIT_HANDLE, &MainFrame::OnStatus603},
        {WM_STATUS_CLEAR_HINT, &MainFrame::OnStatusText},
        {WM_STATUS_HINT, &MainFrame::OnMenuHelp},
        {WM_STATUS_UPDATE_AREA, &MainFrame::UpdateAreaPane},
        {WM_STATUS_UPDATE_PORT, &MainFrame::UpdatePortPane},
    };
    AddMessageTable(kNotifications);
}

LRESULT MainFrame::OnAreaDataChanged(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser581(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnCursorPosition(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnStatus602(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnStatus603(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnStatusText(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnMenuHelp(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::UpdateAreaPane(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::UpdatePortPane(WPARAM, LPARAM) {
    return 0;
}
