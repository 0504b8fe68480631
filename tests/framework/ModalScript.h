#ifndef TESTS_FRAMEWORK_MODALSCRIPT_H
#define TESTS_FRAMEWORK_MODALSCRIPT_H

#include <windows.h>

#include <set>
#include <string>
#include <vector>

// Answers the message boxes and dialogs of the calling thread in the order
// they appear, from a thread timer that every modal loop dispatches. Each
// new visible dialog window is recorded (caption and the texts of its
// children) and given the next step: a file name typed into a file dialog's
// name field, if the step has one, then the step's command posted to it.
// Windows that appear once the steps are used up are recorded and left
// alone. Dialogs already open when the script starts are not its business.
class ModalScript {
public:
    struct Step {
        WORD command;
        std::string fileName;  // typed into a file dialog first; "" = none
    };
    struct Seen {
        std::string caption;
        std::string texts;  // every child's text, one per line
    };

    explicit ModalScript(const std::vector<Step>& steps);
    ~ModalScript();

    // The texts of the i-th window seen, "" when there was none.
    std::string TextsOf(size_t i) const { return i < seen.size() ? seen[i].texts : std::string(); }

    // Handles the thread's messages until count windows were seen; false
    // when they did not show within the time.
    bool WaitForSeen(size_t count, DWORD timeoutMs = 10000);

    std::vector<Seen> seen;

    // The visible dialog windows (#32770) of the calling thread.
    static std::vector<HWND> VisibleDialogs();
    // Every child's text, one per line.
    static std::string ChildTexts(HWND window);

private:
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK NoteVisible(HWND hwnd, LPARAM param);
    static BOOL CALLBACK CollectText(HWND hwnd, LPARAM param);
    void Answer(HWND dialog);

    std::vector<Step> m_steps;
    size_t m_next;
    std::set<HWND> m_known;
    UINT_PTR m_timer;
};

#endif
