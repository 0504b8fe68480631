#ifndef MAINWINDOW_FRAME_FRAMEHOST_H
#define MAINWINDOW_FRAME_FRAMEHOST_H

#include <windows.h>

#include "protocol/DeviceHost.h"

// What the main frame needs from the application that hosts it, beyond what
// the device side and the frame's dialogs do: the document and the file
// dialogs of areas and measuring data, the firmware update from a file, the
// port to open and the one a firmware update reopens, and the program's end.
// The application object implements it; these calls come on the
// user-interface thread.
class FrameHost : public DeviceHost {
public:
    // The area file last opened or saved is the document: the caption names
    // it and Save writes it. An empty path (New) forgets it.
    virtual BOOL GetDocumentPath(char* buffer, DWORD size) = 0;
    virtual void SetDocumentPath(const char* path) = 0;
    // The file dialogs: 1 and the full path in buffer when the user chose a
    // file that fits it.
    virtual BOOL OpenAreaFileDialog(char* buffer, DWORD size) = 0;
    virtual BOOL SaveAreaFileDialog(char* buffer, DWORD size) = 0;
    virtual BOOL OpenMeasurementFileDialog(char* buffer, DWORD size) = 0;
    // Asks for an update file ("*.tiv") and starts the firmware update from it.
    virtual int OpenUpdateFile() = 0;
    // Opens COM port (0 closes) through the device port.
    virtual int OpenPort(int port) = 0;
    // The port a firmware update reopens; 0 keeps the stored port number.
    virtual void SetValue4(DWORD value) = 0;
    // Drops every link and ends the message loop with exit code 1.
    virtual void Quit() = 0;
};

#endif
