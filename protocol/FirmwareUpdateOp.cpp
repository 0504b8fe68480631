#include "protocol/FirmwareUpdateOp.h"

#include <commdlg.h>
#include <stdio.h>
#include <string.h>

#include "framework/MsgBox.h"
#include "framework/ProgressView.h"
#include "protocol/DeviceHost.h"
#include "protocol/DeviceMessages.h"
#include "protocol/SensorDevice.h"
#include "protocol/SensorDeviceBase.h"
#include "resources/resource.h"

namespace {

const BYTE kSet = 0x5A;
const BYTE kDeveloperLevel = 3;

// Request bytes after the sub-command, by reply state.
const BYTE kFinalReset = 0x00;
const BYTE kEraseRequest = 0x20;
const BYTE kProgramRequest = 0x41;
const BYTE kReadRequest = 0xFF;
const BYTE kStartWithoutFile = 2;

const size_t kStartReplyBytes = 6;
const size_t kStatusReplyBytes = 10;
const size_t kReadReplyBytes = 265;
const size_t kReadDataOffset = 7;

// Waiting for level 3, then for the start reply; after the start every
// request is resent every 2000 ms.
const BYTE kLevelRetries = 50;
const DWORD kLevelIntervalMs = 100;
const BYTE kStartRetries = 10;
const DWORD kStartIntervalMs = 5000;
const DWORD kResendIntervalMs = 2000;

// First matching row: pages below the address lie in the block.
const struct {
    DWORD below;
    int block;
} kBlockTable[] = {
    {0xB0000, 10}, {0xC0000, 9}, {0xD0000, 8}, {0xE0000, 7}, {0xF0000, 6},
    {0xF8000, 5},  {0xFA000, 4}, {0xFC000, 3}, {0xFE000, 2}, {0xFF000, 1},
};

void AppendAddress(std::string* message, DWORD address) {
    for (int i = 0; i < 4; ++i) *message += static_cast<char>((address >> (8 * i)) & 0xFF);
}

DWORD AddressAt(const std::string& reply, size_t offset) {
    const BYTE* b = reinterpret_cast<const BYTE*>(reply.data()) + offset;
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<DWORD>(b[3]) << 24);
}

}  // namespace

FirmwareUpdateOp::FirmwareUpdateOp()
    : DeviceOperation(kLevelRetries, kLevelIntervalMs),
      m_current(0),
      m_replyState(kStartState),
      m_longWait(false),
      m_started(false),
      m_mode(kFileMode),
      m_verified(0),
      m_restarts(0),
      m_lastGoodReply(0),
      m_silenceLimitMs(kSilenceLimitMs),
      m_progress(NULL),
      m_levelHeld(0) {
    ClearErased();
    AddMessageHandler(WM_TIMER, Handler(&FirmwareUpdateOp::OnTimer));
    AddMessageHandler(WM_OP_START, Handler(&FirmwareUpdateOp::OnStart));
    AddMessageHandler(WM_OP_REPLY, Handler(&FirmwareUpdateOp::HandleReply));
    AddMessageHandler(WM_OP_LOST, Handler(&FirmwareUpdateOp::HandleSensorLost));
}

FirmwareUpdateOp::~FirmwareUpdateOp() {
    FirmwareUpdateOp::Abort();
}

// The host's services.

ProgressView* FirmwareUpdateOp::BeginProgress() {
    DeviceHost* application = m_application;
    return application != NULL ? application->BeginProgress(NULL) : NULL;
}

void FirmwareUpdateOp::EndProgress() {
    ProgressView* progress =
        static_cast<ProgressView*>(InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&m_progress), NULL));
    DeviceHost* application = m_application;
    if (progress != NULL && application != NULL) application->EndProgress(progress);
}

DWORD FirmwareUpdateOp::BootFlag() {
    DeviceHost* application = m_application;
    return application != NULL ? application->GetValue3() : 0;
}

