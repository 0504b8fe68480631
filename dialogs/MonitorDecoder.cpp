#include "dialogs/MonitorDecoder.h"

#include <cstdio>

#include "protocol/SensorDeviceBase.h"

// Each command's messages are described by layouts: sub-command, direction,
// the message's whole length (command byte and CRC included) and the fields
// to print. A message is decoded by the first layout that fits it; a message
// that none fits is unknown.

enum FieldKind {
    kHex8,      // "%02x" of one byte
    kHex16,     // "%04x" of a little-endian word
    kDec8,      // "%u" of one byte; count > 0: values from count up are unknown
    kDec16,     // "%u" of a little-endian word
    kDec32,     // "%u" of a little-endian double word
    kName,      // the name of one byte's value; values not listed are unknown
    kResult,    // "SUCCESS" when the byte is 1, else "FAILURE"
    kCode,      // count bytes as "%02x" each, run together
    kText,      // the bytes up to the first zero byte or the CRC, in double quotes
    kHexWords,  // count words as " %04x" each
    kSteps,     // one word per scan step as " %u" each
};

struct CodeName {
    BYTE code;
    const char* name;
};

struct MonitorDecoder::Field {
    const char* label;  // NULL ends a layout's fields
    FieldKind kind;
    BYTE offset;
    BYTE count;
    const CodeName* names;
};

struct MonitorDecoder::Layout {
    BYTE sub;        // the sub-command byte
    BYTE direction;  // 0 sent, 1 received
    WORD length;     // 0: two bytes per scan step, plus 4
    WORD longest;    // 0: exactly length
    Field fields[18];
};

