#ifndef MAINWINDOW_VIEW_VIEWRENDERTHREAD_H
#define MAINWINDOW_VIEW_VIEWRENDERTHREAD_H

#include "framework/WorkerThread.h"

class RenderingView;

// The view's render thread: takes WM_VIEW_REDRAW thread messages, joins every
// request already queued into one pass (their flags ORed), and lets the view
// draw its layers. Requests that arrive while the view is stopping are
// dropped. Started and stopped by the view on the user-interface thread.
class ViewRenderThread : public WorkerThread {
public:
    explicit ViewRenderThread(RenderingView* view);

protected:
    DWORD RunLoop() override;

private:
    RenderingView* m_view;  // set at construction, outlives the thread
};

#endif