const BYTE* FirmwareUpdateOp::ImageBytes() {
    DeviceHost* application = m_application;
    return application != NULL ? reinterpret_cast<const BYTE*>(application->GetImageBuffer()) : NULL;
}

// Start and stop, user-interface thread.

int FirmwareUpdateOp::Start(ULONG_PTR argument) {
    const char* path = reinterpret_cast<const char*>(argument);
    if (IsRunning() || path == NULL) return 0;
    if (!PreparePages(path)) return 0;
    ProgressView* progress = BeginProgress();
    if (progress == NULL) {
        m_pages.clear();
        return 0;
    }
    // A file update must not be cut off half-way: no Cancel (and no Escape).
    if (m_mode == kFileMode) progress->EnableCancel(FALSE);
    progress->SetCaption(MAKEINTRESOURCEA(IDS_FIRMWARE_UPDATE));
    m_progress = progress;
    return DeviceOperation::Start(0);
}

int FirmwareUpdateOp::PreparePages(const char* path) {
    m_pages.clear();
    if (path[0] == '\0') {
        m_mode = kNoImageMode;
        return 1;
    }
    if (path[0] == '\t') {
        m_mode = kImageMode;
        TakeImage();
        return !m_pages.empty();
    }
    m_mode = kFileMode;
    // An empty or damaged file is refused before anything is sent.
    if (!LoadFile(path) || m_pages.empty()) {
        ShowBadFile();
        Abort();
        return 0;
    }
    if (!ConfirmFile(path)) {
        Abort();
        return 0;
    }
    return 1;
}

void FirmwareUpdateOp::TakeImage() {
    const BYTE* image = ImageBytes();
    if (image == NULL) return;
    m_pages.resize(kImagePages);
    for (int i = 0; i < kImagePages; ++i) {
        m_pages[i].address = kImageFirstPage + i * FirmwareFile::kPageBytes;
        memcpy(m_pages[i].data, image + i * FirmwareFile::kPageBytes, FirmwareFile::kPageBytes);
    }
}

int FirmwareUpdateOp::LoadFile(const char* path) {
    return FirmwareFile::Read(path, &m_pages);
}

WORD FirmwareUpdateOp::Crc16(WORD start, const BYTE* bytes, DWORD count) {
    return SensorDeviceBase::Crc16(start, bytes, count);
}

void FirmwareUpdateOp::ShowBadFile() {
    MsgBox().ShowId(IDS_CANNOT_OPEN_FILE, MB_ICONERROR);
}

int FirmwareUpdateOp::ConfirmFile(const char* path) {
    char title[MAX_PATH];
    const char* shown = GetFileTitleA(path, title, sizeof title) == 0 ? title : path;
    return MsgBox().ShowId(IDS_FIRMWARE_REWRITE, MB_OKCANCEL | MB_ICONEXCLAMATION, shown) == IDOK;
}

void FirmwareUpdateOp::Abort() {
    // From another thread the operation's thread stops first, so no handler
    // runs while its state is dropped; on its own thread it leaves its loop
    // once the handler returns.
    const bool ownThread = GetCurrentThreadId() == GetThreadId();
    if (!ownThread) DeviceOperation::Abort();
    ReleaseLine();
    EndProgress();
    m_pages.clear();
    if (ownThread) DeviceOperation::Abort();
}

void FirmwareUpdateOp::ReleaseLine() {
    if (InterlockedExchange(&m_levelHeld, 0) == 0) return;
    SensorDevice* device = m_device;
    if (device == NULL) return;
    device->SetLinkOpFlag(0);
    device->ReleaseLinkLevel(kDeveloperLevel);
}

// Handlers, operation thread.

bool FirmwareUpdateOp::AtLevel3() {
    SensorDevice* device = m_device;
    return device != NULL && device->GetLinkLevel() >= kDeveloperLevel;
}

