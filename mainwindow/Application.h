#ifndef MAINWINDOW_APPLICATION_H
#define MAINWINDOW_APPLICATION_H

#include <windows.h>

#include "sensor/SensorCaps.h"

// The application object: it owns the program's long-lived objects and offers
// the services the device side and the dialogs call.
//
// So far it holds what the device operations ask of it: the connected
// sensor's capabilities (for the scan's step count) and the flag that the
// FRAM has been read. The stored values are plain 32-bit loads and stores:
// a reader on another thread sees either the old or the new value.
class Application {
public:
    Application();
    virtual ~Application();

    // The number of scan steps of the connected sensor. Device threads.
    virtual int GetStepCount();
    // 1 once the FRAM editor has read the FRAM; cleared for a new connection.
    virtual DWORD GetValue5();
    virtual void SetValue5(DWORD value);

private:
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    SensorCaps m_sensorCaps;
    volatile LONG m_value5;  // any thread
};

#endif
