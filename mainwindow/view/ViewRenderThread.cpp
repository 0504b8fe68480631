#include "mainwindow/view/ViewRenderThread.h"

#include "framework/ErrorCodes.h"
#include "mainwindow/view/RenderingView.h"
#include "mainwindow/view/ViewMessages.h"

ViewRenderThread::ViewRenderThread(RenderingView* view) : m_view(view) {}

DWORD ViewRenderThread::RunLoop() {
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageA(&msg, NULL, 0, 0);
        if (got == -1) {
            SetLastError(kErrorMessageLoop);
            return 0;
        }
        if (got == 0) return 1;
        if (msg.message != WM_VIEW_REDRAW || m_view->IsStopping()) continue;
        // A burst of requests becomes one pass; a quit stays queued.
        WORD flags = LOWORD(msg.wParam);
        while (PeekMessageA(&msg, NULL, WM_VIEW_REDRAW, WM_VIEW_REDRAW, PM_REMOVE)) flags |= LOWORD(msg.wParam);
        m_view->RenderPass(flags);
    }
}
