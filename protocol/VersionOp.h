#ifndef PROTOCOL_VERSIONOP_H
#define PROTOCOL_VERSIONOP_H

#include "protocol/DeviceOperation.h"

#include <string>

#include "framework/CriticalLock.h"

// The operation of the version command: asks for the sensor's 64-character
// version text every 500 ms while the link is at level 1 or above, and ends
// itself on the first tick below it. The polling is how the program notices
// the sensor; the text is reported only when it differs from the last one
// reported, because every report refreshes menus and dialogs.
class VersionOp : public DeviceOperation {
public:
    static const BYTE kCommand = 0xA1;
    static const DWORD kIntervalMs = 500;
    static const size_t kTextChars = 64;

    VersionOp();
    ~VersionOp() override;

    // Any thread: a copy of the last text received.
    virtual std::string GetText();
    // Any thread: empties the text, so that the next reply is reported again
    // (a new connection); returns the emptied text.
    virtual std::string ClearText();

    virtual LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnStart(WPARAM wParam, LPARAM lParam);
    virtual LRESULT HandleReply(WPARAM wParam, LPARAM lParam);
    virtual int SendRequest();

private:
    bool IsLinked();
    // Keeps text; false when it is the one kept already.
    bool Remember(const char* text);

    CriticalLock m_lock;           // guards m_text
    char m_text[kTextChars + 1];  // the text last received and reported
};

#endif
