#ifndef DIALOGS_MONITORDECODER_H
#define DIALOGS_MONITORDECODER_H

#include <windows.h>

#include <string>

// Turns one message of the serial line (command byte, sub-command, data, two
// CRC bytes) into the serial monitor's text line: the direction's prefix, the
// command's name and sub-command, its fields decoded by the command's layout,
// " ???" for what no layout fits, " CRC Error" for a message whose CRC does
// not check, and the line's colour.
//
// The filter says which command and sub-command rows, and which directions,
// give lines. Every length is taken from the caller: a message may hold zero
// bytes anywhere, and no field is read past its end.
//
// Pure: no windows, no state besides the filter and the step count.
class MonitorDecoder {
public:
    enum Result { kDecoded = 0, kUnknown = 1, kFilteredOut = 2 };
    enum SubCommand { kGet = 0, kSet = 1, kCommit = 2, kSubCommands = 3 };

    static const BYTE kFirstCommand = 0xA0;
    static const int kCommands = 16;  // 0xA0 .. 0xAF
    static const COLORREF kSentColour = 0x00C000;
    static const COLORREF kReceivedColour = 0xC00000;
    static const COLORREF kBadColour = 0x0000C0;

    struct Filter {
        bool boxes[kCommands][kSubCommands];
        bool transmit;
        bool receive;
        bool undefined;
    };

    MonitorDecoder();

    // Every box that a layout uses, both directions and unknown messages.
    static Filter AllChecked();
    // Whether some layout of the command reads that sub-command; the others'
    // boxes stay disabled and unchecked.
    static bool IsBoxUsed(int command, int sub);
    // The row label of command kFirstCommand + k.
    static const char* RowLabel(int k);

    void SetFilter(const Filter& filter) { m_filter = filter; }
    // The steps of a distance reply (the connected sensor's step count).
    void SetStepCount(int steps) { m_steps = steps; }
    // Nonzero: the connected sensor speaks another protocol and its messages
    // are shown as raw characters.
    void SetModel(WORD model) { m_model = model; }

    // 1 with the line (ending in "\n") and its colour; 0 when the filter
    // drops the message or it is empty.
    int ComposeLine(int direction, const BYTE* message, size_t length, std::string* line, COLORREF* colour) const;
    // Appends the command's name, sub-command and fields to the line.
    int Decode(int direction, const BYTE* message, size_t length, std::string* line) const;
    // The frame CRC over the whole message, its CRC bytes included; 0 when
    // the message is intact.
    static WORD FrameCrc(const BYTE* message, size_t length);

    struct Field;
    struct Layout;

private:
    int DecodeFields(const Field* fields, const BYTE* message, size_t length, std::string* line) const;
    const Layout* FindLayout(int k, BYTE sub, int direction, size_t length) const;

    Filter m_filter;
    int m_steps;
    WORD m_model;
};

#endif
