#ifndef TESTS_PROTOCOL_TESTPROGRESS_H
#define TESTS_PROTOCOL_TESTPROGRESS_H

#include <windows.h>

#include <string>

#include "framework/ProgressView.h"
#include "tests/protocol/EventLog.h"
#include "tests/protocol/TestHost.h"

// A progress window without a window: it records what it is told in a log
// ("progress <message>" or "progress #<string id>", "pos <n>", "cancel <0|1>",
// "progress end") and
// closes when the test plays the user's Cancel.
class RecordingProgress : public ProgressView {
public:
    explicit RecordingProgress(EventLog* log) : m_log(log), m_done(0) {}
    void End() override { Add("progress end"); }
    void SetCaption(const char*) override {}
    void SetMessage(const char* text) override {
        Add(IS_INTRESOURCE(text) ? "progress #" + std::to_string(reinterpret_cast<ULONG_PTR>(text))
                                 : std::string("progress ") + text);
    }
    void SetPos(UINT percent) override { Add("pos " + std::to_string(percent)); }
    BOOL IsDone() override { return InterlockedCompareExchange(&m_done, 0, 0); }
    void EnableCancel(BOOL enable) override { Add("cancel " + std::to_string(enable)); }
    // The user's Cancel.
    void Close() { InterlockedExchange(&m_done, 1); }

private:
    void Add(const std::string& entry) {
        if (m_log != NULL) m_log->Add(entry);
    }

    EventLog* m_log;  // may be 0
    volatile LONG m_done;
};

// The test host with progress windows of the kind above and an area image
// for the firmware update from memory.
class ProgressHost : public TestHost {
public:
    static const int kImageWords = 7 * 768 * 3;

    explicit ProgressHost(EventLog* log = NULL) : m_log(log), m_progress(NULL) {
        for (int i = 0; i < kImageWords; ++i) m_image[i] = static_cast<WORD>(i * 2654435761u >> 16);
    }
    ProgressView* BeginProgress(HWND) override {
        RecordingProgress* progress = new RecordingProgress(m_log);
        InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&m_progress), progress);
        return progress;
    }
    BOOL EndProgress(ProgressView* dialog) override {
        if (dialog == NULL) return FALSE;
        InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&m_progress), NULL, dialog);
        dialog->End();
        delete dialog;
        return TRUE;
    }
    const WORD* GetImageBuffer() override { return m_image; }
    // Plays the user's Cancel on the window shown now; false when none is.
    bool Cancel() {
        RecordingProgress* progress = m_progress;
        if (progress == NULL) return false;
        progress->Close();
        return true;
    }

private:
    EventLog* m_log;
    RecordingProgress* volatile m_progress;  // the window shown, 0 when none
    WORD m_image[kImageWords];
};

#endif
