#ifndef PROTOCOL_OPERATIONPARAMS_H
#define PROTOCOL_OPERATIONPARAMS_H

#include <windows.h>

// Parameter blocks that the device's requests hand to an operation's Start
// (as its argument). The operation copies them before Start returns.

// FRAM transfer (command 0xA4).
struct FramParams {
    enum Mode : DWORD { kReadAreas = 0, kWriteAreas = 1, kReadWords = 2, kWriteWords = 3 };
    DWORD mode;
    BYTE first;        // index of the first FRAM word
    BYTE count;        // number of words; 0 means 64
    const WORD* data;  // the words to write; ignored when reading
};

// I/O polling or forcing (command 0xA8).
struct IoParams {
    enum Mode : DWORD { kForce = 0, kPoll = 1 };
    DWORD mode;
    BYTE disguised;
    BYTE mask;
};

// Waveform report of one scan step (command 0xA9).
struct WaveFormParams {
    WORD step;
    BYTE flag;
};

#endif
