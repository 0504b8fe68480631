// The time from a link level request to the level in force, with the
// realtime scan running, at 19.2, 57.6 and 115.2 kbit/s, against the target:
// twice the longest reply's line time (a scan) plus one link tick. A request
// made just after a scan began waits for it, and the answer to the challenge
// waits for the next one.
//
// Needs the simulator beside it, pacing its line; bench/run-level-raise-bench
// starts both.
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "bench/ScanCounter.h"
#include "mainwindow/program/Application.h"
#include "protocol/DevicePort.h"
#include "protocol/LinkOp.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"

namespace {

const int kRounds = 8;
const DWORD kLevelTimeoutMs = 15000;

struct Rate {
    WORD deviceType;
    const char* name;
};

// The longest reply's line time: a whole scan, at the line's settings.
double ScanReplySeconds(DevicePort& port) {
    DCB dcb;
    DWORD mask, in, out;
    port.GetConfig(&dcb, &mask, &in, &out);
    const double bitsPerByte = 1 + dcb.ByteSize + (dcb.StopBits == TWOSTOPBITS ? 2 : 1);
    std::string reply(2 * ScanData::kStepCount + 2, '\0'), frame;
    SensorDeviceBase::AssembleFrame(reply, frame);
    return static_cast<double>(frame.size()) * bitsPerByte / dcb.BaudRate;
}

// One level raise from 1 to 2 at a random moment of a scan's reply, then
// back to 1 with realtime flowing again; the seconds it took, or -1.
double RaiseOnce(DevicePort& port, ScanCounter& frame, std::mt19937& random, double scanSeconds) {
    if (!frame.WaitForScans(frame.Scans() + 2, kLevelTimeoutMs)) return -1;
    Sleep(static_cast<DWORD>(random() % static_cast<unsigned>(scanSeconds * 1000)));
    const double start = BenchSeconds();
    port.AcquireLinkLevel(2);
    const bool raised = frame.WaitForLevel(2, kLevelTimeoutMs);
    const double seconds = BenchSeconds() - start;
    port.ReleaseLinkLevel(2);
    return raised && frame.WaitForLevel(1, kLevelTimeoutMs) ? seconds : -1;
}

// The rounds at one rate; 1 when every raise met the target.
int Measure(DevicePort& port, ScanCounter& frame, const Rate& rate, std::mt19937& random) {
    if (!port.SelectDevice(rate.deviceType) || !frame.WaitForLevel(1, kLevelTimeoutMs)) {
        printf("%s: not linked\n", rate.name);
        return 0;
    }
    const double scan = ScanReplySeconds(port);
    const double target = 2 * scan + LinkOp::kIntervalMs / 1000.0;
    std::vector<double> times;
    for (int i = 0; i < kRounds; ++i) {
        const double t = RaiseOnce(port, frame, random, scan);
        if (t < 0) {
            printf("%s: round %d: level 2 never came (level %ld)\n", rate.name, i + 1, frame.Level());
            return 0;
        }
        times.push_back(t);
    }
    std::sort(times.begin(), times.end());
    const double slowest = times.back();
    printf("%s: scan reply %.2f s; level 1 -> 2 in min %.2f s, median %.2f s, max %.2f s; target %.2f s: %s\n",
           rate.name, scan, times.front(), times[times.size() / 2], slowest, target,
           slowest <= target ? "met" : "MISSED");
    fflush(stdout);
    return slowest <= target ? 1 : 0;
}

}  // namespace

int main() {
    const char* com = getenv("TIV_SIM_COM");
    if (com == NULL || atoi(com) == 0) {
        printf("needs the sensor simulator: run bench/run-level-raise-bench\n");
        return 2;
    }
    const Rate rates[] = {{0, "19.2 kbit/s"}, {1, "57.6 kbit/s"}, {2, "115.2 kbit/s"}};
    SensorCaps caps;
    WaveFormRecord waveForm;
    Application application;
    ScanCounter frame;
    std::mt19937 random(43);
    std::unique_ptr<DevicePort> port(new DevicePort);
    port->SetApplication(&application);
    port->SetFrame(&frame);
    port->SetWaveFormRecord(&waveForm);
    port->SetSensorCaps(&caps);
    int ok = port->CreateEvents() && port->SelectDevice(rates[0].deviceType) && port->RequestOpen(atoi(com)) &&
             port->SetRealtime(1);
    for (const Rate& rate : rates) ok = Measure(*port, frame, rate, random) && ok;
    port->SetRealtime(0);
    port->Detach();
    return ok ? 0 : 1;
}
