#ifndef TESTS_PROTOCOL_E2E_WATCHEDPORT_H
#define TESTS_PROTOCOL_E2E_WATCHEDPORT_H

#include <windows.h>

#include <string>
#include <vector>

#include "protocol/DevicePort.h"

// The real device port on a real line, with the main window replaced by a
// record of the notifications. Data behind a posted pointer (the version
// text, the scan) is copied at once under the hand-over lock, as the window
// copies it.
class WatchedPort : public DevicePort {
public:
    struct Note {
        UINT msg;
        WPARAM wParam;
        std::string data;  // version text, the scan as 769 little-endian words, or the area table
        DWORD tick;        // GetTickCount when it arrived
        LPARAM lParam;
    };

    WatchedPort();
    ~WatchedPort() override;

    // Notes the command byte of every frame handed to the line.
    int Send(const std::string& bytes) override;
    LRESULT SendToFrame(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL PostToFrame(UINT msg, WPARAM wParam, LPARAM lParam) override;

    std::vector<Note> NotesOf(UINT msg);
    // Wait until at least count such notes arrived; false on time-out.
    // How many times a link level was reported so far.
    size_t LevelCount(WPARAM level);
    // Waits until port was reported opened count times (port 0: closed).
    bool WaitForOpened(int port, DWORD timeoutMs, size_t count = 1);
    bool WaitForLevel(WPARAM level, size_t count, DWORD timeoutMs);
    // Asks the port worker to open com; true once it opened and the link is at level 1.
    bool OpenAtLevel1(int com, DWORD timeoutMs);
    bool WaitForInfo(const std::string& text, size_t count, DWORD timeoutMs);
    bool WaitForScans(size_t count, DWORD timeoutMs);
    // Until at least count notes of msg with that wParam arrived.
    bool WaitForNote(UINT msg, WPARAM wParam, size_t count, DWORD timeoutMs);
    // Until at least count notes of msg arrived, whatever their wParam.
    bool WaitForNotes(UINT msg, size_t count, DWORD timeoutMs);
    // GetTickCount when the last frame of that command was handed to the
    // line, sent or not; 0 when none was.
    DWORD LastSentTick(BYTE command);
    // The scan step of a recorded scan note.
    static WORD Step(const Note& scan, int step);

private:
    size_t Count(UINT msg, bool byParam, WPARAM wParam, const std::string& data);
    bool WaitForCount(UINT msg, bool byParam, WPARAM wParam, const std::string& data, size_t count,
                      DWORD timeoutMs);
    void Record(UINT msg, WPARAM wParam, LPARAM lParam);

    CRITICAL_SECTION m_lock;  // guards m_notes and m_lastSent
    std::vector<Note> m_notes;
    DWORD m_lastSent[256];  // by command byte
    HANDLE m_noted;  // auto-reset; set after every note
};

#endif
