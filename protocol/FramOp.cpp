#include "protocol/FramOp.h"

#include "framework/ProgressView.h"
#include "protocol/DeviceHost.h"
#include "protocol/DeviceMessages.h"
#include "protocol/SensorDevice.h"
#include "resources/resource.h"

namespace {

const BYTE kGet = 0x69;
const BYTE kSet = 0x5A;
const BYTE kCommit = 0xA5;
const size_t kBlockMessageBytes = 133;  // command, sub-command, block, 64 words, CRC
const size_t kCommitReplyBytes = 5;
const BYTE kCommitted = 1;
const BYTE kAreaLevel = 2;
const BYTE kRawLevel = 3;
// FRAM 0xB0..0xBF: the last 16 words of block 2, after the area image.
const int kTailOffsetInBlock = 48;

WORD WordAt(const std::string& bytes, size_t offset) {
    return static_cast<WORD>(static_cast<BYTE>(bytes[offset]) | (static_cast<BYTE>(bytes[offset + 1]) << 8));
}

void AppendWords(const WORD* words, int count, std::string* message) {
    for (int i = 0; i < count; ++i) {
        *message += static_cast<char>(words[i] & 0xFF);
        *message += static_cast<char>(words[i] >> 8);
    }
}

WORD WordsOf(BYTE count) {
    return count != 0 ? count : FramOp::kBlockWords;
}

}  // namespace

FramOp::FramOp(DWORD intervalMs, DWORD levelWaitMs)
    : DeviceOperation(kRetries, intervalMs),
      m_intervalMs(intervalMs),
      m_levelWaitMs(levelWaitMs),
      m_mode(0),
      m_first(0),
      m_count(kBlockWords),
      m_phase(kWaitingForLevel),
      m_done(0),
      m_neededLevel(kAreaLevel),
      m_commitPending(0),
      m_fetchTail(false),
      m_progress(NULL),
      m_dialogHandedOver(CreateEventA(NULL, TRUE, TRUE, NULL)),
      m_levelHeld(0),
      m_tailKnown(false) {
    ZeroMemory(m_buffer, sizeof(m_buffer));
    ZeroMemory(m_areaTail, sizeof(m_areaTail));
    AddMessageHandler(WM_TIMER, Handler(&FramOp::OnTimer));
    AddMessageHandler(WM_OP_START, Handler(&FramOp::OnStart));
    AddMessageHandler(WM_OP_REPLY, Handler(&FramOp::HandleReply));
    AddMessageHandler(WM_OP_LOST, Handler(&FramOp::HandleSensorLost));
}

FramOp::~FramOp() {
    FramOp::Abort();
}

BYTE FramOp::BlockOf(BYTE first, WORD done) {
    // One formula for reads and writes: the block of the word reached.
    return static_cast<BYTE>((first + done) / kBlockWords);
}

bool FramOp::IsWholeBlocks(const FramParams& params) {
    if (params.first % kBlockWords != 0) return false;
    const bool write = (params.mode & 1) != 0;
    if (write && WordsOf(params.count) % kBlockWords != 0) return false;
    // The areas live at one place only.
    const bool raw = (params.mode & 2) != 0;
    return raw || (params.first == kAreaFirst && params.count == kAreaCount);
}

int FramOp::Start(ULONG_PTR argument) {
    const FramParams* params = reinterpret_cast<const FramParams*>(argument);
    if (params == NULL || IsRunning()) return 0;
    const bool write = (params->mode & 1) != 0;
    if (!IsWholeBlocks(*params) || (write && params->data == NULL)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // A thread that ended its last transfer by itself is gone before the
    // fields of the next one are written.
    DeviceOperation::Abort();
    Prepare(*params);
    DeviceHost* application = m_application;
    if (application == NULL) return 0;
    // The transfer starts first: opening the dialog takes as long as a few
    // blocks on a fast line, and the operation copes without it meanwhile.
    ResetEvent(m_dialogHandedOver.Get());
    if (!DeviceOperation::Start(argument)) {
        SetEvent(m_dialogHandedOver.Get());
        return 0;
    }
    ProgressView* progress = application->BeginProgress(NULL);
    if (progress != NULL && !IsRaw()) {
        progress->SetCaption(MAKEINTRESOURCEA(write ? IDS_WRITE_AREA : IDS_READ_AREA));
        progress->SetMessage(MAKEINTRESOURCEA(write ? IDS_WRITING_AREA : IDS_READING_AREA));
    }
    HandOverProgress(application, progress);
    if (progress == NULL) {
        Abort();
        return 0;
    }
    return 1;
}

void FramOp::HandOverProgress(DeviceHost* application, ProgressView* progress) {
    InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&m_progress), progress);
    SetEvent(m_dialogHandedOver.Get());
    // A transfer that ended while the dialog was being opened without a
    // report (or took this one just now): whatever is left is ended here.
    if (IsRunning()) return;
    progress = reinterpret_cast<ProgressView*>(
        InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&m_progress), NULL));
    if (progress != NULL) application->EndProgress(progress);
}

