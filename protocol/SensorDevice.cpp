#include "protocol/SensorDevice.h"

#include <new>

#include "framework/ErrorCodes.h"
#include "framework/LittleEndian.h"
#include "protocol/DeviceHandOver.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DeviceOperation.h"
#include "protocol/DevicePort.h"
#include "protocol/DistanceOp.h"
#include "protocol/FirmwareUpdateOp.h"
#include "protocol/IoOp.h"
#include "protocol/FramOp.h"
#include "protocol/LinkOp.h"
#include "protocol/OperationParams.h"
#include "protocol/VersionOp.h"
#include "protocol/WaveFormOp.h"
#include "sensor/ScanData.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"

namespace {

const BYTE kLevelDisconnected = 0;
const WORD kNoModel = 0xFFFF;
const WORD kFunctionWhenDisconnected = 0x30;
const BYTE kTroubleWhenDisconnected = 0xFF;
const WORD kMirrorFlag = 0x20;
const WORD kVersion10OutputMax = 0x1FFF;

// Trouble codes and type-0 notifications number their kinds differently from
// the frame's texts: 1 -> 2, 2 -> 3, 3 -> 1, others unchanged.
BYTE RemapTrouble(BYTE code) {
    switch (code) {
        case 1:
            return 2;
        case 2:
            return 3;
        case 3:
            return 1;
        default:
            return code;
    }
}

LPARAM PackLowHigh(WORD low, WORD high) {
    return static_cast<LPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}

// Version 1.0 sensors keep the partition shape, the mirror flag and the
// two-scan modes in the top bits of the output words; later versions spread
// the flags word over bit 15 of all sixteen words.
bool IsVersion10(SensorCaps* caps) {
    return caps != NULL && caps->GetMajor() == 1 && caps->GetMinor() == 0;
}

bool FitsVersion10Outputs(const BYTE* record) {
    return ReadLeWord(record + kAreaOutput2Offset) <= kVersion10OutputMax &&
           ReadLeWord(record + kAreaOutput3Offset) <= kVersion10OutputMax;
}

void EncodeArea(const BYTE* record, bool version10, WORD* words) {
    const WORD flags = ReadLeWord(record + kAreaFlagsOffset);
    for (int i = 0; i < 16; ++i) words[i] = ReadLeWord(record + 2 * i);
    if (version10) {
        words[14] = static_cast<WORD>((words[14] & 0x1FFF) | (((flags >> 3) & 3) << 13) |
                                      ((flags & kMirrorFlag) ? 0x8000 : 0));
        words[15] = static_cast<WORD>((words[15] & 0x1FFF) | (flags << 13));
        return;
    }
    for (int i = 0; i < 16; ++i) {
        words[i] = static_cast<WORD>((words[i] & 0x7FFF) | (((flags >> i) & 1) << 15));
    }
}

void DecodeArea(const WORD* words, bool version10, BYTE* record) {
    if (version10) {
        for (int i = 0; i < 14; ++i) WriteLeWord(record + 2 * i, words[i]);
        WriteLeWord(record + kAreaOutput2Offset, words[14] & 0x1FFF);
        WriteLeWord(record + kAreaOutput3Offset, words[15] & 0x1FFF);
        const WORD flags = static_cast<WORD>(((words[15] >> 13) & 7) | (((words[14] >> 13) & 3) << 3) |
                                             (((words[14] >> 15) & 1) << 5));
        WriteLeWord(record + kAreaFlagsOffset, flags);
        return;
    }
    WORD flags = 0;
    for (int i = 0; i < 16; ++i) {
        // 15-bit two's complement, sign-extended from bit 14.
        WriteLeWord(record + 2 * i, static_cast<WORD>(((words[i] & 0x7FFF) ^ 0x4000) + 0xC000));
        flags = static_cast<WORD>(flags | (((words[i] >> 15) & 1) << i));
    }
    WriteLeWord(record + kAreaFlagsOffset, flags);
}

}  // namespace

SensorDevice::SensorDevice() : m_link(NULL), m_version(NULL), m_fram(NULL), m_io(NULL) {}

SensorDevice::~SensorDevice() {
    // Every thread stops before any operation is deleted: a running handler
    // may still reach a sibling through this device.
    for (auto& entry : m_operations) entry.second.operation->Abort();
    DeleteOperations();
}

void SensorDevice::DeleteOperations() {
    for (auto& entry : m_operations) entry.second.operation.reset();
    m_operations.clear();
    m_link = NULL;
    m_version = NULL;
    m_fram = NULL;
    m_io = NULL;
}

