#ifndef PROTOCOL_DEVICEHANDOVER_H
#define PROTOCOL_DEVICEHANDOVER_H

#include <windows.h>

#include "framework/CriticalLock.h"
#include "sensor/ScanData.h"

// The data that posted notifications carry by pointer: the version text, the
// realtime scan, FRAM words read and the filter-switch bytes. A device thread
// copies each result in under the lock and posts the address; the main window
// copies it out under the same lock when it handles the message. A newer
// result may replace an older one before the window reads it, but the window
// never sees half of one and half of the next. The device port owns it, so
// the addresses outlive any device that posted them.
class DeviceHandOver {
public:
    static const int kVersionChars = 64;
    static const int kFramWords = 256;

    DeviceHandOver();

    // Readers hold this while they copy from a posted address.
    CriticalLock& GetLock() { return m_lock; }

    // Each copies the data in under the lock and returns the address to post.
    const char* PublishVersion(const char* text);  // at most 64 characters
    const ScanData* PublishScan(const ScanData& scan);
    const WORD* PublishFramWords(const WORD* words, int count);  // at most 256
    const BYTE* PublishFilterSwitch(const BYTE* bytes);          // two bytes

private:
    DeviceHandOver(const DeviceHandOver&) = delete;
    DeviceHandOver& operator=(const DeviceHandOver&) = delete;

    CriticalLock m_lock;  // guards every field below
    char m_version[kVersionChars + 1];
    ScanData m_scan;
    WORD m_framWords[kFramWords];
    BYTE m_filterSwitch[2];
};

#endif