LRESULT FirmwareUpdateOp::OnStart(WPARAM, LPARAM) {
    m_replyState = kStartState;
    m_started = false;
    SensorDevice* device = m_device;
    if (device == NULL) {
        Abort();
        return 0;
    }
    device->AcquireLinkLevel(kDeveloperLevel);
    InterlockedExchange(&m_levelHeld, 1);
    m_longWait = AtLevel3();
    if (!m_longWait) {
        SetRetry(kLevelRetries, kLevelIntervalMs);
        return 0;
    }
    SetRetry(kStartRetries, kStartIntervalMs);
    SendRequest();
    return 0;
}

LRESULT FirmwareUpdateOp::OnTimer(WPARAM, LPARAM) {
    CountDown();
    if (!m_started && IsExhausted()) {
        Finish(0);
        return 0;
    }
    if (ProgressEnded()) {
        Abort();
        return 0;
    }
    if (m_started) {
        if (GetTickCount() - m_lastGoodReply >= m_silenceLimitMs) {
            Finish(0);
            return 0;
        }
        SendRequest();
        return 0;
    }
    // The start request goes out only at level 3; below it the short
    // setting waits for the link.
    const bool atLevel3 = AtLevel3();
    if (atLevel3 != m_longWait) {
        m_longWait = atLevel3;
        if (atLevel3)
            SetRetry(kStartRetries, kStartIntervalMs);
        else
            SetRetry(kLevelRetries, kLevelIntervalMs);
    }
    if (atLevel3) SendRequest();
    return 0;
}

LRESULT FirmwareUpdateOp::HandleReply(WPARAM, LPARAM) {
    std::string reply;
    if (!TakeReply(&reply) || !IsRunning()) return 0;
    if (ProgressEnded()) {
        Abort();
        return 0;
    }
    switch (m_replyState) {
        case kStartState:
            OnResetReply(reply);
            break;
        case kEraseState:
            OnEraseReply(reply);
            break;
        case kProgramState:
            OnProgramReply(reply);
            break;
        case kReadState:
            OnReadReply(reply);
            break;
        default:
            break;
    }
    return 0;
}

LRESULT FirmwareUpdateOp::HandleSensorLost(WPARAM, LPARAM) {
    Finish(0);
    return 0;
}

bool FirmwareUpdateOp::ProgressEnded() {
    ProgressView* progress = m_progress;
    return progress != NULL && progress->IsDone();
}

void FirmwareUpdateOp::OnResetReply(const std::string& reply) {
    // A start reply that fails its checks leaves no retries: unless a good
    // one follows, the next tick ends the update.
    SetRetry(0, kResendIntervalMs);
    if (reply.size() != kStartReplyBytes || reply[2] != 0) return;
    const BYTE mode = static_cast<BYTE>(reply[3]);
    const bool modeOk = BootFlag() == 1 ? mode == 1 : (mode == 0 || mode == 2);
    if (!modeOk) return;
    SensorDevice* device = m_device;
    if (device != NULL) device->SetLinkOpFlag(1);  // the link operation holds still
    ClearErased();
    m_current = 0;
    m_verified = 0;
    m_restarts = 0;
    m_started = true;
    m_lastGoodReply = GetTickCount();
    m_replyState = kEraseState;
    SendRequest();
}

bool FirmwareUpdateOp::IsPageReply(const std::string& reply, BYTE kind, size_t length) {
    if (reply.size() != length || static_cast<BYTE>(reply[2]) != kind) return false;
    if (m_current >= m_pages.size() || AddressAt(reply, 3) != m_pages[m_current].address) return false;
    if (length != kStatusReplyBytes) return true;
    const BYTE status = static_cast<BYTE>(reply[7]);
    return status == 0x80 || status == 0x00;
}

void FirmwareUpdateOp::OnEraseReply(const std::string& reply) {
    SetRetry(0, kResendIntervalMs);
    if (!IsPageReply(reply, kEraseRequest, kStatusReplyBytes)) return;
    m_lastGoodReply = GetTickCount();
    m_erased[FlashBlockOf(m_pages[m_current].address)] = true;
    m_replyState = kProgramState;
    SendRequest();
}

