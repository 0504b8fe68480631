#ifndef TESTS_DIALOGS_SWITCHLOGPORT_H
#define TESTS_DIALOGS_SWITCHLOGPORT_H

#include <cstdio>
#include <string>
#include <vector>

#include "protocol/DevicePort.h"

// The device port as the dialogs use it, its device left out: each switch
// and I/O write is logged ("io:1", "trouble:0", "stats:1", "write:10,30")
// and answered 1, as the real port answers a switch it counted.
class SwitchLogPort : public DevicePort {
public:
    int SetIoPolling(DWORD on) override { return Log("io", on); }
    int SetTroublePolling(DWORD on) override { return Log("trouble", on); }
    int SetStatisticsPolling(DWORD on) override { return Log("stats", on); }
    int WriteIo(BYTE disguised, BYTE mask) override {
        char entry[16];
        snprintf(entry, sizeof entry, "write:%02x,%02x", disguised, mask);
        m_log.push_back(entry);
        return 1;
    }

    std::vector<std::string> m_log;

private:
    int Log(const char* name, DWORD on) {
        m_log.push_back(std::string(name) + ":" + std::to_string(on));
        return 1;
    }
};

#endif
