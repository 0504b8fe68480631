#ifndef TESTS_FRAMEWORK_MODALCLOSER_H
#define TESTS_FRAMEWORK_MODALCLOSER_H

#include <windows.h>

#include <set>
#include <string>

// Closes the next modal dialog or message box of the calling thread from a
// thread timer, which the modal loop itself dispatches: it records the box's
// caption, its texts and its owner, then posts WM_COMMAND with the given id.
// Dialogs already shown when it is made are not the next one. One closer per
// thread at a time.
class ModalCloser {
public:
    explicit ModalCloser(WORD commandId);
    ~ModalCloser();

    HWND box = NULL;
    HWND owner = NULL;
    std::string caption;
    std::string texts;  // every child's text, one per line

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);

    WORD m_commandId;
    std::set<HWND> m_known;  // visible when the closer was made
    UINT_PTR m_timer;
};

#endif
