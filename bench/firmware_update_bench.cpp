// Update time of a full image (the 126 pages of the in-memory image) through
// the device port against the sensor simulator pacing its line at
// 19.2 kbit/s, beside the line time of the frames exchanged: the start,
// one erase, then a program and a read-back per page, and the final reset,
// each request and reply at the line's bits per byte. Target: within 1.2
// times the line time.
//
// Needs the simulator beside it; bench/run-firmware-update-bench starts both.
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <memory>

#include "framework/OwnedHandle.h"
#include "mainwindow/frame/MainFrame.h"
#include "mainwindow/program/Application.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"
#include "protocol/FirmwareUpdateOp.h"
#include "protocol/SensorDeviceBase.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"

namespace {

const WORD kDevice19200 = 0;
const DWORD kTimeoutMs = 180000;

double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The main window's end: keeps the link level and the update's result.
class ResultWatch : public MainFrame {
public:
    ResultWatch() : m_level(0), m_result(-1), m_event(CreateEventA(NULL, FALSE, FALSE, NULL)) {}

    BOOL PostMessage(UINT msg, WPARAM wParam, LPARAM) override {
        if (msg == WM_DEVICE_CONNECTION_CHANGED) {
            InterlockedExchange(&m_level, static_cast<LONG>(wParam));
            SetEvent(m_event);
        }
        return TRUE;
    }
    LRESULT SendMessage(UINT msg, WPARAM wParam, LPARAM) override {
        if (msg == WM_DEVICE_FIRMWARE_RESULT) {
            m_finished = Now();
            InterlockedExchange(&m_result, static_cast<LONG>(wParam));
            SetEvent(m_event);
        }
        return 0;
    }
    bool WaitFor(volatile LONG* field, LONG value, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        while (InterlockedCompareExchange(field, 0, 0) != value) {
            const DWORD waited = GetTickCount() - start;
            if (waited >= timeoutMs) return false;
            WaitForSingleObject(m_event, timeoutMs - waited);
        }
        return true;
    }

    volatile LONG m_level;
    volatile LONG m_result;
    double m_finished = 0;

private:
    OwnedHandle m_event;
};

size_t FrameBytes(size_t messageBytes) {
    std::string message(messageBytes - 2, '\0');
    std::string frame;
    SensorDeviceBase::AssembleFrame(message, frame);
    return frame.size();
}

// Frame bytes of the whole exchange, messages with their CRC.
size_t ExchangeBytes(int pages, int erases) {
    const size_t start = FrameBytes(5) + FrameBytes(6);
    const size_t erase = FrameBytes(9) + FrameBytes(10);
    const size_t program = FrameBytes(265) + FrameBytes(10);
    const size_t read = FrameBytes(9) + FrameBytes(265);
    return start + erases * erase + pages * (program + read) + FrameBytes(5);
}

}  // namespace

int main() {
    const char* com = getenv("TIV_SIM_COM");
    if (com == NULL || atoi(com) == 0) {
        printf("needs the sensor simulator: run bench/run-firmware-update-bench\n");
        return 2;
    }
    SensorCaps caps;
    WaveFormRecord waveForm;
    Application application;
    ResultWatch frame;
    std::unique_ptr<DevicePort> port(new DevicePort);
    port->SetApplication(&application);
    port->SetFrame(&frame);
    port->SetWaveFormRecord(&waveForm);
    port->SetSensorCaps(&caps);
    int ok = port->CreateEvents() && port->SelectDevice(kDevice19200) && port->RequestOpen(atoi(com)) &&
             frame.WaitFor(&frame.m_level, 1, 20000);
    if (!ok) printf("no link at level 1\n");
    DCB dcb;
    DWORD mask, in, out;
    port->GetConfig(&dcb, &mask, &in, &out);
    const double bitsPerByte = 1 + dcb.ByteSize + (dcb.StopBits == TWOSTOPBITS ? 2 : 1);

    const double begun = Now();
    ok = ok && port->StartFirmwareFromImage() && frame.WaitFor(&frame.m_result, 1, kTimeoutMs);
    if (ok) {
        const double seconds = frame.m_finished - begun;
        const size_t bytes = ExchangeBytes(FirmwareUpdateOp::kImagePages, 1);
        const double lineTime = bytes * bitsPerByte / dcb.BaudRate;
        printf("firmware update: %d pages at %lu baud, %.0f bits per byte, %u frame bytes exchanged\n",
               FirmwareUpdateOp::kImagePages, dcb.BaudRate, bitsPerByte, static_cast<unsigned>(bytes));
        printf("firmware update: %.2f s; line time %.2f s; ratio %.3f (target at most 1.2: %s)\n", seconds, lineTime,
               seconds / lineTime, seconds <= 1.2 * lineTime ? "met" : "NOT met");
    } else {
        printf("firmware update failed (result %ld)\n", frame.m_result);
    }
    port->Detach();
    port.reset();
    return ok ? 0 : 1;
}
