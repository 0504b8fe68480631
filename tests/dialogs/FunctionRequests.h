#ifndef TESTS_DIALOGS_FUNCTIONREQUESTS_H
#define TESTS_DIALOGS_FUNCTIONREQUESTS_H

#include <windows.h>

#include "protocol/DevicePort.h"

#include <vector>

// A device port that records the requests of the function, function setting
// and filter switch dialogs. Like the real device, which has no operation
// for them, it answers each with 0.
class FunctionRequests : public DevicePort {
public:
    int WriteFunction(WORD function) override {
        functions.push_back(function);
        return 0;
    }
    int WriteFunctionSetting(BYTE option) override {
        options.push_back(option);
        return 0;
    }
    int ReadFilterSwitch() override {
        ++filterReads;
        return 0;
    }
    int WriteFilterSwitch(const BYTE* bytes) override {
        filterWrites.push_back(static_cast<WORD>(bytes[0] << 8 | bytes[1]));  // byte 0 high
        return 0;
    }
    int SetLevelSwitch(DWORD on) override {
        levels.push_back(on);
        return 0;
    }

    std::vector<WORD> functions;
    std::vector<BYTE> options;
    int filterReads = 0;
    std::vector<WORD> filterWrites;
    std::vector<DWORD> levels;
};

#endif