namespace {

typedef MonitorDecoder::Field Field;
typedef MonitorDecoder::Layout Layout;

const BYTE kGetByte = 0x69;     // 'i'
const BYTE kSetByte = 0x5A;     // 'Z'
const BYTE kCommitByte = 0xA5;  // the third sub-command of the commands that commit
const WORD kAnyLonger = 0xFFFF;
const size_t kCrcBytes = 2;

const CodeName kLevels[] = {{0, "DISCONNECT"}, {1, "USER"}, {2, "INSPECTOR"}, {3, "DEVELOPER"}, {0, NULL}};
const CodeName kNotifications[] = {{0, "TROUBLE"}, {1, "EMISSION"}, {2, "LINK"}, {3, "AREA"}, {4, "OUTPUT"}, {0, NULL}};
const CodeName kTroubles[] = {{0, "NOTROUBLE"},
                              {1, "TROUBLE_NOTROUBLE"},
                              {2, "TROUBLE_PHOTOINTERRUPTER"},
                              {3, "TROUBLE_MOTOR"},
                              {4, "TROUBLE_MEASUREMENTLED"},
                              {5, "TROUBLE_FRAM"},
                              {6, ""},
                              {7, ""},
                              {0, NULL}};
const CodeName kUpdateRequests[] = {{0x00, "RESET"}, {0x20, "BLOCKERASE"}, {0x41, "PROGRAM"}, {0xFF, "READ"}, {0, NULL}};
const CodeName kUpdateReplies[] = {{0x20, "BLOCKERASE"}, {0x41, "PROGRAM"}, {0xFF, "READ"}, {0, NULL}};

const Layout kLinkLayouts[] = {
    {kGetByte, 0, 4, 0, {}},
    {kGetByte, 1, 12, 0, {{" code:", kCode, 2, 8, NULL}}},
    {kSetByte, 0, 7, 0, {{" level:", kName, 2, 0, kLevels}, {" code:", kCode, 3, 2, NULL}}},
    {kSetByte, 1, 5, 0, {{" level:", kName, 2, 0, kLevels}}},
};
// The version operation's reply carries 64 characters; 32 are read as well.
const Layout kVersionLayouts[] = {
    {kGetByte, 0, 4, 0, {}},
    {kGetByte, 1, 36, 0, {{" ver:", kText, 2, 0, NULL}}},
    {kGetByte, 1, 68, 0, {{" ver:", kText, 2, 0, NULL}}},
};
const Layout kDistanceLayouts[] = {
    {kGetByte, 0, 4, 0, {}},
    {kGetByte, 1, 0, 0, {{" dist:", kSteps, 2, 0, NULL}}},
};
const Field kRamFields[] = {{" address:", kHex16, 2, 0, NULL}, {" value:", kHex16, 4, 0, NULL}};
const Layout kRamLayouts[] = {
    {kGetByte, 0, 6, 0, {kRamFields[0]}},
    {kGetByte, 1, 8, 0, {kRamFields[0], kRamFields[1]}},
    {kSetByte, 0, 8, 0, {kRamFields[0], kRamFields[1]}},
    {kSetByte, 1, 8, 0, {kRamFields[0], kRamFields[1]}},
};
// One word, or the FRAM operation's blocks of 64 words.
const Field kFramFields[] = {
    {" address:", kHex8, 2, 0, NULL}, {" value:", kHex16, 3, 0, NULL}, {" values:", kHexWords, 3, 64, NULL}};
const Layout kFramLayouts[] = {
    {kGetByte, 0, 5, 0, {kFramFields[0]}},
    {kGetByte, 1, 7, 0, {kFramFields[0], kFramFields[1]}},
    {kGetByte, 1, 133, 0, {kFramFields[0], kFramFields[2]}},
    {kSetByte, 0, 7, 0, {kFramFields[0], kFramFields[1]}},
    {kSetByte, 0, 133, 0, {kFramFields[0], kFramFields[2]}},
    {kSetByte, 1, 7, 0, {kFramFields[0], kFramFields[1]}},
    {kSetByte, 1, 133, 0, {kFramFields[0], kFramFields[2]}},
};
const Layout kFunctionLayouts[] = {
    {kGetByte, 0, 4, 0, {}},
    {kGetByte, 1, 6, 0, {{" function:", kHex16, 2, 0, NULL}}},
    {kSetByte, 0, 6, 0, {{" function:", kHex16, 2, 0, NULL}}},
    {kSetByte, 1, 6, 0, {{" function:", kHex16, 2, 0, NULL}}},
};
const Field kPoint = {" point:", kDec8, 2, 4, NULL};
const Field kCorrectionDistance = {" distance:", kDec16, 3, 0, NULL};
const Layout kCorrectionLayouts[] = {
    {kGetByte, 0, 5, 0, {kPoint}},
    {kGetByte,
     1,
     11,
     0,
     {kPoint, kCorrectionDistance, {" 8MHz:", kDec16, 5, 0, NULL}, {" 7.5MHz:", kDec16, 7, 0, NULL}}},
    {kSetByte, 0, 7, 0, {kPoint, kCorrectionDistance}},
    {kSetByte, 1, 6, 0, {kPoint, {" result:", kResult, 3, 0, NULL}}},
};
const Field kDirection = {" direction:", kDec8, 2, 0, NULL};
const Layout kDirectionLayouts[] = {
    {kGetByte, 0, 4, 0, {}},
    {kGetByte, 1, 5, 0, {kDirection}},
    {kSetByte, 0, 5, 0, {kDirection}},
    {kSetByte, 1, 5, 0, {kDirection}},
};
const Layout kIoLayouts[] = {
    {kGetByte, 0, 4, 0, {}},
    {kGetByte,
     1,
     7,
     0,
     {{" status:", kHex8, 2, 0, NULL}, {" disguised:", kHex8, 3, 0, NULL}, {" mask:", kHex8, 4, 0, NULL}}},
    {kSetByte, 0, 6, 0, {{" disguised:", kHex8, 2, 0, NULL}, {" mask:", kHex8, 3, 0, NULL}}},
    {kSetByte, 1, 6, 0, {{" disguised:", kHex8, 2, 0, NULL}, {" mask:", kHex8, 3, 0, NULL}}},
};
const Layout kWaveFormLayouts[] = {
    {kGetByte, 0, 6, 0, {{" position:", kDec8, 2, 0, NULL}, {" frequency:", kDec8, 3, 0, NULL}}},
    {kGetByte,
     1,
     36,
     0,
     {{" position:", kDec8, 2, 0, NULL},
      {" flag:", kHex8, 3, 0, NULL},
      {" phase0average:", kHex16, 4, 0, NULL},
      {" phase0max:", kHex16, 6, 0, NULL},
      {" phase0min:", kHex16, 8, 0, NULL},
      {" phase1average:", kHex16, 10, 0, NULL},
      {" phase1max:", kHex16, 12, 0, NULL},
      {" phase1min:", kHex16, 14, 0, NULL},
      {" phase2average:", kHex16, 16, 0, NULL},
      {" phase2max:", kHex16, 18, 0, NULL},
      {" phase2min:", kHex16, 20, 0, NULL},
      {" phase3average:", kHex16, 22, 0, NULL},
      {" phase3max:", kHex16, 24, 0, NULL},
      {" phase3min:", kHex16, 26, 0, NULL},
      {" distance:", kHex16, 28, 0, NULL},
      {" level:", kHex16, 30, 0, NULL},
      {" agc:", kHex16, 32, 0, NULL}}},
};
const Layout kNotificationLayouts[] = {
    {kGetByte, 1, 6, 0, {{" type:", kName, 2, 0, kNotifications}, {" value:", kHex8, 3, 0, NULL}}},
};
const Field kMotorPosition = {" position:", kDec8, 2, 0, NULL};
const Layout kMotorLayouts[] = {
    {kGetByte, 0, 4, 0, {}},
    {kGetByte, 1, 5, 0, {kMotorPosition}},
    {kSetByte, 0, 5, 0, {kMotorPosition}},
    {kSetByte, 1, 5, 0, {kMotorPosition}},
};
const Field kTroubleType = {" type:", kName, 2, 0, kTroubles};
const Layout kTroubleLayouts[] = {
    {kGetByte, 0, 4, 0, {}},
    {kGetByte, 1, 5, 0, {kTroubleType}},
    {kSetByte, 0, 5, 0, {kTroubleType}},
    {kSetByte, 1, 5, 0, {kTroubleType}},
};
const Layout kTotalLayouts[] = {
    {kGetByte, 0, 4, 0, {}},
    {kGetByte,
     1,
     36,
     0,
     {{" scan:", kDec32, 2, 0, NULL},
      {" output1:", kDec32, 6, 0, NULL},
      {" output2:", kDec32, 10, 0, NULL},
      {" output3:", kDec32, 14, 0, NULL},
      {" interference:", kDec32, 18, 0, NULL},
      {" motor:", kDec32, 22, 0, NULL},
      {" led:", kDec32, 26, 0, NULL},
      {" communication:", kDec32, 30, 0, NULL}}},
};
const Layout kResetLayouts[] = {
    {kSetByte, 0, 4, 0, {}},
};
const Layout kFirmwareUpdateLayouts[] = {
    {kSetByte, 0, 4, 0, {}},
    {kSetByte, 0, 5, kAnyLonger, {{" command:", kName, 2, 0, kUpdateRequests}}},
    {kSetByte, 1, 6, 0, {{" version:", kHex16, 2, 0, NULL}}},
    {kSetByte, 1, 7, kAnyLonger, {{" command:", kName, 2, 0, kUpdateReplies}}},
};
// Sent 4 bytes; the reply tells whether the sensor kept the data.
const Layout kCommitLayouts[] = {
    {kCommitByte, 0, 4, 0, {}},
    {kCommitByte, 1, 5, 0, {{" result:", kResult, 2, 0, NULL}}},
};

struct CommandLayouts {
    const char* label;  // the filter row's label; the line shows it after a space
    bool commits;
    const Layout* layouts;
    size_t count;
};

template <size_t N>
CommandLayouts Command(const char* label, bool commits, const Layout (&layouts)[N]) {
    return CommandLayouts{label, commits, layouts, N};
}

const CommandLayouts kCommandTable[MonitorDecoder::kCommands] = {
    Command("Link", false, kLinkLayouts),
    Command("Version", false, kVersionLayouts),
    Command("Distance", false, kDistanceLayouts),
    Command("RAM", true, kRamLayouts),
    Command("FRAM", true, kFramLayouts),
    Command("Function", true, kFunctionLayouts),
    Command("Correction", true, kCorrectionLayouts),
    Command("Direction", true, kDirectionLayouts),
    Command("I/O", false, kIoLayouts),
    Command("WaveForm", false, kWaveFormLayouts),
    Command("Notification", false, kNotificationLayouts),
    Command("Motor", false, kMotorLayouts),
    Command("Trouble", false, kTroubleLayouts),
    Command("Total", false, kTotalLayouts),
    Command("Reset", false, kResetLayouts),
    Command("FirmwareUpdate", false, kFirmwareUpdateLayouts),
};

const BYTE kSubBytes[MonitorDecoder::kSubCommands] = {kGetByte, kSetByte, kCommitByte};
const char* const kSubNames[MonitorDecoder::kSubCommands] = {" Get", " Set", " Commit"};

int SubIndex(BYTE sub) {
    for (int i = 0; i < MonitorDecoder::kSubCommands; ++i) {
        if (kSubBytes[i] == sub) return i;
    }
    return -1;
}

WORD Word(const BYTE* bytes) {
    return static_cast<WORD>(bytes[0] | (bytes[1] << 8));
}

DWORD DoubleWord(const BYTE* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<DWORD>(bytes[3]) << 24);
}

