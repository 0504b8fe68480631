#ifndef DIALOGS_DIALOGMESSAGES_H
#define DIALOGS_DIALOGMESSAGES_H

#include <windows.h>

// Messages the dialogs post or send to their owners.

// The progress dialog's Cancel: posted to its owner, wParam and lParam 0.
const UINT WM_PROGRESS_CANCEL = 0x500;

// The recording dialog's end: posted to the main frame, beside the device's
// notifications, whose numbers skip it.
const UINT WM_RECORD_END = WM_USER + 6;

// The serial monitor's own: posted to itself when lines wait to be shown, so
// a burst of frames is inserted in one batch. wParam and lParam 0.
const UINT WM_MONITOR_FLUSH = 0x501;

// The current area was edited or another one chosen: sent to the main frame
// by the numerical input dialog and by the view's mouse modes; 0, 0. The
// frame redraws and refreshes the dialog.
const UINT WM_AREA_EDITED = 0x580;

#endif
