#ifndef MAINWINDOW_VIEW_PREVIEWPAINTER_H
#define MAINWINDOW_VIEW_PREVIEWPAINTER_H

// What paints the print preview while the scan view shows it: the print view.
// The view's render thread calls it under the view's lock in place of its own
// drawing, and the painter draws the page into the view's composite layer.
class PreviewPainter {
public:
    virtual ~PreviewPainter() {}
    // flags 0 paints with the page and zoom last read.
    virtual int PaintPreview(int flags) = 0;
};

#endif