void AppendFormatted(std::string* line, const char* format, DWORD value) {
    char text[16];
    snprintf(text, sizeof text, format, static_cast<unsigned>(value));
    *line += text;
}

const char* NameOf(const CodeName* names, BYTE code) {
    for (; names->name != NULL; ++names) {
        if (names->code == code) return names->name;
    }
    return NULL;
}

// The bytes a field reads, from its offset; the layout's length has been
// checked, so this only guards a table mistake.
size_t FieldBytes(const Field& field, int steps) {
    switch (field.kind) {
        case kHex16:
        case kDec16:
            return 2;
        case kDec32:
            return 4;
        case kCode:
            return field.count;
        case kHexWords:
            return 2u * field.count;
        case kSteps:
            return 2u * static_cast<size_t>(steps);
        default:
            return 1;
    }
}

}  // namespace

MonitorDecoder::MonitorDecoder() : m_filter(AllChecked()), m_steps(0), m_model(0) {}

MonitorDecoder::Filter MonitorDecoder::AllChecked() {
    Filter filter;
    for (int k = 0; k < kCommands; ++k) {
        for (int s = 0; s < kSubCommands; ++s) filter.boxes[k][s] = IsBoxUsed(k, s);
    }
    filter.transmit = filter.receive = filter.undefined = true;
    return filter;
}

