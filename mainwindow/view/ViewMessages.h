#ifndef MAINWINDOW_VIEW_VIEWMESSAGES_H
#define MAINWINDOW_VIEW_VIEWMESSAGES_H

#include <windows.h>

// Messages of the main window and its view: what the view and the tool bands
// tell the frame, and the view's render-thread message. An edited area is
// told with the dialogs' WM_AREA_EDITED (dialogs/DialogMessages.h); what the
// frame posts to itself is in mainwindow/frame/FrameMessages.h.

const UINT WM_AREA_POINTS_PLACED = 0x581;  // sent; 0, 0
const UINT WM_VIEW_REDRAW = 0x600;         // thread message; redraw flags, 0
const UINT WM_STATUS_CURSOR = 0x601;       // posted; x, y in mm
const UINT WM_STATUS_ZOOM_SIZE = 0x602;    // sent; POINT* start, POINT* current (mm)
const UINT WM_STATUS_EDIT_HANDLE = 0x603;  // posted; handle index, POINTS value
const UINT WM_STATUS_CLEAR_HINT = 0x604;   // posted; pane, 0
const UINT WM_STATUS_HINT = 0x605;         // posted; string id, 0

#endif
