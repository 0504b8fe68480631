#ifndef TESTS_DIALOGS_MEMORYREQUESTS_H
#define TESTS_DIALOGS_MEMORYREQUESTS_H

#include <windows.h>

#include "protocol/DevicePort.h"

#include <vector>

// A device port that records the memory editors' requests instead of
// starting operations.
class MemoryRequests : public DevicePort {
public:
    struct Request {
        WORD start;
        WORD count;
        std::vector<WORD> words;  // what a write hands over
    };

    int ReadFram(BYTE first, BYTE count) override {
        framReads.push_back({first, count, {}});
        return 1;
    }
    int WriteFram(const WORD* words, BYTE first, BYTE count) override {
        // The FRAM editor hands its whole table of 256 words.
        framWrites.push_back({first, count, std::vector<WORD>(words, words + 256)});
        return 1;
    }
    int ReadRam(WORD start, WORD count) override {
        ramReads.push_back({start, count, {}});
        return 1;
    }
    int WriteRam(const WORD* words, WORD start, WORD count) override {
        ramWrites.push_back({start, count, std::vector<WORD>(words, words + count)});
        return 1;
    }

    std::vector<Request> framReads, framWrites, ramReads, ramWrites;
};

#endif