bool MonitorDecoder::IsBoxUsed(int k, int sub) {
    if (k < 0 || k >= kCommands || sub < 0 || sub >= kSubCommands) return false;
    const CommandLayouts& command = kCommandTable[k];
    if (sub == kCommit) return command.commits;
    for (size_t i = 0; i < command.count; ++i) {
        if (command.layouts[i].sub == kSubBytes[sub]) return true;
    }
    return false;
}

const char* MonitorDecoder::RowLabel(int k) {
    return k >= 0 && k < kCommands ? kCommandTable[k].label : "";
}

WORD MonitorDecoder::FrameCrc(const BYTE* message, size_t length) {
    return SensorDeviceBase::Crc16(0, message, length);
}

int MonitorDecoder::ComposeLine(int direction, const BYTE* message, size_t length, std::string* line,
                                COLORREF* colour) const {
    const bool sent = direction == 0;
    if (sent ? !m_filter.transmit : !m_filter.receive) return 0;
    if (length == 0) return 0;
    *line = sent ? "T :" : "R :";
    *colour = sent ? kSentColour : kReceivedColour;
    if (m_model != 0) {
        // Another protocol: its characters as they came, up to a zero byte.
        for (size_t i = 0; i < length && message[i] != 0; ++i) *line += static_cast<char>(message[i]);
    } else {
        const BYTE command = message[0];
        int result = kUnknown;
        if (command >= kFirstCommand && command < kFirstCommand + kCommands) {
            result = Decode(direction, message, length, line);
        }
        if (result == kFilteredOut) return 0;
        if (result == kUnknown) {
            if (!m_filter.undefined) return 0;
            *colour = kBadColour;
            *line += " ???";
        }
        if (FrameCrc(message, length) != 0) {
            *colour = kBadColour;
            *line += " CRC Error";
        }
    }
    *line += "\n";
    return 1;
}

