#include "sensor/SensorCaps.h"

#include <climits>
#include <cstring>

namespace {

const WORD kInitialFunction = 0x30;  // input 4 function 3, all else 0

// Function word fields: shift and width.
const int kOutputLogicShift = 0;
const int kOutput3Shift = 1;
const int kInput4Shift = 4;
const int kBit7Shift = 7;
const int kFlatShift = 8;
const int kLongRangeShift = 9;
const int kShortRangeShift = 10;
const int kPnpShift = 11;
const int kSmallHysteresisShift = 12;
const int kHoleDetectionShift = 13;
const WORD kBits7To11 = 0x0F80;

const int kOptionModeShift = 1;

// One pass of the pattern "%d%c%d%c%d%c" over the version text. Fields the
// text does not reach stay 0; a number too large for an int saturates before
// it is cut to 16 bits.
struct VersionFields {
    int numbers[3] = {0, 0, 0};
    char separators[2] = {0, 0};
    char letter = 0;
};

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool ReadNumber(const char*& p, int* value) {
    const char* q = p;
    while (IsSpace(*q)) ++q;
    bool negative = false;
    if (*q == '+' || *q == '-') {
        negative = *q == '-';
        ++q;
    }
    if (*q < '0' || *q > '9') return false;
    long long magnitude = 0;
    for (; *q >= '0' && *q <= '9'; ++q) {
        if (magnitude <= INT_MAX) magnitude = magnitude * 10 + (*q - '0');
    }
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX) signedValue = INT_MAX;
    if (signedValue < INT_MIN) signedValue = INT_MIN;
    *value = static_cast<int>(signedValue);
    p = q;
    return true;
}

bool ReadChar(const char*& p, char* c) {
    if (*p == 0) return false;
    *c = *p++;
    return true;
}

VersionFields ParseVersion(const char* text) {
    VersionFields f;
    const char* p = text;
    if (!ReadNumber(p, &f.numbers[0]) || !ReadChar(p, &f.separators[0])) return f;
    if (!ReadNumber(p, &f.numbers[1]) || !ReadChar(p, &f.separators[1])) return f;
    if (!ReadNumber(p, &f.numbers[2]) || !ReadChar(p, &f.letter)) return f;
    return f;
}

bool IsBuildIn(int build, std::initializer_list<int> set) {
    for (int b : set) {
        if (build == b) return true;
    }
    return false;
}

// What the capability rules look at. none: no sensor recognised (model
// 0xFFFF); first: the first family (model 0); second: any other model.
struct CapabilityFacts {
    bool none, first, second;
    int maj, min, bld;
    signed char letter;
    bool longRange, flat;
    bool spec5m;  // "spec5m" within the version text
};

typedef int (*CapabilityRule)(const CapabilityFacts& f);

// Rules shared by two ids.
int FirstFamilyOnly(const CapabilityFacts& f) {
    return f.first;
}
int FirstFamilyOrFrom4(const CapabilityFacts& f) {
    return f.first || f.maj >= 4;
}
int FirstFamilyOrFrom5(const CapabilityFacts& f) {
    return f.first || f.maj >= 5;
}
// First-family versions from x.1 on.
int FirstFamilyMinorOn(const CapabilityFacts& f) {
    return f.first && f.maj != 0 && f.min > 0;
}

int CoordinateLimit(const CapabilityFacts& f) {
    if (f.none) return 10000;
    if (f.first) {
        if (f.letter == 'U') return 3500;
        return (f.maj == 1 && f.min == 0) ? 6000 : 10000;
    }
    if (f.maj == 5) {
        if (f.min == 0 && f.bld < 4) return 5000;
        if (f.min != 1 || f.bld != 0) return 6000;
        return 5000;
    }
    if (f.maj == 4) return (f.min != 0 || f.spec5m) ? 5000 : 3200;
    if (f.maj == 3) return (f.min == 5 && f.bld != 0) ? 3600 : 3200;
    if (f.maj >= 6) return 0;
    return 3200;
}

