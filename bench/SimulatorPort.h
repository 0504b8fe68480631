#ifndef BENCH_SIMULATORPORT_H
#define BENCH_SIMULATORPORT_H

#include <stdio.h>
#include <stdlib.h>

#include "framework/ChildWindow.h"
#include "protocol/DeviceHost.h"
#include "protocol/DevicePort.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"

// The simulator's COM port, from TIV_SIM_COM; 0 when there is none, after
// naming the script that runs the benchmark beside it.
inline int SimulatorCom(const char* script) {
    const char* com = getenv("TIV_SIM_COM");
    const int number = com != NULL ? atoi(com) : 0;
    if (number == 0) printf("needs the sensor simulator: run bench/%s\n", script);
    return number;
}

// Hands the device port its collaborators, as the application does.
inline void WirePort(DevicePort* port, DeviceHost* application, ChildWindow* frame, WaveFormRecord* waveForm,
                     SensorCaps* caps) {
    port->SetApplication(application);
    port->SetFrame(frame);
    port->SetWaveFormRecord(waveForm);
    port->SetSensorCaps(caps);
}

#endif