bool FramOp::Prepare(const FramParams& params) {
    m_mode = params.mode & 3;
    m_first = params.first;
    m_count = WordsOf(params.count);
    m_done = 0;
    m_phase = kWaitingForLevel;
    m_commitPending = 0;
    m_fetchTail = false;
    m_neededLevel = IsRaw() ? kRawLevel : kAreaLevel;
    ZeroMemory(m_buffer, sizeof(m_buffer));
    if (!IsWrite()) return true;
    if (IsRaw()) {
        CopyMemory(m_buffer, params.data, m_count * sizeof(WORD));
        return true;
    }
    // The caller's image ends with the areas; what follows them in block 2
    // comes from the sensor.
    CopyMemory(m_buffer, params.data, kAreaImageWords * sizeof(WORD));
    CriticalLock::Hold hold(m_tailLock);
    CopyMemory(m_buffer + kAreaImageWords, m_areaTail, sizeof(m_areaTail));
    m_fetchTail = !m_tailKnown;
    return true;
}

void FramOp::Abort() {
    // The thread stops first. From another thread this waits for it, so no
    // handler updates the dialog or touches the level afterwards; on its own
    // thread nothing else runs, and the next Start waits for the rest.
    DeviceOperation::Abort();
    ReleaseLevel();
    EndProgress();
}

void FramOp::ReleaseLevel() {
    SensorDevice* device = m_device;
    if (InterlockedExchange(&m_levelHeld, 0) != 0 && device != NULL) device->ReleaseLinkLevel(m_neededLevel);
}

void FramOp::EndProgress() {
    ProgressView* progress = reinterpret_cast<ProgressView*>(
        InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&m_progress), NULL));
    DeviceHost* application = m_application;
    if (progress != NULL && application != NULL) application->EndProgress(progress);
}

void FramOp::ForgetAreaTail() {
    CriticalLock::Hold hold(m_tailLock);
    m_tailKnown = false;
}

void FramOp::NoteBlock(BYTE block, const WORD* words) {
    if (block != TailBlock()) return;
    CriticalLock::Hold hold(m_tailLock);
    CopyMemory(m_areaTail, words + kTailOffsetInBlock, sizeof(m_areaTail));
    m_tailKnown = true;
}

BYTE FramOp::CurrentBlock() const {
    return m_fetchTail ? TailBlock() : BlockOf(m_first, m_done);
}

BYTE FramOp::TailBlock() const {
    return BlockOf(kAreaFirst, kAreaImageWords);
}

bool FramOp::LevelReached() {
    SensorDevice* device = m_device;
    return device != NULL && device->GetLinkLevel() >= m_neededLevel;
}

void FramOp::EnterPhase(Phase phase) {
    m_phase = phase;
    if (phase == kWaitingForLevel)
        SetRetry(kLevelWaitTicks, m_levelWaitMs);
    else
        SetRetry(kRetries, m_intervalMs);
}

bool FramOp::ProgressClosed() {
    ProgressView* progress = m_progress;
    return progress != NULL && progress->IsDone();
}

void FramOp::ShowProgress() {
    ProgressView* progress = m_progress;
    if (progress != NULL) progress->SetPos(static_cast<UINT>(m_done) * 100 / m_count);
}

LRESULT FramOp::OnStart(WPARAM, LPARAM) {
    SensorDevice* device = m_device;
    if (device == NULL) {
        Abort();
        return 0;
    }
    InterlockedExchange(&m_levelHeld, 1);
    device->AcquireLinkLevel(m_neededLevel);
    if (!LevelReached()) {
        EnterPhase(kWaitingForLevel);
        return 0;
    }
    EnterPhase(kTransferring);
    SendRequest();
    return 0;
}

LRESULT FramOp::OnTimer(WPARAM, LPARAM) {
    CountDown();
    if (IsExhausted()) {
        Fail();
        return 0;
    }
    if (ProgressClosed()) {
        EndCancelled();
        return 0;
    }
    if (m_device == NULL) return 0;
    if (!LevelReached()) {
        if (m_phase == kTransferring) EnterPhase(kWaitingForLevel);
        return 0;
    }
    if (m_phase == kWaitingForLevel) EnterPhase(kTransferring);
    SendRequest();
    return 0;
}

int FramOp::SendRequest() {
    std::string message(1, static_cast<char>(kCommand));
    if (IsWrite() && m_commitPending != 0) {
        message += static_cast<char>(kCommit);
    } else if (!IsWrite() || m_fetchTail) {
        message += static_cast<char>(kGet);
        message += static_cast<char>(CurrentBlock());
    } else {
        message += static_cast<char>(kSet);
        message += static_cast<char>(CurrentBlock());
        AppendWords(m_buffer + m_done, kBlockWords, &message);
    }
    SensorDevice* device = m_device;
    return device != NULL ? device->SendFrame(message) : 0;
}