struct CapabilityEntry {
    SensorCaps::CapabilityId id;
    CapabilityRule answer;
};

// Each rule is read top down: the first test that applies gives the answer.
constexpr CapabilityEntry kCapabilityRules[] = {
    {SensorCaps::kCapSpare1,
     [](const CapabilityFacts& f) -> int {
         if (f.first || f.maj != 5) return 0;
         if (f.min == 0) return f.bld >= 7;
         if (f.min == 1) return f.bld != 0;
         return f.min >= 3;
     }},
    {SensorCaps::kCap2ScanMode,
     [](const CapabilityFacts& f) -> int {
         if (f.none) return 1;
         if (f.first) return f.maj != 0 && (f.min != 0 || f.bld >= 2);
         if (f.maj != 5) return 0;
         if (f.min != 0) return f.min >= 3;
         if (f.bld != 8) return f.bld >= 10;
         return f.letter >= 'B' && f.letter <= 'Z';
     }},
    {SensorCaps::kCapMirrorReflection,
     [](const CapabilityFacts& f) -> int {
         if (f.none) return 1;
         if (f.first) return f.maj > 1 || f.min != 0;
         return f.maj == 5 && f.min >= 3 && f.longRange;
     }},
    {SensorCaps::kCapSpare4,
     [](const CapabilityFacts& f) -> int { return !f.first && f.maj == 5 && !f.flat; }},
    {SensorCaps::kCapShapeSelectable,
     [](const CapabilityFacts& f) -> int { return f.none || f.first || f.maj >= 5; }},
    {SensorCaps::kCapShapeStraight,
     [](const CapabilityFacts& f) -> int {
         if (f.none || f.first || f.maj != 4 || f.min != 1) return 1;
         return IsBuildIn(f.bld, {0, 3, 4, 5, 7, 9, 11, 12});
     }},
    {SensorCaps::kCapShapeFan,
     [](const CapabilityFacts& f) -> int {
         if (f.none || f.first || f.maj >= 5) return 1;
         if (f.maj != 4 || f.min != 1) return 0;
         return IsBuildIn(f.bld, {1, 2, 6, 8, 10});
     }},
    {SensorCaps::kCapCorrectionListEditable,
     [](const CapabilityFacts& f) -> int { return f.none || f.first; }},
    {SensorCaps::kCapIoTest, FirstFamilyOrFrom5},
    {SensorCaps::kCapFunctionWrite, FirstFamilyOrFrom5},
    {SensorCaps::kCapCorrectionRead, FirstFamilyOnly},
    {SensorCaps::kCapAngleCorrection,
     [](const CapabilityFacts& f) -> int {
         if (f.first || f.maj >= 3) return 1;
         return f.maj == 2 && f.min == 0 && f.bld >= 7;
     }},
    {SensorCaps::kCapAngleRead, FirstFamilyOrFrom4},
    {SensorCaps::kCapMotorCorrection, FirstFamilyOrFrom4},
    {SensorCaps::kCapCorrectionRows,
     [](const CapabilityFacts& f) -> int {
         if (f.none || f.first || f.maj >= 4) return 4;
         return (f.maj == 3 && f.min == 5 && f.bld != 0) ? 4 : 3;
     }},
    {SensorCaps::kCapDevelopMenu,
     [](const CapabilityFacts& f) -> int { return f.none || f.first || f.maj >= 4; }},
    {SensorCaps::kCapCoordinateLimit, CoordinateLimit},
    {SensorCaps::kCapNegativeLimit,
     [](const CapabilityFacts& f) -> int {
         if (f.none) return -10000;
         if (f.second) return 0;
         return (f.maj == 1 && f.min == 0) ? -6000 : -10000;
     }},
    {SensorCaps::kCapStartAngle,
     [](const CapabilityFacts& f) -> int {
         if (f.none || f.first) return f.letter == 'U' ? 765 : -450;
         return f.flat ? 495 : 90;
     }},
    {SensorCaps::kCapStepCount,
     [](const CapabilityFacts& f) -> int {
         if (f.second) return 91;
         return f.letter == 'U' ? 31 : 769;
     }},
    {SensorCaps::kCapHelp, FirstFamilyOnly},
    {SensorCaps::kCapInspectMenu,
     [](const CapabilityFacts& f) -> int {
         if (f.first && (f.maj > 1 || f.min != 0 || f.bld >= 3)) return 1;
         return f.maj == 5;
     }},
    {SensorCaps::kCapNoSidewaysExtension,
     [](const CapabilityFacts& f) -> int { return f.none || FirstFamilyMinorOn(f); }},
    {SensorCaps::kCapLedHigh,
     [](const CapabilityFacts& f) -> int { return f.none || (f.first && f.letter == 'U'); }},
    {SensorCaps::kCapHalfHysteresis,
     [](const CapabilityFacts& f) -> int { return f.none || FirstFamilyMinorOn(f); }},
    {SensorCaps::kCapFunctionSetting, FirstFamilyMinorOn},
    {SensorCaps::kCapSlowScanning, FirstFamilyMinorOn},
    {SensorCaps::kCapOptionMode,
     [](const CapabilityFacts& f) -> int { return f.first && f.maj != 0 && f.min != 0 && f.bld >= 3; }},
    {SensorCaps::kCapSensitivityCorrection,
     [](const CapabilityFacts& f) -> int {
         if (!f.first) return 0;
         return (f.maj != 0 && f.min != 0) || f.letter == 'U';
     }},
    {SensorCaps::kCapFilterSwitch,
     [](const CapabilityFacts& f) -> int { return f.first && f.maj != 0 && f.min != 0 && f.letter == 'K'; }},
};

