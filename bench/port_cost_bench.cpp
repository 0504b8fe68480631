// What waiting on the serial port costs: the device port linked to the sensor
// simulator at 115.2 kbit/s, idle and with realtime on, then with the device
// lost and found again. The program only marks its phases on standard output;
// bench/run-port-cost-bench reads the CPU times and resident memory of this
// process and of the wineserver from /proc at each mark, kills and restarts
// the simulator when asked, and prints the figures.
//
//   port_cost_bench            idle, realtime, lost device, reopened
//   port_cost_bench --memory   realtime on for ten minutes, marks at 1 and 10
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <memory>

#include "bench/ScanCounter.h"
#include "mainwindow/program/Application.h"
#include "protocol/DevicePort.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"

namespace {

const WORD kDevice115200 = 2;
const DWORD kPhaseMs = 15000;
const DWORD kTimeoutMs = 20000;
const DWORD kMinuteMs = 60000;

void Mark(const char* what, const char* name) {
    printf("%s %s\n", what, name);
    fflush(stdout);
}

bool Link(DevicePort& port, ScanCounter& frame, int com) {
    frame.ForgetOpened();
    if (!port.RequestOpen(com) || !frame.WaitForOpened(com * 2 + 1, kTimeoutMs)) {
        printf("COM%d did not open\n", com);
        return false;
    }
    if (!frame.WaitForLevel(1, kTimeoutMs)) {
        printf("COM%d did not link\n", com);
        return false;
    }
    return true;
}

// The simulator is killed by the runner: the port must close by itself and
// say so; then, with a new simulator on the same port, it opens and links.
bool LoseAndFind(DevicePort& port, ScanCounter& frame, int com) {
    const double killed = BenchSeconds();
    frame.ForgetOpened();
    Mark("KILL", "simulator");
    const bool reported = frame.WaitForOpened(1, kTimeoutMs);
    if (reported)
        printf("lost device: port closed and reported %.0f ms after the kill\n",
               1000 * (BenchSeconds() - killed));
    else
        printf("lost device: no report in %lu ms (last port report %ld)\n", kTimeoutMs, frame.Opened());
    Mark("PHASE", "lost");
    Sleep(kPhaseMs);
    Mark("END", "lost");
    Mark("RESTART", "simulator");
    Sleep(2000);  // the runner starts the new simulator
    const double reopened = BenchSeconds();
    if (!Link(port, frame, com)) return false;
    printf("reopened and linked in %.0f ms\n", 1000 * (BenchSeconds() - reopened));
    return reported;
}

bool Costs(DevicePort& port, ScanCounter& frame, int com) {
    Sleep(2000);  // the link's first exchanges settle
    Mark("PHASE", "idle");
    Sleep(kPhaseMs);
    Mark("END", "idle");
    port.SetRealtime(1);
    frame.WaitForScans(frame.Scans() + 3, kTimeoutMs);
    Mark("PHASE", "realtime");
    const double ratio = MeasureRealtime(port, frame, "realtime", kPhaseMs);
    Mark("END", "realtime");
    port.SetRealtime(0);
    return ratio > 0 && LoseAndFind(port, frame, com);
}

bool Memory(DevicePort& port, ScanCounter& frame) {
    port.SetRealtime(1);
    const DWORD start = GetTickCount();
    for (DWORD minute : {1u, 10u}) {
        const DWORD due = minute * kMinuteMs;
        while (GetTickCount() - start < due) Sleep(1000);
        char name[16];
        snprintf(name, sizeof(name), "%lumin", static_cast<unsigned long>(minute));
        printf("%s: %ld scans so far\n", name, frame.Scans());
        Mark("MARK", name);
    }
    port.SetRealtime(0);
    return frame.Scans() > 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* com = getenv("TIV_SIM_COM");
    if (com == NULL || atoi(com) == 0) {
        printf("needs the sensor simulator: run bench/run-port-cost-bench\n");
        return 2;
    }
    const bool memory = argc > 1 && strcmp(argv[1], "--memory") == 0;
    SensorCaps caps;
    WaveFormRecord waveForm;
    Application application;
    ScanCounter frame;
    std::unique_ptr<DevicePort> port(new DevicePort);
    port->SetApplication(&application);
    port->SetFrame(&frame);
    port->SetWaveFormRecord(&waveForm);
    port->SetSensorCaps(&caps);
    bool ok = port->CreateEvents() && port->SelectDevice(kDevice115200) && Link(*port, frame, atoi(com));
    ok = ok && (memory ? Memory(*port, frame) : Costs(*port, frame, atoi(com)));
    Mark("DONE", ok ? "ok" : "failed");
    port->Detach();
    port.reset();
    return ok ? 0 : 1;
}
