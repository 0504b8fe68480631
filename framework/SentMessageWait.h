#ifndef FRAMEWORK_SENTMESSAGEWAIT_H
#define FRAMEWORK_SENTMESSAGEWAIT_H

#include <windows.h>

// Waits for a handle while still handling messages that other threads send
// to the calling thread. Device threads send notifications to the main window;
// a plain wait on such a thread from the window's thread would deadlock.
// Posted messages stay queued. Returns WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED.
DWORD WaitHandlingSentMessages(HANDLE handle, DWORD timeoutMs);
// The same for the first of several handles: WAIT_OBJECT_0 + its index.
DWORD WaitHandlingSentMessages(DWORD count, const HANDLE* handles, DWORD timeoutMs);

#endif