int SensorDevice::Open() {
    if (m_application == NULL || m_waveFormRecord == NULL || m_port == NULL || m_caps == NULL) return 0;
    if (m_operations.empty() && !CreateOperations()) {
        DeleteOperations();
        return 0;
    }
    for (auto& entry : m_operations) {
        entry.second.operation->SetDevice(this);
        if (entry.second.withApplication) entry.second.operation->SetApplication(m_application);
    }
    return 1;
}

int SensorDevice::CreateOperations() {
    // The operations of the commands this program serves are entered here,
    // one Register each, as they are built.
    m_link = RegisterNew<LinkOp>(kCmdLink, true);
    if (m_link == NULL) return 0;
    m_version = RegisterNew<VersionOp>(kCmdVersion, false);
    if (m_version == NULL) return 0;
    m_fram = RegisterNew<FramOp>(kCmdFram, true);
    if (m_fram == NULL) return 0;
    m_io = RegisterNew<IoOp>(kCmdIo, false);
    if (m_io == NULL) return 0;
    return RegisterNew<DistanceOp>(kCmdDistance, true) != NULL && RegisterNew<WaveFormOp>(kCmdWaveForm, true) != NULL &&
           RegisterNew<FirmwareUpdateOp>(kCmdFirmwareUpdate, true) != NULL;
}

template <class T>
T* SensorDevice::RegisterNew(BYTE command, bool withApplication) {
    std::unique_ptr<T> operation(new (std::nothrow) T);
    T* registered = operation.get();
    return Register(command, std::move(operation), withApplication) ? registered : NULL;
}

int SensorDevice::Register(BYTE command, std::unique_ptr<DeviceOperation> operation, bool withApplication) {
    if (operation == NULL) return 0;
    auto found = m_operations.find(command);
    if (found != m_operations.end()) {
        DeviceOperation* replaced = found->second.operation.get();
        if (replaced == m_link) m_link = NULL;
        if (replaced == m_version) m_version = NULL;
        if (replaced == m_fram) m_fram = NULL;
        if (replaced == m_io) m_io = NULL;
        found->second.operation.reset();
    }
    m_operations[command] = Entry{std::move(operation), withApplication};
    return 1;
}

void SensorDevice::Close() {
    for (auto& entry : m_operations) {
        entry.second.operation->Abort();
        entry.second.operation->Detach();
    }
    SensorDeviceBase::Close();
}

DeviceOperation* SensorDevice::FindOperation(BYTE command) {
    auto found = m_operations.find(command);
    return found != m_operations.end() ? found->second.operation.get() : NULL;
}

int SensorDevice::StartOperation(BYTE command, ULONG_PTR argument) {
    DeviceOperation* operation = FindOperation(command);
    return operation != NULL ? operation->Start(argument) : 0;
}

int SensorDevice::StopOperation(BYTE command) {
    DeviceOperation* operation = FindOperation(command);
    if (operation == NULL) return 0;
    operation->Abort();
    return 1;
}

int SensorDevice::StartFram(DWORD mode, BYTE first, BYTE count, const WORD* data) {
    FramParams params = {mode, first, count, data};
    return StartOperation(kCmdFram, reinterpret_cast<ULONG_PTR>(&params));
}

BYTE SensorDevice::GetLinkLevel() {
    LinkOp* link = m_link;
    return link != NULL ? link->GetLevel() : kLevelDisconnected;
}

int SensorDevice::SetLinkLevel(BYTE level) {
    LinkOp* link = m_link;
    return link != NULL ? link->SetLevel(level) : 0;
}

int SensorDevice::SetLinkOpFlag(DWORD hold) {
    LinkOp* link = m_link;
    if (link == NULL) return 0;
    link->SetHold(hold);
    return 1;
}

int SensorDevice::RequestVersion() {
    return StartOperation(kCmdVersion, 0);
}

int SensorDevice::SetRealtime(DWORD on) {
    return on == 1 ? StartOperation(kCmdDistance, 0) : StopOperation(kCmdDistance);
}

int SensorDevice::ReadAreas() {
    return StartFram(FramParams::kReadAreas, kAreaFirstWord, kAreaWordCount, NULL);
}

int SensorDevice::WriteAreas(const BYTE* table) {
    if (FindOperation(kCmdFram) == NULL) {
        SetLastError(kErrorMissingCollaborator);
        return 0;
    }
    // The operation adds the words that follow the image in its last block.
    BYTE copy[kAreaTableBytes];
    WORD image[kAreaImageWords] = {};
    if (table != NULL) CopyMemory(copy, table, sizeof(copy));
    if (table == NULL || !EncodeAreas(copy, image)) {
        SetLastError(kErrorAreaOutOfRange);
        return 0;
    }
    SetLastError(0);
    return StartFram(FramParams::kWriteAreas, kAreaFirstWord, kAreaWordCount, image);
}