const int kFirstCapability = SensorCaps::kCapSpare1;
const int kLastCapability = SensorCaps::kCapFilterSwitch;

// The table is indexed by id: every id in its place, none missing.
constexpr bool RulesInIdOrder() {
    if (sizeof(kCapabilityRules) / sizeof(kCapabilityRules[0]) != kLastCapability - kFirstCapability + 1)
        return false;
    for (int i = 0; i <= kLastCapability - kFirstCapability; ++i) {
        if (kCapabilityRules[i].id != kFirstCapability + i) return false;
    }
    return true;
}
static_assert(RulesInIdOrder(), "capability rules must follow the ids");

}  // namespace

SensorCaps::SensorCaps() {
    m_filterSwitch[0] = 0;
    m_filterSwitch[1] = 0;
    ResetFields();
}

SensorCaps::~SensorCaps() {}

void SensorCaps::ResetFields() {
    CriticalLock::Hold hold(m_lock);
    m_model = kNoModel;
    m_function = kInitialFunction;
    m_option = 0;
    m_major = 0;
    m_minor = 0;
    m_build = 0;
    m_letter = 0;
    m_versionText[0] = 0;
}

void SensorCaps::Reset() {
    ResetFields();
}

void SensorCaps::SetModel(WORD /*code*/) {
    // The smaller of the unsigned code and 0, that is 0 for every code: the
    // device and the files rely on a set model reading back as the first
    // family, so that "no model" exists only before the first call.
    CriticalLock::Hold hold(m_lock);
    m_model = 0;
}

WORD SensorCaps::GetModel() const {
    CriticalLock::Hold hold(m_lock);
    return m_model;
}

void SensorCaps::SetFunction(WORD function) {
    CriticalLock::Hold hold(m_lock);
    m_function = function;
}

WORD SensorCaps::GetFunction() const {
    CriticalLock::Hold hold(m_lock);
    return m_function;
}

void SensorCaps::SetOptionByte(BYTE option) {
    CriticalLock::Hold hold(m_lock);
    m_option = option;
}

BYTE SensorCaps::GetOptionByte() const {
    CriticalLock::Hold hold(m_lock);
    return m_option;
}

