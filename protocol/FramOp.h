#ifndef PROTOCOL_FRAMOP_H
#define PROTOCOL_FRAMOP_H

#include "protocol/DeviceOperation.h"

#include "framework/CriticalLock.h"
#include "framework/OwnedHandle.h"
#include "protocol/OperationParams.h"

class DeviceHost;
class ProgressView;

// The operation of the FRAM command: reads or writes the seven detection
// areas (FRAM words 0x40..0xBF, at link level 2) or raw words (level 3) in
// whole blocks of 64 words, with a progress dialog the user may cancel.
//
// It first asks the device port for its level and waits up to 50 ticks of
// 100 ms for the link to reach it; then each block takes 10 ticks of 500 ms.
// A read is request and data; a write is the block, the sensor's echo, which
// must match word for word, and a commit. Only a step that moves the transfer
// on (a block read or committed) refreshes the retries, so an echo that never
// matches or a commit that is always refused ends in the failure report. A
// lost sensor ends it with that report at once. An area write that fails once
// a block may have gone in reports so: the sensor may hold part of the areas.
//
// The area image covers FRAM 0x40..0xAF; the 16 words after it share block 2
// and are written back as last read from the sensor (read first when not
// known), so an area write never changes them.
//
// Start and Abort run on the user-interface thread (Abort also on the
// operation's thread); the handlers on the operation's thread. The transfer
// fields are written by Start while no thread runs and afterwards only by the
// handlers. The transfer begins while Start opens the progress dialog, which
// it hands to the handlers once its texts are set; until then they run
// without it, and a transfer that ends meanwhile waits for it before it
// reports, so the dialog is always gone before the result shows. An Abort
// from another thread stops the operation's thread before it ends the
// progress dialog, so the dialog is never updated and ended at once.
class FramOp : public DeviceOperation {
public:
    static const BYTE kCommand = 0xA4;
    static const BYTE kRetries = 10;
    static const DWORD kIntervalMs = 500;
    static const BYTE kLevelWaitTicks = 50;
    static const DWORD kLevelWaitMs = 100;
    static const int kBlockWords = 64;
    static const int kBufferWords = 256;
    static const int kAreaImageWords = 112;  // seven areas of 16 words
    static const BYTE kAreaFirst = 0x40;
    static const WORD kAreaCount = 0x80;

    // The tick intervals of the transfer and of the wait for the level.
    explicit FramOp(DWORD intervalMs = kIntervalMs, DWORD levelWaitMs = kLevelWaitMs);
    ~FramOp() override;

    // Copies the parameter block and opens the progress dialog; 0 for a null
    // block, while running, for a start off a block boundary or a write that
    // is no whole number of blocks (last error ERROR_INVALID_PARAMETER), and
    // when no progress dialog opens.
    int Start(ULONG_PTR params) override;
    // Releases the level, ends the progress dialog, stops.
    void Abort() override;

    virtual LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnStart(WPARAM wParam, LPARAM lParam);
    virtual LRESULT HandleReply(WPARAM wParam, LPARAM lParam);
    // The sensor has gone: the failure report at once.
    virtual LRESULT HandleSensorLost(WPARAM wParam, LPARAM lParam);
    virtual int SendRequest();

    // The block that holds FRAM word first + done.
    static BYTE BlockOf(BYTE first, WORD done);
    // Whether a transfer of these parameters moves whole blocks in place.
    static bool IsWholeBlocks(const FramParams& params);

    // The words after the area image are no longer known (another sensor
    // may be linked next).
    void ForgetAreaTail();

protected:
    // A raw word write has succeeded: the "Succeed" box.
    virtual void ConfirmWordsWritten();

private:
    enum Phase { kWaitingForLevel = 0, kTransferring = 1 };
    static const int kTailWords = kAreaCount - kAreaImageWords;  // 16

    bool Prepare(const FramParams& params);
    void HandOverProgress(DeviceHost* application, ProgressView* progress);
    bool IsWrite() const { return (m_mode & 1) != 0; }
    bool IsRaw() const { return (m_mode & 2) != 0; }
    BYTE CurrentBlock() const;
    BYTE TailBlock() const;
    bool LevelReached();
    void EnterPhase(Phase phase);
    bool ProgressClosed();
    void ShowProgress();
    void HandleEcho(const std::string& reply);
    void HandleData(const std::string& reply);
    void HandleCommitResult(const std::string& reply);
    void BlockDone();
    void NextStepOrFinish();
    void Report(bool ok);
    void Fail();
    bool MayHaveWritten() const;
    void EndCancelled();
    void NoteBlock(BYTE block, const WORD* words);
    void ReleaseLevel();
    void EndProgress();

    const DWORD m_intervalMs;
    const DWORD m_levelWaitMs;

    // Written by Start while no thread runs, then by the operation's thread.
    DWORD m_mode;
    BYTE m_first;
    WORD m_count;  // 1..255
    WORD m_buffer[kBufferWords];
    DWORD m_phase;
    WORD m_done;
    BYTE m_neededLevel;
    DWORD m_commitPending;
    bool m_fetchTail;  // an area write reads block 2 before it writes

    ProgressView* volatile m_progress;  // given by Start, taken by Abort, both with interlocked exchanges
    OwnedHandle m_dialogHandedOver;     // event, reset while Start opens the progress dialog
    volatile LONG m_levelHeld;         // 1 from the level request until its release

    CriticalLock m_tailLock;  // guards the two fields below
    WORD m_areaTail[kTailWords];
    bool m_tailKnown;
};

#endif