int SensorDevice::ReadFram(BYTE first, BYTE count) {
    return StartFram(FramParams::kReadWords, first, count, NULL);
}

int SensorDevice::WriteFram(const WORD* words, BYTE first, BYTE count) {
    return StartFram(FramParams::kWriteWords, first, count, words);
}

int SensorDevice::SetIoPolling(DWORD on) {
    if (on == 1) {
        IoParams params = {IoParams::kPoll, 0, 0};
        return StartOperation(kCmdIo, reinterpret_cast<ULONG_PTR>(&params));
    }
    if (m_io == NULL) return StopOperation(kCmdIo);
    // A release not echoed yet goes on: a forced line must not stay forced.
    m_io->StopPolling();
    return 1;
}

int SensorDevice::WriteIo(BYTE disguised, BYTE mask) {
    IoParams params = {IoParams::kForce, disguised, mask};
    return StartOperation(kCmdIo, reinterpret_cast<ULONG_PTR>(&params));
}

int SensorDevice::SetWaveForm(DWORD on, WORD step, BYTE flag) {
    if (on != 1) return StopOperation(kCmdWaveForm);
    WaveFormParams params = {step, flag};
    return StartOperation(kCmdWaveForm, reinterpret_cast<ULONG_PTR>(&params));
}

int SensorDevice::UpdateFirmware(const char* path) {
    return StartOperation(kCmdFirmwareUpdate, reinterpret_cast<ULONG_PTR>(path));
}

int SensorDevice::StartFirmwareWithoutImage() {
    return UpdateFirmware("");
}

int SensorDevice::StartFirmwareFromImage() {
    // The one-character path that names the image the application holds.
    return UpdateFirmware("\t");
}

int SensorDevice::AcquireLinkLevel(BYTE level) {
    DevicePort* port = m_port;
    return port != NULL ? port->AcquireLinkLevel(level) : 0;
}

int SensorDevice::ReleaseLinkLevel(BYTE level) {
    DevicePort* port = m_port;
    return port != NULL ? port->ReleaseLinkLevel(level) : 0;
}

int SensorDevice::SendFrame(std::string& message) {
    if (!IsConnected()) return 0;
    std::string frame;
    AssembleFrame(message, frame);
    DevicePort* port = m_port;
    if (port != NULL) port->Send(frame);
    if (IsMonitoring()) NotifyMonitor(0, &message);
    return 1;
}

int SensorDevice::OnReceive(std::string& buffer, std::vector<std::string>& monitorLines) {
    if (!IsConnected()) {
        buffer.clear();
        return 0;
    }
    std::vector<std::string> messages;
    ExtractMessages(buffer, messages, IsMonitoring() ? &monitorLines : NULL);
    for (const std::string& message : messages) {
        DeviceOperation* operation = FindOperation(static_cast<BYTE>(message[0]));
        if (operation != NULL) operation->OnReply(message);
    }
    return 1;
}

void SensorDevice::OnSensorLost() {
    for (auto& entry : m_operations) entry.second.operation->OnSensorLost();
}

int SensorDevice::EncodeAreas(BYTE* table, WORD* image) {
    if (table == NULL || image == NULL) return 0;
    SensorCaps* caps = m_caps;
    const bool version10 = IsVersion10(caps);
    // Version 1.0 keeps the outputs in 13 unsigned bits: a value that does
    // not fit is refused rather than changed.
    for (int a = 0; version10 && a < kAreaCount; ++a) {
        if (!FitsVersion10Outputs(table + a * kAreaRecordBytes)) return 0;
    }
    if (caps != NULL && !caps->HasCapability(SensorCaps::kCapMirrorReflection)) {
        for (int a = 0; a < kAreaCount; ++a) {
            BYTE* record = table + a * kAreaRecordBytes;
            const WORD flags = ReadLeWord(record + kAreaFlagsOffset);
            WriteLeWord(record + kAreaFlagsOffset, flags & ~kMirrorFlag);
        }
    }
    for (int a = 0; a < kAreaCount; ++a) EncodeArea(table + a * kAreaRecordBytes, version10, image + 16 * a);
    return 1;
}

int SensorDevice::DecodeAreas(const WORD* image, BYTE* table) {
    if (image == NULL || table == NULL) return 0;
    ZeroMemory(table, kAreaTableBytes);
    const bool version10 = IsVersion10(m_caps);
    for (int a = 0; a < kAreaCount; ++a) DecodeArea(image + 16 * a, version10, table + a * kAreaRecordBytes);
    return 1;
}

