// Realtime scans per second through the device port against the sensor
// simulator pacing its line, at 115.2 and 57.6 kbit/s, compared with what
// the line can carry.
//
// Needs the simulator beside it; bench/run-realtime-scan-bench starts both.
#include <stdio.h>
#include <stdlib.h>
#include <memory>

#include "bench/ScanCounter.h"
#include "mainwindow/program/Application.h"
#include "protocol/DevicePort.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"

namespace {

const DWORD kMeasureMs = 15000;

// One rate: the device type selected (unless it is already), the link and
// realtime settled, scans counted over the measuring time. 0 when none came.
int Measure(DevicePort& port, ScanCounter& frame, WORD type, bool select, const char* name) {
    if (select && !port.SelectDevice(type)) {
        printf("%s: device type %u cannot be selected\n", name, type);
        return 0;
    }
    return MeasureRealtime(port, frame, name, kMeasureMs) > 0 ? 1 : 0;
}

}  // namespace

int main() {
    const char* com = getenv("TIV_SIM_COM");
    if (com == NULL || atoi(com) == 0) {
        printf("needs the sensor simulator: run bench/run-realtime-scan-bench\n");
        return 2;
    }
    SensorCaps caps;
    WaveFormRecord waveForm;
    Application application;
    ScanCounter frame;
    std::unique_ptr<DevicePort> port(new DevicePort);
    port->SetApplication(&application);
    port->SetFrame(&frame);
    port->SetWaveFormRecord(&waveForm);
    port->SetSensorCaps(&caps);
    // The port worker opens the port and asks for level 1; the counters keep
    // level 1 and realtime, and each device selection replays them.
    int ok = port->CreateEvents() && port->SelectDevice(2) && port->RequestOpen(atoi(com)) &&
             port->SetRealtime(1);
    ok = ok && Measure(*port, frame, 2, false, "115.2 kbit/s");
    ok = ok && Measure(*port, frame, 1, true, "57.6 kbit/s");
    port->SetRealtime(0);
    port->Detach();
    port.reset();
    return ok ? 0 : 1;
}