void FirmwareUpdateOp::OnProgramReply(const std::string& reply) {
    SetRetry(0, kResendIntervalMs);
    if (!IsPageReply(reply, kProgramRequest, kStatusReplyBytes)) return;
    m_lastGoodReply = GetTickCount();
    m_replyState = kReadState;
    SendRequest();
}

void FirmwareUpdateOp::OnReadReply(const std::string& reply) {
    SetRetry(0, kResendIntervalMs);
    if (!IsPageReply(reply, kReadRequest, kReadReplyBytes)) return;
    m_lastGoodReply = GetTickCount();
    const FirmwareFile::Page& page = m_pages[m_current];
    if (memcmp(reply.data() + kReadDataOffset, page.data, FirmwareFile::kPageBytes) != 0) {
        RestartImage();
        return;
    }
    ++m_verified;
    ReportProgress();
    NextPage();
}

void FirmwareUpdateOp::RestartImage() {
    // A sensor that keeps reading back wrong is not written for ever.
    if (++m_restarts > kMaxRestarts) {
        Finish(0);
        return;
    }
    ClearErased();
    m_current = 0;
    m_verified = 0;  // the bar follows the pass that counts
    m_replyState = kEraseState;
    SendRequest();
}

void FirmwareUpdateOp::NextPage() {
    ++m_current;
    if (m_current < m_pages.size()) {
        m_replyState = m_erased[FlashBlockOf(m_pages[m_current].address)] ? kProgramState : kEraseState;
        SendRequest();
        return;
    }
    m_replyState = kFinished;
    SendRequest();  // the final reset
    Finish(1);
}

void FirmwareUpdateOp::Finish(DWORD result) {
    SensorDevice* device = m_device;
    if (device != NULL) device->OnFirmwareResult(result);
    Abort();
}

void FirmwareUpdateOp::ReportProgress() {
    ProgressView* progress = m_progress;
    if (progress == NULL) return;
    char text[64];
    snprintf(text, sizeof text, "Address %06lXH Written", static_cast<unsigned long>(m_pages[m_current].address));
    progress->SetMessage(text);
    progress->SetPos(static_cast<UINT>(m_verified * 100 / m_pages.size()));
}

void FirmwareUpdateOp::ClearErased() {
    for (int i = 0; i < kFlashBlocks; ++i) m_erased[i] = false;
}

int FirmwareUpdateOp::FlashBlockOf(DWORD address) {
    for (const auto& row : kBlockTable)
        if (address < row.below) return row.block;
    return 0;
}

int FirmwareUpdateOp::SendRequest() {
    std::string message;
    message += static_cast<char>(kCommand);
    message += static_cast<char>(kSet);
    switch (m_replyState) {
        case kStartState:
            message += static_cast<char>(m_mode == kFileMode ? (BootFlag() == 1 ? 1 : 0) : kStartWithoutFile);
            break;
        case kEraseState:
        case kProgramState:
        case kReadState: {
            if (m_current >= m_pages.size()) return 0;
            const FirmwareFile::Page& page = m_pages[m_current];
            static const BYTE kRequests[] = {0, kEraseRequest, kProgramRequest, kReadRequest};
            message += static_cast<char>(kRequests[m_replyState]);
            AppendAddress(&message, page.address);
            if (m_replyState == kProgramState)
                message.append(reinterpret_cast<const char*>(page.data), FirmwareFile::kPageBytes);
            break;
        }
        default:
            message += static_cast<char>(kFinalReset);
            break;
    }
    SensorDevice* device = m_device;
    const int sent = device != NULL ? device->SendFrame(message) : 0;
    if (m_replyState == kStartState && m_mode == kNoImageMode) {
        // Without an image the start is all there is to do.
        Abort();
        if (device != NULL) device->OnFirmwareResult(1);
    }
    return sent;
}
