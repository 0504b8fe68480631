#ifndef DIALOGS_TIVINFOTEXT_H
#define DIALOGS_TIVINFOTEXT_H

#include <windows.h>

#include <string>
#include <vector>

class SensorCaps;

// The lines of the sensor information tree, built from the sensor's
// capabilities and the texts of a language module (0 = the program). Each
// line is cut to what a 256-byte buffer holds: module texts may be of any
// length. No windows here, so the wording is tested without a dialog.
class TivInfoText {
public:
    static const size_t kLineBytes = 256;
    static const int kCounterCount = 8;

    explicit TivInfoText(HMODULE module) : m_module(module) {}

    // A text of the module's string table; "" when it has none.
    std::string Load(UINT id) const;
    // "label : value".
    static std::string Join(const std::string& label, const std::string& value);
    // "ZOR Control Program Ver.<text>", or "Unacquirable" without a version.
    std::string VersionLine(const SensorCaps& caps) const;
    // The children of the Functions branch, in order.
    std::vector<std::string> FunctionLines(const SensorCaps& caps) const;
    // The trouble item's text for a trouble code (0xFF: not known).
    std::string TroubleLine(BYTE code) const;
    // "label : count" for counter 0..7, the count unsigned.
    std::string CounterLine(int index, DWORD count) const;

private:
    std::string Output3Value(const SensorCaps& caps) const;
    std::string Input4Value(const SensorCaps& caps) const;

    HMODULE m_module;
};

#endif