bool SensorDevice::WhileLinked(const std::function<void()>& report) {
    CriticalLock::Hold hold(m_linkStateLock);
    if (GetLinkLevel() < 1) return false;
    report();
    return true;
}

void SensorDevice::OnLinkLevelChanged(BYTE level) {
    // A replaced device keeps its hands off the shared sensor state and says
    // nothing of a link: the sensor is the new device's now.
    SensorCaps* caps = m_caps;
    if (caps == NULL || !IsConnected()) return;
    if (level == kLevelDisconnected) {
        const char* text = NULL;
        {
            // A version report that saw the link up ends before this reset.
            CriticalLock::Hold hold(m_linkStateLock);
            caps->SetModel(kNoModel);
            caps->SetFunction(kFunctionWhenDisconnected);
            caps->SetOptionByte(0);
            caps->SetVersionText("");
            DevicePort* port = m_port;
            if (FindOperation(kCmdVersion) != NULL && port != NULL) {
                // Cleared, so that the next connection reports its text again.
                if (m_version != NULL) m_version->ClearText();
                text = port->GetHandOver()->PublishVersion("");
            }
        }
        if (text != NULL) PostToOwner(WM_DEVICE_SENSOR_INFO, reinterpret_cast<WPARAM>(text), 0);
        PostToOwner(WM_DEVICE_FUNCTIONS_READ, kFunctionWhenDisconnected, 0);
        PostToOwner(WM_DEVICE_TROUBLE, kTroubleWhenDisconnected, 0);
        PostToOwner(WM_DEVICE_STATISTICS, 0, 0);
        // The next link may be another sensor, with other words after its areas.
        if (m_fram != NULL) m_fram->ForgetAreaTail();
    } else {
        caps->SetModel(0);
    }
    PostToOwner(WM_DEVICE_CONNECTION_CHANGED, level, 0);
}

void SensorDevice::OnVersion(const char* text) {
    if (!IsConnected()) return;  // replaced (see OnLinkLevelChanged)
    SensorCaps* caps = m_caps;
    DevicePort* port = m_port;
    if (caps == NULL || port == NULL) return;
    caps->SetVersionText(text);
    const char* copy = port->GetHandOver()->PublishVersion(text);
    PostToOwner(WM_DEVICE_SENSOR_INFO, reinterpret_cast<WPARAM>(copy), 0);
}

void SensorDevice::OnScan(const ScanData* scan) {
    if (!IsConnected()) return;  // replaced (see OnLinkLevelChanged)
    DevicePort* port = m_port;
    if (scan == NULL || port == NULL) return;
    const ScanData* copy = port->GetHandOver()->PublishScan(*scan);
    PostToOwner(WM_DEVICE_SCAN, reinterpret_cast<WPARAM>(copy), 0);
}

void SensorDevice::OnRamData(WPARAM first, WORD second, WORD third) {
    PostToOwner(WM_DEVICE_RAM_DATA, first, PackLowHigh(second, third));
}

void SensorDevice::OnRamWritten(WPARAM first, WORD second, WORD third) {
    PostToOwner(WM_DEVICE_RAM_WRITTEN, first, PackLowHigh(second, third));
}

void SensorDevice::OnAreasRead(const WORD* image) {
    // Sent: the frame loads the table before this returns.
    BYTE table[kAreaTableBytes];
    const bool decoded = image != NULL && DecodeAreas(image, table);
    SendToOwner(WM_DEVICE_AREA_READ, decoded ? reinterpret_cast<WPARAM>(table) : 0, 0);
}

void SensorDevice::OnAreasWritten(DWORD ok) {
    SendToOwner(WM_DEVICE_AREA_WRITTEN, ok, 0);
}

void SensorDevice::OnFramData(const WORD* words, BYTE first, BYTE count) {
    const WORD reported = count != 0 ? count : 64;
    const WORD* copy = NULL;
    DevicePort* port = m_port;
    if (words != NULL && port != NULL) copy = port->GetHandOver()->PublishFramWords(words, reported);
    PostToOwner(WM_DEVICE_FRAM_DATA, reinterpret_cast<WPARAM>(copy), PackLowHigh(first, reported));
}

void SensorDevice::OnFramWritten(DWORD ok, BYTE first, BYTE count) {
    const WORD reported = count != 0 ? count : 64;
    PostToOwner(WM_DEVICE_FRAM_WRITTEN, ok, PackLowHigh(first, reported));
}

