#include "framework/SentMessageWait.h"

namespace {

// Peeking dispatches every pending sent message and removes nothing else.
void HandlePendingSentMessages() {
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace

DWORD WaitHandlingSentMessages(HANDLE handle, DWORD timeoutMs) {
    return WaitHandlingSentMessages(1, &handle, timeoutMs);
}

DWORD WaitHandlingSentMessages(DWORD count, const HANDLE* handles, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        // A wait wakes only for messages that are news to the thread: one sent
        // before it began, whose arrival was already looked at, is handled here,
        // or its sender and this wait would wait for each other.
        HandlePendingSentMessages();
        DWORD waited = GetTickCount() - start;
        DWORD remaining = INFINITE;
        if (timeoutMs != INFINITE) remaining = waited >= timeoutMs ? 0 : timeoutMs - waited;
        DWORD result =
            MsgWaitForMultipleObjectsEx(count, handles, remaining, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (result != WAIT_OBJECT_0 + count) return result;
    }
}
