#ifndef TESTS_DIALOGS_SHOTHANDOVER_H
#define TESTS_DIALOGS_SHOTHANDOVER_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The screenshot drivers' side of scripts/dialog-shots: the script names two
// files in TIV_SHOT_READY and TIV_SHOT_DONE; the driver lists each dialog's
// picture file and screen rectangle in the first, and the script creates the
// second once it has taken the screen.
class ShotHandOver {
public:
    ShotHandOver();

    // FALSE when the driver does not run under the script.
    bool Wanted() const { return !m_ready.empty() && !m_done.empty(); }
    void Add(const char* file, HWND dialog);
    // Lists the dialogs and handles messages until the script is done;
    // false when it did not answer in time.
    bool HandOver(DWORD timeoutMs);

    // Handles the thread's messages until done says so; false on timeout.
    static bool Pump(const std::function<bool()>& done, DWORD timeoutMs);

private:
    std::string m_ready, m_done;
    std::vector<std::pair<std::string, HWND>> m_shots;
};

#endif
