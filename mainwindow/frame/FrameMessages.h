#ifndef MAINWINDOW_FRAME_FRAMEMESSAGES_H
#define MAINWINDOW_FRAME_FRAMEMESSAGES_H

#include <windows.h>

// Messages the main frame posts to itself: its status bar's area and port
// panes are filled once its window runs, and what a sent notification left
// to be done runs from its message loop. They follow the view's status
// messages (mainwindow/view/ViewMessages.h) in number.

const UINT WM_STATUS_UPDATE_AREA = 0x606;  // posted by the frame to itself; 0, 0
const UINT WM_STATUS_UPDATE_PORT = 0x607;  // posted by the frame to itself; 0, 0
const UINT WM_FRAME_DEFERRED = 0x608;      // posted by the frame to itself; 0, heap std::function

#endif
