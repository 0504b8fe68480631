#ifndef PROTOCOL_DEVICEHOST_H
#define PROTOCOL_DEVICEHOST_H

#include <windows.h>

#include "framework/MessagePump.h"

class ProgressView;

// What the device side needs from the application that hosts it: the
// sensor's step count, the values shared between the user interface and
// the device threads, the progress window, the area image for a firmware
// update from memory, and the message pump; and the one file dialog that
// the dialogs seeing the application through it use. The application
// object implements it; tests give a small double.
//
// Threads: the progress calls and PumpMessages run on the user-interface
// thread; the others are called by device threads too. The shared values
// are single 32-bit loads and stores without a lock.
class DeviceHost : public MessagePump {
public:
    // The connected sensor's number of scan steps.
    virtual int GetStepCount() = 0;
    // The level switch is on.
    virtual DWORD GetValue1() = 0;
    virtual void SetValue1(DWORD value) = 0;
    // The waveform is shown for both selector values.
    virtual DWORD GetWaveFormBoth() = 0;
    virtual void SetWaveFormBoth(DWORD value) = 0;
    // The firmware update includes the boot part.
    virtual DWORD GetValue3() = 0;
    virtual void SetValue3(DWORD value) = 0;
    // The FRAM has been read on this connection.
    virtual DWORD GetValue5() = 0;
    virtual void SetValue5(DWORD value) = 0;
    // A started progress window owned by owner (0: the main window), or 0.
    virtual ProgressView* BeginProgress(HWND owner) = 0;
    // Ends and deletes the window; 0 for a null pointer.
    virtual BOOL EndProgress(ProgressView* dialog) = 0;
    // The area image table that a firmware update from memory sends.
    virtual const WORD* GetImageBuffer() = 0;
    // The save dialog of a measurement file ("*.csv"), for the dialogs that
    // write one; FALSE when nothing was chosen. Without a user interface
    // nothing is.
    virtual BOOL SaveMeasurementFileDialog(char* /*buffer*/, DWORD /*size*/) { return FALSE; }
};

#endif