void SensorCaps::SetFilterSwitch(const BYTE* bytes) {
    if (bytes == nullptr) return;
    CriticalLock::Hold hold(m_lock);
    m_filterSwitch[0] = bytes[0];
    m_filterSwitch[1] = bytes[1];
}

void SensorCaps::GetFilterSwitch(BYTE* bytes) const {
    if (bytes == nullptr) return;
    CriticalLock::Hold hold(m_lock);
    bytes[0] = m_filterSwitch[0];
    bytes[1] = m_filterSwitch[1];
}

void SensorCaps::SetVersionText(const char* text) {
    VersionFields f;
    bool accepted = false;
    if (text != nullptr) {
        f = ParseVersion(text);
        accepted = f.separators[0] == '.' && f.separators[1] == '.';
    }
    {
        CriticalLock::Hold hold(m_lock);
        if (accepted) {
            m_major = static_cast<WORD>(f.numbers[0]);
            m_minor = static_cast<WORD>(f.numbers[1]);
            m_build = static_cast<WORD>(f.numbers[2]);
            m_letter = (f.letter >= 'A' && f.letter <= 'Z') ? f.letter : 0;
            strncpy(m_versionText, text, kVersionTextChars);
            m_versionText[kVersionTextChars] = 0;
        } else {
            m_major = 0;
            m_minor = 0;
            m_build = 0;
            m_letter = 0;
            m_versionText[0] = 0;
        }
        // Under the same hold, so no reader sees a version with stale flags.
        DeriveFlags();
    }
}

std::string SensorCaps::GetVersionText() const {
    CriticalLock::Hold hold(m_lock);
    return std::string(m_versionText);
}

WORD SensorCaps::GetMajor() const {
    CriticalLock::Hold hold(m_lock);
    return m_major;
}

WORD SensorCaps::GetMinor() const {
    CriticalLock::Hold hold(m_lock);
    return m_minor;
}

WORD SensorCaps::GetBuild() const {
    CriticalLock::Hold hold(m_lock);
    return m_build;
}

char SensorCaps::GetLetter() const {
    CriticalLock::Hold hold(m_lock);
    return m_letter;
}

void SensorCaps::GetVersion(WORD* major, WORD* minor, WORD* build, char* letter) const {
    CriticalLock::Hold hold(m_lock);
    if (major != nullptr) *major = m_major;
    if (minor != nullptr) *minor = m_minor;
    if (build != nullptr) *build = m_build;
    if (letter != nullptr) *letter = m_letter;
}

int SensorCaps::GetFunctionField(int shift, int width) const {
    CriticalLock::Hold hold(m_lock);
    return (m_function >> shift) & ((1 << width) - 1);
}

void SensorCaps::SetFunctionField(int shift, int width, int value) {
    WORD mask = static_cast<WORD>(((1 << width) - 1) << shift);
    CriticalLock::Hold hold(m_lock);
    m_function = static_cast<WORD>((m_function & ~mask) | ((value << shift) & mask));
}