int MonitorDecoder::Decode(int direction, const BYTE* message, size_t length, std::string* line) const {
    if (length == 0) return kUnknown;
    const int k = message[0] - kFirstCommand;
    if (k < 0 || k >= kCommands) return kUnknown;
    *line += ' ';
    *line += kCommandTable[k].label;
    if (length < 2) return kUnknown;
    const int sub = SubIndex(message[1]);
    if (sub < 0) return kUnknown;
    if (!m_filter.boxes[k][sub]) return kFilteredOut;
    *line += kSubNames[sub];
    const Layout* layout = FindLayout(k, message[1], direction == 0 ? 0 : 1, length);
    if (layout == NULL) return kUnknown;
    return DecodeFields(layout->fields, message, length, line);
}

const MonitorDecoder::Layout* MonitorDecoder::FindLayout(int k, BYTE sub, int direction, size_t length) const {
    const CommandLayouts& command = kCommandTable[k];
    const bool commit = sub == kCommitByte;
    if (commit && !command.commits) return NULL;
    const Layout* layouts = commit ? kCommitLayouts : command.layouts;
    const size_t count = commit ? sizeof kCommitLayouts / sizeof kCommitLayouts[0] : command.count;
    for (size_t i = 0; i < count; ++i) {
        const Layout& layout = layouts[i];
        if (layout.sub != sub || layout.direction != direction) continue;
        const size_t shortest = layout.length != 0 ? layout.length : 2u * static_cast<size_t>(m_steps) + 4;
        const size_t longest = layout.longest != 0 ? layout.longest : shortest;
        if (length >= shortest && length <= longest) return &layout;
    }
    return NULL;
}

int MonitorDecoder::DecodeFields(const Field* fields, const BYTE* message, size_t length, std::string* line) const {
    for (const Field* field = fields; field->label != NULL; ++field) {
        if (field->offset + FieldBytes(*field, m_steps) > length) return kUnknown;
        const BYTE* at = message + field->offset;
        *line += field->label;
        switch (field->kind) {
            case kHex8:
                AppendFormatted(line, "%02x", *at);
                break;
            case kHex16:
                AppendFormatted(line, "%04x", Word(at));
                break;
            case kDec8:
                if (field->count != 0 && *at >= field->count) return kUnknown;
                AppendFormatted(line, "%u", *at);
                break;
            case kDec16:
                AppendFormatted(line, "%u", Word(at));
                break;
            case kDec32:
                AppendFormatted(line, "%u", DoubleWord(at));
                break;
            case kName: {
                const char* name = NameOf(field->names, *at);
                if (name == NULL) return kUnknown;
                *line += name;
                break;
            }
            case kResult:
                *line += *at == 1 ? "SUCCESS" : "FAILURE";
                break;
            case kCode:
                for (int i = 0; i < field->count; ++i) AppendFormatted(line, "%02x", at[i]);
                break;
            case kText: {
                *line += '"';
                for (const BYTE* end = message + length - kCrcBytes; at < end && *at != 0; ++at) *line += static_cast<char>(*at);
                *line += '"';
                break;
            }
            case kHexWords:
                for (int i = 0; i < field->count; ++i) AppendFormatted(line, " %04x", Word(at + 2 * i));
                break;
            case kSteps:
                for (int i = 0; i < m_steps; ++i) AppendFormatted(line, " %u", Word(at + 2 * i));
                break;
        }
    }
    return kDecoded;
}
