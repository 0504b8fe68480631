#include "protocol/DeviceHandOver.h"

#include <string.h>

DeviceHandOver::DeviceHandOver() {
    ZeroMemory(m_version, sizeof(m_version));
    ZeroMemory(m_framWords, sizeof(m_framWords));
    ZeroMemory(m_filterSwitch, sizeof(m_filterSwitch));
}

const char* DeviceHandOver::PublishVersion(const char* text) {
    CriticalLock::Hold hold(m_lock);
    ZeroMemory(m_version, sizeof(m_version));
    if (text != NULL) strncpy(m_version, text, kVersionChars);
    return m_version;
}

const ScanData* DeviceHandOver::PublishScan(const ScanData& scan) {
    CriticalLock::Hold hold(m_lock);
    m_scan = scan;
    return &m_scan;
}

const WORD* DeviceHandOver::PublishFramWords(const WORD* words, int count) {
    if (count > kFramWords) count = kFramWords;
    CriticalLock::Hold hold(m_lock);
    if (words != NULL && count > 0) CopyMemory(m_framWords, words, count * sizeof(WORD));
    return m_framWords;
}

const BYTE* DeviceHandOver::PublishFilterSwitch(const BYTE* bytes) {
    CriticalLock::Hold hold(m_lock);
    if (bytes != NULL) CopyMemory(m_filterSwitch, bytes, sizeof(m_filterSwitch));
    return m_filterSwitch;
}