void SensorDevice::OnFunction(WORD function) {
    if (!IsConnected()) return;  // replaced (see OnLinkLevelChanged)
    SensorCaps* caps = m_caps;
    if (caps == NULL) return;
    // Bits 0..8 stay, bits 13..15 move down to 9..11.
    const WORD kept = static_cast<WORD>((function & 0x1FF) | ((function & 0xE000) >> 4));
    caps->SetFunction(kept);
    PostToOwner(WM_DEVICE_FUNCTIONS_READ, kept, 0);
}

void SensorDevice::OnFunctionWritten(WPARAM argument) {
    PostToOwner(WM_DEVICE_FUNCTION_WRITTEN, argument, 0);
}

void SensorDevice::OnCorrection(WPARAM argument) {
    PostToOwner(WM_DEVICE_CORRECTION_DISTANCES, argument, 0);
}

void SensorDevice::OnCorrectionWritten(WPARAM argument) {
    PostToOwner(WM_DEVICE_CORRECTION_DISTANCE_WRITTEN, argument, 0);
}

void SensorDevice::OnDirection(WPARAM argument) {
    PostToOwner(WM_DEVICE_CORRECTION_ANGLE, argument & 0xFF, 0);
}

void SensorDevice::OnDirectionWritten(WPARAM argument) {
    PostToOwner(WM_DEVICE_CORRECTION_DONE, argument, 0);
}

void SensorDevice::OnIoState(BYTE state, BYTE second, BYTE third) {
    if (!IsConnected()) return;  // replaced (see OnLinkLevelChanged)
    PostToOwner(WM_DEVICE_OUTPUT_STATE, state, PackLowHigh(second, third));
}

void SensorDevice::OnIoForced(DWORD confirmed) {
    PostToOwner(WM_DEVICE_IO_FORCED, confirmed, 0);
}

void SensorDevice::OnWaveForm(const BYTE* record) {
    if (!IsConnected()) return;  // replaced (see OnLinkLevelChanged)
    // The record guards its bytes with its own lock against the dialog's reads.
    WaveFormRecord* shared = m_waveFormRecord;
    if (shared != NULL) shared->CopyFrom(record);
    PostToOwner(WM_DEVICE_WAVE_FORM, 0, 0);
}

void SensorDevice::OnNotification(BYTE type, BYTE value) {
    PostToOwner(WM_DEVICE_NOTIFICATION, type, type == 0 ? RemapTrouble(value) : value);
}

void SensorDevice::OnTrouble(BYTE code) {
    PostToOwner(WM_DEVICE_TROUBLE, RemapTrouble(code), 0);
}

void SensorDevice::OnStatistics(const void* counts) {
    PostToOwner(WM_DEVICE_STATISTICS, reinterpret_cast<WPARAM>(counts), 0);
}

void SensorDevice::OnFirmwareResult(DWORD result) {
    SendToOwner(WM_DEVICE_FIRMWARE_RESULT, result, 0);
}

void SensorDevice::OnFunctionSetting(BYTE option) {
    if (!IsConnected()) return;  // replaced (see OnLinkLevelChanged)
    SensorCaps* caps = m_caps;
    if (caps == NULL) return;
    caps->SetOptionByte(option);
    PostToOwner(WM_DEVICE_FUNCTION_SETTING, option, 0);
}

void SensorDevice::OnFunctionSettingWritten(WPARAM argument) {
    PostToOwner(WM_DEVICE_FUNCTION_SETTING_WRITTEN, argument, 0);
}

void SensorDevice::OnSensitivity(WPARAM argument) {
    PostToOwner(WM_DEVICE_SENSITIVITY, argument & 0xFF, 0);
}

void SensorDevice::OnSensitivityCorrected(WPARAM argument) {
    PostToOwner(WM_DEVICE_SENSITIVITY_WRITTEN, argument, 0);
}

void SensorDevice::OnFilterSwitch(const BYTE* bytes) {
    if (!IsConnected()) return;  // replaced (see OnLinkLevelChanged)
    SensorCaps* caps = m_caps;
    DevicePort* port = m_port;
    if (caps == NULL || port == NULL || bytes == NULL) return;
    caps->SetFilterSwitch(bytes);
    const BYTE* copy = port->GetHandOver()->PublishFilterSwitch(bytes);
    PostToOwner(WM_DEVICE_FILTER_READ, reinterpret_cast<WPARAM>(copy), 0);
}

void SensorDevice::OnFilterSwitchWritten(WPARAM argument) {
    PostToOwner(WM_DEVICE_FILTER_WRITTEN, argument, 0);
}

void SensorDevice::OnScan2(const ScanData* scan) {
    PostToOwner(WM_DEVICE_SCAN2, reinterpret_cast<WPARAM>(scan), 0);
}
