// Time from opening the COM port to the first good frame delivered, and the
// request/reply round trip, against the sensor simulator:
//   tools/sensorsim/run-with-sim --com 9 --log /tmp/sim.log -- scripts/wine-run build/bench/serial_link_bench.exe
#include "bench/BenchClock.h"
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "framework/OwnedHandle.h"
#include "protocol/SensorDeviceBase.h"
#include "protocol/SerialPort.h"

namespace {

// Counts good frames and signals each one.
class CountingPort : public SerialPort {
public:
    CountingPort() : m_frames(0) {
        m_inQueueSize = 4096;
        m_outQueueSize = 4096;
        m_dcb.BaudRate = CBR_19200;
        m_eventMask = EV_RXCHAR;
        m_frame.Reset(CreateEventA(NULL, FALSE, FALSE, NULL));
    }
    ~CountingPort() override { Close(); }
    void OnCommEvent(DWORD) override {
        std::vector<std::string> messages;
        if (ReadAll(m_buffer) == 0) return;
        SensorDeviceBase::ExtractMessages(m_buffer, messages);
        if (messages.empty()) return;
        InterlockedExchangeAdd(&m_frames, static_cast<LONG>(messages.size()));
        SetEvent(m_frame);
    }
    bool WaitFrame() { return WaitForSingleObject(m_frame, 5000) == WAIT_OBJECT_0; }

private:
    std::string m_buffer;  // receive thread only
    LONG m_frames;
    OwnedHandle m_frame;
};

void Report(const char* what, std::vector<double> ms) {
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    printf("%-34s min %.1f ms, median %.1f ms, max %.1f ms (%u runs)\n", what, ms.front(), ms[ms.size() / 2],
           ms.back(), static_cast<unsigned>(ms.size()));
}

}  // namespace

int main(int argc, char** argv) {
    const char* env = getenv("TIV_SIM_COM");
    const int com = argc > 1 ? atoi(argv[1]) : env != NULL ? atoi(env) : 0;
    if (com == 0) {
        printf("usage: serial_link_bench COM (or TIV_SIM_COM), with the sensor simulator on that port\n");
        return 2;
    }
    std::string request = "\xA0\x69", frame;
    SensorDeviceBase::AssembleFrame(request, frame);

    CountingPort port;
    if (!port.CreateEvents()) return 1;
    std::vector<double> firstFrame, roundTrip, close;
    for (int run = 0; run < 20; ++run) {
        const double start = BenchMilliseconds();
        if (!port.Open(com)) {
            printf("cannot open COM%d: error %lu\n", com, GetLastError());
            return 1;
        }
        port.WriteAll(frame);
        if (!port.WaitFrame()) break;
        firstFrame.push_back(BenchMilliseconds() - start);
        for (int i = 0; i < 10; ++i) {
            const double sent = BenchMilliseconds();
            port.WriteAll(frame);
            if (!port.WaitFrame()) break;
            roundTrip.push_back(BenchMilliseconds() - sent);
        }
        const double closing = BenchMilliseconds();
        port.Close();
        close.push_back(BenchMilliseconds() - closing);
    }
    Report("open to first good frame", firstFrame);
    Report("request to reply", roundTrip);
    Report("close", close);
    return 0;
}
