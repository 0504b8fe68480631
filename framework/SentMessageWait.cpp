#include "framework/SentMessageWait.h"

DWORD WaitHandlingSentMessages(HANDLE handle, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD waited = GetTickCount() - start;
        DWORD remaining = INFINITE;
        if (timeoutMs != INFINITE) remaining = waited >= timeoutMs ? 0 : timeoutMs - waited;
        DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, remaining, QS_SENDMESSAGE);
        if (result != WAIT_OBJECT_0 + 1) return result;
        // Peeking dispatches the pending sent messages and removes nothing else.
        MSG msg;
        PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
