#ifndef MAINWINDOW_VIEW_RENDERINGVIEW_H
#define MAINWINDOW_VIEW_RENDERINGVIEW_H

#include <windows.h>

// The scan view as its render thread (ViewRenderThread) sees it: one pass
// over its layers for the joined redraw flags, and whether it is being
// stopped, when requests are dropped. The scan view implements it; both
// calls come on the render thread.
class RenderingView {
public:
    virtual ~RenderingView() {}
    virtual bool IsStopping() const = 0;
    virtual void RenderPass(WORD flags) = 0;
};

#endif
