#ifndef MAINWINDOW_PRINTVIEW_H
#define MAINWINDOW_PRINTVIEW_H

#include <windows.h>

#include <string>

class Rebar;
class ScanView;

// Prints the plan view, shows it as a page preview and exports it as a
// metafile; reaches the print band's controls through the tool bands.
// User-interface thread only.
class PrintView {
public:
    PrintView();
    virtual ~PrintView();

    virtual void SetScanView(ScanView* view);
    virtual void SetRebar(Rebar* rebar);
    // Drops both links; the application calls it on exit.
    virtual void ReleaseObjects();
    // The zoom in percent held by the print band's zoom combo, 10..500.
    virtual int GetZoom();
    // Shows the held zoom as the combo's text.
    virtual void ShowZoom();
    // The edit field changed: its text becomes the zoom.
    virtual void OnZoomEdit();
    // A list item was chosen: its text becomes the zoom. The edit field
    // still shows the previous choice while the selection changes.
    virtual void OnZoomSelect();
    // The zoom list's last item: the page fitted to the window.
    virtual void ZoomToFit();
    // The text of item index of a print band combo; "" when there is none.
    virtual std::string GetComboText(UINT comboId, int index);

    static const int kMinZoom = 10;
    static const int kMaxZoom = 500;
    // A zoom text read as an unsigned decimal number and limited to
    // 10..500 ("-5" reads as a huge number and so gives 500).
    static int ZoomFromText(const char* text);

    // Paints the page preview into the view's composite layer; the view's
    // render thread calls it, under the view's lock, while the preview shows.
    virtual int PaintPreview(int flags);

private:
    PrintView(const PrintView&) = delete;
    void StoreZoom(const std::string& text);
    PrintView& operator=(const PrintView&) = delete;

    Rebar* m_rebar;
    ScanView* m_scanView;
};

#endif
