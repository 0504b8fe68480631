#ifndef MAINWINDOW_PRINTVIEW_H
#define MAINWINDOW_PRINTVIEW_H

#include <windows.h>

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

private:
    PrintView(const PrintView&) = delete;
    PrintView& operator=(const PrintView&) = delete;

    Rebar* m_rebar;
    ScanView* m_scanView;
};

#endif