LRESULT FramOp::HandleReply(WPARAM, LPARAM) {
    std::string reply;
    if (!TakeReply(&reply)) return 0;
    if (!IsRunning()) return 0;
    if (ProgressClosed()) {
        EndCancelled();
        return 0;
    }
    if (reply.size() < 3) return 0;
    switch (static_cast<BYTE>(reply[1])) {
        case kSet:
            HandleEcho(reply);
            break;
        case kGet:
            HandleData(reply);
            break;
        case kCommit:
            HandleCommitResult(reply);
            break;
        default:
            break;  // the timer resends
    }
    return 0;
}

LRESULT FramOp::HandleSensorLost(WPARAM, LPARAM) {
    Fail();
    return 0;
}

void FramOp::HandleEcho(const std::string& reply) {
    if (reply.size() != kBlockMessageBytes || !IsWrite() || m_fetchTail || m_commitPending != 0) return;
    if (static_cast<BYTE>(reply[2]) != CurrentBlock()) return;
    for (int k = 0; k < kBlockWords; ++k) {
        // The block as the sensor took it differs: the next tick writes it again.
        if (WordAt(reply, 3 + 2 * k) != m_buffer[m_done + k]) return;
    }
    m_commitPending = 1;
    if (LevelReached()) SendRequest();
}

void FramOp::HandleData(const std::string& reply) {
    if (reply.size() != kBlockMessageBytes || (IsWrite() && !m_fetchTail)) return;
    const BYTE block = static_cast<BYTE>(reply[2]);
    if (block != CurrentBlock()) return;
    WORD words[kBlockWords];
    for (int k = 0; k < kBlockWords; ++k) words[k] = WordAt(reply, 3 + 2 * k);
    NoteBlock(block, words);
    if (m_fetchTail) {
        CopyMemory(m_buffer + kAreaImageWords, words + kTailOffsetInBlock, kTailWords * sizeof(WORD));
        m_fetchTail = false;
        SetRetry(kRetries, m_intervalMs);
        if (LevelReached()) SendRequest();
        return;
    }
    CopyMemory(m_buffer + m_done, words, sizeof(words));
    BlockDone();
}

void FramOp::HandleCommitResult(const std::string& reply) {
    if (reply.size() != kCommitReplyBytes || !IsWrite() || m_commitPending == 0) return;
    m_commitPending = 0;
    if (static_cast<BYTE>(reply[2]) == kCommitted) {
        NoteBlock(CurrentBlock(), m_buffer + m_done);
        BlockDone();
        return;
    }
    // Refused: the same block again, without fresh retries.
    if (LevelReached()) SendRequest();
}

void FramOp::BlockDone() {
    m_done = static_cast<WORD>(m_done + kBlockWords);
    SetRetry(kRetries, m_intervalMs);
    ShowProgress();
    NextStepOrFinish();
}

void FramOp::NextStepOrFinish() {
    if (m_done < m_count) {
        if (LevelReached()) SendRequest();
        return;
    }
    Report(true);
    Abort();
}

void FramOp::Report(bool ok) {
    // The progress dialog goes before the result box shows, also when the
    // transfer ends while Start is still opening it: reported then, the box
    // showed first and the dialog came up over it and took the keyboard.
    // Closing the box while the dialog still shows, a window manager hands
    // the keyboard back to the dialog, which then vanishes and leaves it with
    // no window.
    WaitForSingleObject(m_dialogHandedOver.Get(), INFINITE);
    EndProgress();
    // A write that did not finish may have changed block 2 or not.
    if (!ok && IsWrite()) ForgetAreaTail();
    SensorDevice* device = m_device;
    if (device == NULL) return;
    const BYTE count = static_cast<BYTE>(m_count);
    switch (m_mode) {
        case FramParams::kReadAreas:
            device->OnAreasRead(ok ? m_buffer : NULL);
            break;
        case FramParams::kWriteAreas:
            if (ok)
                device->OnAreasWritten(kAreasWritten);
            else
                device->OnAreasWritten(MayHaveWritten() ? kAreasPartlyWritten : kAreasNotWritten);
            break;
        case FramParams::kReadWords:
            device->OnFramData(ok ? m_buffer : NULL, m_first, count);
            break;
        default:
            device->OnFramWritten(ok ? 1 : 0, m_first, count);
            if (ok) ConfirmWordsWritten();
            break;
    }
}

void FramOp::Fail() {
    Report(false);
    Abort();
}

// A block committed, or one whose commit went out unanswered: the sensor
// may hold part of what was written.
bool FramOp::MayHaveWritten() const {
    return m_done > 0 || m_commitPending != 0;
}

void FramOp::EndCancelled() {
    // Once a block may have gone into the sensor, the user must learn that
    // the write did not finish.
    if (IsWrite() && MayHaveWritten()) Report(false);
    Abort();
}

void FramOp::ConfirmWordsWritten() {
    MessageBoxA(NULL, "Succeed", "Result", MB_OK);
}
