#include "framework/SentMessageWait.h"

DWORD WaitHandlingSentMessages(HANDLE handle, DWORD timeoutMs) {
    return WaitHandlingSentMessages(1, &handle, timeoutMs);
}

DWORD WaitHandlingSentMessages(DWORD count, const HANDLE* handles, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD waited = GetTickCount() - start;
        DWORD remaining = INFINITE;
        if (timeoutMs != INFINITE) remaining = waited >= timeoutMs ? 0 : timeoutMs - waited;
        DWORD result = MsgWaitForMultipleObjects(count, handles, FALSE, remaining, QS_SENDMESSAGE);
        if (result != WAIT_OBJECT_0 + count) return result;
        // Peeking dispatches the pending sent messages and removes nothing else.
        MSG msg;
        PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
