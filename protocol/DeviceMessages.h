#ifndef PROTOCOL_DEVICEMESSAGES_H
#define PROTOCOL_DEVICEMESSAGES_H

#include <windows.h>

// The program's own window messages from the sensor side to the main frame,
// and the thread messages that drive every device operation. Each number is
// defined here and nowhere else.

// Device operations: thread messages to the operation's own thread.
const UINT WM_OP_START = WM_USER + 0;  // start: wParam and lParam 0
const UINT WM_OP_REPLY = WM_USER + 1;  // a reply waits in the operation's reply queue
const UINT WM_OP_LOST = WM_USER + 2;   // the sensor has gone: wParam and lParam 0

// The port worker: thread messages to its own thread.
const UINT WM_COMWORKER_OPEN = 0x800;  // wParam: 1..256 opens that COM port, any other value closes
const UINT WM_COMWORKER_SCAN = 0x801;  // wParam 0
const UINT WM_COMWORKER_LOST = 0x802;  // wParam: the port session whose device has gone
const UINT WM_COMWORKER_RETIRE = 0x803;  // wParam: a device a swap left in use, to close and delete

// Notifications to the main frame. "Sent" ones hold the sending thread until
// the frame returns, so their pointers may point into the sender's memory.
const UINT WM_DEVICE_PORT_OPENED = WM_USER + 0;         // posted: port 1..256 or 0, success
const UINT WM_DEVICE_PORT_LIST = WM_USER + 1;           // posted: new[] copy of eight 32-bit port bit words, the frame frees it
const UINT WM_DEVICE_TYPE_RECOGNIZED = WM_USER + 2;     // posted: baud index 0, 1, 2
const UINT WM_DEVICE_CONNECTION_CHANGED = WM_USER + 3;  // posted: link level 0..3
const UINT WM_DEVICE_SENSOR_INFO = WM_USER + 4;         // posted: version text
const UINT WM_DEVICE_SCAN = WM_USER + 5;                // posted: realtime ScanData
// WM_USER + 6 is the recording dialog's end (dialogs/DialogMessages.h).
const UINT WM_DEVICE_RAM_DATA = WM_USER + 7;            // posted
const UINT WM_DEVICE_RAM_WRITTEN = WM_USER + 8;         // posted
const UINT WM_DEVICE_AREA_READ = WM_USER + 9;           // sent: 238-byte area table or 0
const UINT WM_DEVICE_AREA_WRITTEN = WM_USER + 10;       // sent: one of the results below
const UINT WM_DEVICE_FRAM_DATA = WM_USER + 11;          // posted: words, first | count << 16
const UINT WM_DEVICE_FRAM_WRITTEN = WM_USER + 12;       // posted: result, first | count << 16
const UINT WM_DEVICE_FUNCTIONS_READ = WM_USER + 13;     // posted: function word
const UINT WM_DEVICE_FUNCTION_WRITTEN = WM_USER + 14;   // posted
const UINT WM_DEVICE_CORRECTION_DISTANCES = WM_USER + 15;
const UINT WM_DEVICE_CORRECTION_DISTANCE_WRITTEN = WM_USER + 16;
const UINT WM_DEVICE_CORRECTION_ANGLE = WM_USER + 17;
const UINT WM_DEVICE_CORRECTION_DONE = WM_USER + 18;
const UINT WM_DEVICE_OUTPUT_STATE = WM_USER + 19;      // posted: state, b | c << 16
const UINT WM_DEVICE_IO_FORCED = WM_USER + 20;         // posted: 1 confirmed, 0 not
const UINT WM_DEVICE_WAVE_FORM = WM_USER + 21;         // posted: the record was refilled
const UINT WM_DEVICE_NOTIFICATION = WM_USER + 22;      // posted: type, value
// Posted by the device port as a switch replaces a device: the device
// notifications posted before it came from the replaced one.
const UINT WM_DEVICE_SWAPPED = WM_USER + 23;           // posted: 0, 0
const UINT WM_DEVICE_TROUBLE = WM_USER + 25;           // posted: trouble code
const UINT WM_DEVICE_STATISTICS = WM_USER + 26;        // posted: counts or 0
const UINT WM_DEVICE_FIRMWARE_RESULT = WM_USER + 27;   // sent: update result
const UINT WM_DEVICE_FUNCTION_SETTING = WM_USER + 28;  // posted: option byte
const UINT WM_DEVICE_FUNCTION_SETTING_WRITTEN = WM_USER + 29;
const UINT WM_DEVICE_SENSITIVITY = WM_USER + 30;
const UINT WM_DEVICE_SENSITIVITY_WRITTEN = WM_USER + 31;
const UINT WM_DEVICE_FILTER_READ = WM_USER + 32;  // posted: the two filter-switch bytes
const UINT WM_DEVICE_FILTER_WRITTEN = WM_USER + 33;
const UINT WM_DEVICE_SCAN2 = WM_USER + 34;             // posted: ScanData
const UINT WM_DEVICE_COM_MONITOR_LINE = WM_USER + 35;  // sent: direction, message bytes

// The results of an area write. A write that failed after a block may have
// gone into the sensor leaves it holding part of the new areas.
const WPARAM kAreasNotWritten = 0;
const WPARAM kAreasWritten = 1;
const WPARAM kAreasPartlyWritten = 2;

#endif
