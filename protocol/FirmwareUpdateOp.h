#ifndef PROTOCOL_FIRMWAREUPDATEOP_H
#define PROTOCOL_FIRMWAREUPDATEOP_H

#include "protocol/DeviceOperation.h"

#include "protocol/FirmwareFile.h"

class ProgressView;

// The operation of the firmware update command: takes an image (an update
// file, the application's in-memory image, or none), brings the link to
// level 3, puts the sensor into its update mode, then erases, programs and
// reads back the image page by page until every page is verified, and
// restarts the sensor. Each flash block is erased once, before its first
// page is programmed; a read-back mismatch starts the whole image again.
//
// Start runs on the user-interface thread and fills the page list before the
// operation's thread starts; from then on the handlers on the operation's
// thread own the update state. Abort from the user-interface thread stops
// the thread before it drops the state; on the operation's own thread it
// drops the state and leaves the loop.
class FirmwareUpdateOp : public DeviceOperation {
public:
    static const BYTE kCommand = 0xAF;
    static const int kFlashBlocks = 11;
    // The in-memory image: 126 consecutive pages from 0xE0000.
    static const DWORD kImageFirstPage = 0xE0000;
    static const int kImagePages = 126;
    // After the start, a line silent this long fails the update.
    static const DWORD kSilenceLimitMs = 60000;
    // Whole-image restarts on read-back mismatch before the update fails.
    static const int kMaxRestarts = 3;

    FirmwareUpdateOp();
    ~FirmwareUpdateOp() override;

    // argument: the update file's path; "" starts without an image, "\t"
    // from the application's image. 0 when running, when the file cannot be
    // used, when the user declines, or when no progress dialog comes up.
    int Start(ULONG_PTR argument) override;
    // Releases the line and level 3, ends the progress dialog, drops the
    // pages and stops. Reports no result.
    void Abort() override;

    virtual LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnStart(WPARAM wParam, LPARAM lParam);
    virtual LRESULT HandleReply(WPARAM wParam, LPARAM lParam);
    // The sensor has gone: the update fails at once.
    virtual LRESULT HandleSensorLost(WPARAM wParam, LPARAM lParam);
    // The request of the current reply state.
    virtual int SendRequest();
    // The flash erase block (0..10) that holds a page.
    static int FlashBlockOf(DWORD address);
    virtual int LoadFile(const char* path);
    // The page CRC register, run on from start.
    static WORD Crc16(WORD start, const BYTE* bytes, DWORD count);

    // Shortens the silence limit (tests); any thread before Start.
    void SetSilenceLimit(DWORD ms) { m_silenceLimitMs = ms; }

protected:
    // The user's part of Start, on the user-interface thread: the file
    // cannot be used; the file is to be written (1) or not (0).
    virtual void ShowBadFile();
    virtual int ConfirmFile(const char* path);

private:
    enum ReplyState : BYTE { kStartState = 0, kEraseState = 1, kProgramState = 2, kReadState = 3, kFinished = 4 };
    enum Mode : BYTE { kFileMode = 0, kNoImageMode = 1, kImageMode = 2 };

    int PreparePages(const char* path);
    void TakeImage();
    void OnResetReply(const std::string& reply);
    void OnEraseReply(const std::string& reply);
    void OnProgramReply(const std::string& reply);
    void OnReadReply(const std::string& reply);
    bool IsPageReply(const std::string& reply, BYTE kind, size_t length);
    void RestartImage();
    void NextPage();
    void Finish(DWORD result);
    void ClearErased();
    bool ProgressEnded();
    void ReportProgress();
    void ReleaseLine();
    bool AtLevel3();

    // The host's services, in one place each.
    ProgressView* BeginProgress();
    void EndProgress();
    DWORD BootFlag();
    const BYTE* ImageBytes();

    FirmwareFile::Pages m_pages;  // filled by Start, then the operation's thread
    size_t m_current;
    BYTE m_replyState;
    bool m_erased[kFlashBlocks];
    bool m_longWait;  // the 10 x 5000 ms setting is armed
    bool m_started;   // the sensor accepted the start
    BYTE m_mode;
    DWORD m_verified;
    int m_restarts;
    DWORD m_lastGoodReply;  // tick count
    DWORD m_silenceLimitMs;

    ProgressView* volatile m_progress;  // set by Start, taken by whoever ends it
    volatile LONG m_levelHeld;         // 1 while this update holds level 3
};

#endif
