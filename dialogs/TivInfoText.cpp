#include "dialogs/TivInfoText.h"

#include "framework/ResourceString.h"
#include "resources/resource.h"
#include "sensor/SensorCaps.h"

#include <cstdarg>
#include <cstdio>

namespace {

const BYTE kTroubleUnknown = 0xFF;
const BYTE kLastNamedTrouble = 5;

// Formats into a line buffer; what does not fit is cut.
std::string Line(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Line(const char* format, ...) {
    char line[TivInfoText::kLineBytes];
    va_list args;
    va_start(args, format);
    int written = vsnprintf(line, sizeof line, format, args);
    va_end(args);
    return written > 0 ? line : "";
}

}  // namespace

std::string TivInfoText::Load(UINT id) const {
    ResourceString text(m_module);
    return text.Load(id);
}

std::string TivInfoText::Join(const std::string& label, const std::string& value) {
    return Line("%s : %s", label.c_str(), value.c_str());
}

std::string TivInfoText::VersionLine(const SensorCaps& caps) const {
    const std::string version = caps.GetVersionText();
    if (version.empty()) return Load(IDS_INFO_UNACQUIRABLE);
    return Line("ZOR Control Program Ver.%s", version.c_str());
}

std::string TivInfoText::Output3Value(const SensorCaps& caps) const {
    switch (caps.GetOutput3Function()) {
        case 0:
            switch (caps.GetOptionMode()) {
                case 0:
                    return Load(IDS_INFO_OUTPUT3_DETECTION);
                case 1:
                    return Load(IDS_INFO_SYNCHRONIZATION);
                default:
                    return Load(IDS_INFO_UNUSED);
            }
        case 1:
            return Load(IDS_INFO_SYNCHRONIZATION);
        default:
            return Load(IDS_INFO_UNACQUIRABLE);
    }
}

std::string TivInfoText::Input4Value(const SensorCaps& caps) const {
    switch (caps.GetInput4Function()) {
        case 0:
            return Load(IDS_INFO_TWO_SCANS_MODE);
        case 1:
            return Load(IDS_INFO_SWITCH_OFF_LED);
        case 2:
            return Load(IDS_INFO_SYNCHRONIZATION);
        case 3:
            return Load(caps.GetOptionMode() < 2 ? IDS_INFO_AREA_SELECT : IDS_INFO_SYNCHRONIZATION);
        default:
            return Load(IDS_INFO_UNACQUIRABLE);
    }
}

std::vector<std::string> TivInfoText::FunctionLines(const SensorCaps& caps) const {
    std::vector<std::string> lines;
    if (caps.IsUnknown()) {
        lines.push_back(Load(IDS_INFO_UNACQUIRABLE));
        return lines;
    }
    const int logic = caps.GetOutputLogic();
    const UINT logicText = logic == 0   ? IDS_INFO_OFF_WHEN_DETECTING
                           : logic == 1 ? IDS_INFO_ON_WHEN_DETECTING
                                        : IDS_INFO_UNACQUIRABLE;
    lines.push_back(Join(Load(IDS_INFO_OUTPUT_LOGIC), Load(logicText)));
    lines.push_back(Join(Load(IDS_INFO_OUTPUT3_FUNCTION), Output3Value(caps)));
    lines.push_back(Join(Load(IDS_INFO_INPUT4_FUNCTION), Input4Value(caps)));
    const struct {
        bool holds;
        UINT text;
    } properties[] = {
        {caps.IsFlatModel() != 0 && caps.GetLetter() != 'U', IDS_INFO_FLAT_MODEL},
        {caps.IsLongRange() != 0, IDS_INFO_LONG_RANGE},
        {caps.IsShortRange() != 0, IDS_INFO_SHORT_RANGE},
        {caps.IsPnp() != 0, IDS_INFO_PNP},
        {caps.HasSmallHysteresis() != 0, IDS_INFO_SMALL_HYSTERESIS},
        {caps.IsHoleDetectionModel() != 0, IDS_INFO_HOLE_DETECTION},
        {caps.IsSlowScanning() != 0, IDS_INFO_SLOW_SCANNING},
    };
    for (const auto& property : properties) {
        if (property.holds) lines.push_back(Load(property.text));
    }
    return lines;
}

std::string TivInfoText::TroubleLine(BYTE code) const {
    if (code == kTroubleUnknown) return Load(IDS_INFO_UNACQUIRABLE);
    if (code <= kLastNamedTrouble) return Load(IDS_INFO_NO_TROUBLE + code);
    return Line("%s(0x%02x)", Load(IDS_INFO_SOFTWARE_TROUBLE).c_str(), code);
}

std::string TivInfoText::CounterLine(int index, DWORD count) const {
    return Line("%s : %lu", Load(IDS_INFO_SCAN_COUNT + index).c_str(), static_cast<unsigned long>(count));
}