int SensorCaps::GetOutputLogic() const { return GetFunctionField(kOutputLogicShift, 1); }
void SensorCaps::SetOutputLogic(int value) { SetFunctionField(kOutputLogicShift, 1, value); }
int SensorCaps::GetOutput3Function() const { return GetFunctionField(kOutput3Shift, 3); }
void SensorCaps::SetOutput3Function(int value) { SetFunctionField(kOutput3Shift, 3, value); }
int SensorCaps::GetInput4Function() const { return GetFunctionField(kInput4Shift, 3); }
void SensorCaps::SetInput4Function(int value) { SetFunctionField(kInput4Shift, 3, value); }
int SensorCaps::GetFunctionBit7() const { return GetFunctionField(kBit7Shift, 1); }
void SensorCaps::SetFunctionBit7(int value) { SetFunctionField(kBit7Shift, 1, value); }
int SensorCaps::GetFunctionBit8() const { return GetFunctionField(kFlatShift, 1); }
void SensorCaps::SetFunctionBit8(int value) { SetFunctionField(kFlatShift, 1, value); }
int SensorCaps::IsFlatModel() const { return GetFunctionField(kFlatShift, 1); }
void SensorCaps::SetFlatModel(int value) { SetFunctionField(kFlatShift, 1, value); }
int SensorCaps::IsLongRange() const { return GetFunctionField(kLongRangeShift, 1); }
void SensorCaps::SetLongRange(int value) { SetFunctionField(kLongRangeShift, 1, value); }
int SensorCaps::IsShortRange() const { return GetFunctionField(kShortRangeShift, 1); }
void SensorCaps::SetShortRange(int value) { SetFunctionField(kShortRangeShift, 1, value); }
int SensorCaps::IsPnp() const { return GetFunctionField(kPnpShift, 1); }
void SensorCaps::SetPnp(int value) { SetFunctionField(kPnpShift, 1, value); }
int SensorCaps::HasSmallHysteresis() const { return GetFunctionField(kSmallHysteresisShift, 1); }
int SensorCaps::IsHoleDetectionModel() const { return GetFunctionField(kHoleDetectionShift, 1); }

int SensorCaps::IsSlowScanning() const {
    CriticalLock::Hold hold(m_lock);
    return m_option & 1;
}

void SensorCaps::SetSlowScanning(int on) {
    CriticalLock::Hold hold(m_lock);
    m_option = static_cast<BYTE>((m_option & ~1) | (on != 0 ? 1 : 0));
}

int SensorCaps::GetOptionMode() const {
    CriticalLock::Hold hold(m_lock);
    return (m_option >> kOptionModeShift) & 7;
}

void SensorCaps::SetOptionMode(int value) {
    CriticalLock::Hold hold(m_lock);
    m_option = static_cast<BYTE>((m_option & ~(7 << kOptionModeShift)) | ((value & 7) << kOptionModeShift));
}

int SensorCaps::IsUnknown() const {
    CriticalLock::Hold hold(m_lock);
    return m_model > 0xFFFE ? 1 : 0;
}

void SensorCaps::DeriveFlags() {
    CriticalLock::Hold hold(m_lock);
    if (m_model == 0) {
        if (m_letter != 'U') m_function &= static_cast<WORD>(~(1 << kFlatShift));
        return;
    }
    switch (m_major) {
    case 3:
        if (m_minor == 0 || m_minor == 1 || m_minor == 5) SetOutputLogic(0);
        else if (m_minor == 2 || m_minor == 3) SetOutputLogic(1);
        SetOutput3Function(2);
        SetInput4Function(0);
        m_function &= static_cast<WORD>(~kBits7To11);
        break;
    case 4:
        SetOutputLogic(0);
        SetOutput3Function(2);
        SetInput4Function(3);
        m_function &= static_cast<WORD>(~kBits7To11);
        break;
    case 5:
        m_function &= static_cast<WORD>(~((1 << kBit7Shift) | (1 << kFlatShift)));
        break;
    default:
        break;
    }
}

int SensorCaps::HasCapability(int id) const {
    if (id < kFirstCapability || id > kLastCapability) return 0;
    CapabilityFacts facts;
    {
        // One hold, so that model and version belong together; the lock is
        // re-entrant for the flag getters.
        CriticalLock::Hold hold(m_lock);
        facts.none = m_model == kNoModel;
        facts.first = m_model == 0;
        facts.second = !facts.none && !facts.first;
        facts.maj = m_major;
        facts.min = m_minor;
        facts.bld = m_build;
        facts.letter = static_cast<signed char>(m_letter);
        facts.longRange = IsLongRange() == 1;
        facts.flat = IsFlatModel() != 0;
        facts.spec5m = strstr(m_versionText, "spec5m") != nullptr;
    }
    return kCapabilityRules[id - kFirstCapability].answer(facts);
}
