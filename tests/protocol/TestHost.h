#ifndef TESTS_PROTOCOL_TESTHOST_H
#define TESTS_PROTOCOL_TESTHOST_H

#include <windows.h>

#include "protocol/DeviceHost.h"
#include "sensor/ScanData.h"

// The application as the device side sees it, for tests: the step count is
// the test's, the shared values are stored, no progress window opens.
class TestHost : public DeviceHost {
public:
    TestHost() : m_steps(ScanData::kStepCount), m_values() {}

    void SetStepCount(int steps) { InterlockedExchange(&m_steps, steps); }

    void PumpMessages() override {}
    BOOL Yield() override { return SwitchToThread(); }
    int GetStepCount() override { return static_cast<int>(InterlockedCompareExchange(&m_steps, 0, 0)); }
    DWORD GetValue1() override { return Get(0); }
    void SetValue1(DWORD value) override { Set(0, value); }
    DWORD GetWaveFormBoth() override { return Get(1); }
    void SetWaveFormBoth(DWORD value) override { Set(1, value); }
    DWORD GetValue3() override { return Get(2); }
    void SetValue3(DWORD value) override { Set(2, value); }
    DWORD GetValue5() override { return Get(4); }
    void SetValue5(DWORD value) override { Set(4, value); }
    ProgressView* BeginProgress(HWND) override { return NULL; }
    BOOL EndProgress(ProgressView* dialog) override { return dialog != NULL; }
    const WORD* GetImageBuffer() override { return NULL; }

private:
    DWORD Get(int i) { return static_cast<DWORD>(InterlockedCompareExchange(&m_values[i], 0, 0)); }
    void Set(int i, DWORD value) { InterlockedExchange(&m_values[i], static_cast<LONG>(value)); }

    volatile LONG m_steps;
    volatile LONG m_values[5];  // the five shared values, by number - 1
};

#endif
