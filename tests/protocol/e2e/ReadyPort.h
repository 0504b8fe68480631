#ifndef TESTS_PROTOCOL_E2E_READYPORT_H
#define TESTS_PROTOCOL_E2E_READYPORT_H

#include <windows.h>

#include "framework/ChildWindow.h"
#include "protocol/DevicePort.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"

// Hands the port the stand-ins it reports to, creates its events and selects
// the device type: what every test on the simulator's line does before the
// open. False when the events or the device could not be had.
inline bool ReadyPort(DevicePort* port, DeviceHost* application, ChildWindow* frame, WaveFormRecord* waveForm,
                      SensorCaps* caps, WORD deviceType) {
    port->SetApplication(application);
    port->SetFrame(frame);
    port->SetWaveFormRecord(waveForm);
    port->SetSensorCaps(caps);
    return port->CreateEvents() == 1 && port->SelectDevice(deviceType) == 1;
}

#endif
