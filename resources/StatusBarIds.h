#ifndef RESOURCES_STATUSBARIDS_H
#define RESOURCES_STATUSBARIDS_H

// The status bar's icon strip and texts, and the status-bar hints of the
// menu commands (a command's hint is the string with the command's id).
#define IDB_STATUS_ICONS 1024

// The area names go on from "Area1" (IDS_AREA_NAME_FIRST) to "Area15".
#define IDS_AREA_NAME_LAST 8206
// The baud rates: "Auto", then one per rate index 0, 1, 2.
#define IDS_RATE_AUTO 8320
#define IDS_RATE_FIRST 8321
#define IDS_PORT_DISCONNECT 8704
// Edit information: a point of output 1, the distance of output 2 or 3.
#define IDS_EDIT_POINT 8960
#define IDS_EDIT_OUTPUT 8961

// Hints that a whole range of commands shares, formatted with the number.
#define IDS_HINT_SELECT_AREA 32814
#define IDS_HINT_PORT 33023

#endif
