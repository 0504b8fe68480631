#ifndef TESTS_FRAMEWORK_TESTOWNERWINDOW_H
#define TESTS_FRAMEWORK_TESTOWNERWINDOW_H

#include "framework/ChildWindow.h"

#include <vector>

// A visible top-level window at the screen's top-left corner that stands in
// for the frame: commands bound with ListenFor and every WM_NOTIFY (with a
// copy of its header) are recorded as they arrive; a derived test window
// records more messages through Record.
class TestOwnerWindow : public ChildWindow {
public:
    struct Seen {
        UINT msg;  // WM_COMMAND for a command
        WPARAM wParam;
        LPARAM lParam;
        NMHDR header;  // of a WM_NOTIFY
    };

    TestOwnerWindow();
    ~TestOwnerWindow() override;

    HWND CreateTest(int width, int height);
    void ListenFor(WORD id);
    LRESULT OnCommandSeen(WORD id, WORD code, LPARAM control);
    LRESULT OnNotifySeen(WPARAM wParam, LPARAM lParam);
    LRESULT Record(UINT msg, WPARAM wParam, LPARAM lParam);
    // The recorded messages of one kind.
    std::vector<Seen> Of(UINT msg) const;
    // Handles the queued messages of this thread (posted leave notices).
    static void Pump();

    std::vector<Seen> seen;
};

#endif
