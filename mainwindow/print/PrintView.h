#ifndef MAINWINDOW_PRINT_PRINTVIEW_H
#define MAINWINDOW_PRINT_PRINTVIEW_H

#include <windows.h>
#include <winspool.h>

#include <string>

#include "dialogs/HeaderFooterStore.h"
#include "framework/CriticalLock.h"
#include "mainwindow/print/PrinterHelper.h"
#include "mainwindow/view/PreviewPainter.h"

class PrintControls;
class ScanView;

// Prints the plan view on one page with a header above and a footer below
// it, shows that page as a preview inside the scan view, and exports the view
// as an enhanced metafile. The printer (with its margins) and the zoom are
// the print band's two combo boxes, reached as PrintControls; the
// content is the scan view's own drawing. The header and footer dialog sees
// it as a HeaderFooterStore, the scan view as its PreviewPainter.
//
// Threads: everything runs on the user-interface thread except
// PaintPreview(0), which the view's render thread calls while the preview
// shows. The preview's page data and zoom are therefore written and read
// under the view's lock only.
class PrintView : public PrinterHelper, public HeaderFooterStore, public PreviewPainter {
public:
    static const int kMinZoom = 10;
    static const int kMaxZoom = 500;
    // PaintPreview flags.
    static const int kRefreshPage = 0x01;
    static const int kRefreshZoom = 0x02;

    PrintView();
    ~PrintView() override;

    virtual void SetScanView(ScanView* view);
    // The print band's combo boxes, which the tool bands hold.
    virtual void SetRebar(PrintControls* rebar);
    // Drops both links; the application calls it on exit.
    virtual void ReleaseObjects();
    // The driver's dialog and the page set-up for the selected printer, whose
    // margins in the band change in place; 0 when they fail.
    virtual int DocumentProperties(HWND owner);
    virtual int PageSetup(HWND owner);
    // The selected printer's printable rectangle (its margins raised to the
    // printer's minimum ones) and capabilities; printable may be null.
    virtual int GetPageMetrics(RECT* printable, int caps[kCapCount]);
    // Shows the held zoom as the combo's text.
    virtual void ShowZoom();
    // The edit field changed: its text becomes the zoom.
    virtual void OnZoomEdit();
    // The zoom that fills the page, then the band is told to show it.
    virtual void ZoomToFit();
    // A list item was chosen: its text becomes the zoom. The edit field
    // still shows the previous choice while the selection changes.
    virtual void OnZoomSelect();
    // Paints the page preview into the view's composite layer under the
    // view's lock. kRefreshPage reads the selected printer's page again,
    // kRefreshZoom the zoom; otherwise the last ones are used.
    int PaintPreview(int flags) override;
    // Prints one page on the selected printer; 1 when the spooler took it.
    virtual int Print();
    // The view at 100 % as an enhanced metafile; 1 when it was written.
    virtual int SaveAsEnhMetaFile(const char* path);
    virtual LOGFONTA* GetHeaderFont();
    virtual LOGFONTA* GetFooterFont();
    virtual const char* GetHeaderText();
    virtual const char* GetFooterText();
    // Keeps a copy of the text and returns it.
    virtual const char* SetHeaderText(const char* text);
    virtual const char* SetFooterText(const char* text);
    // The texts and fonts for the header and footer dialog; stored under
    // the preview's lock.
    HeaderFooter GetHeaderFooter() override;
    void SetHeaderFooter(const HeaderFooter& headerFooter) override;
    virtual void GetScreenDpi(SIZE* dpi);
    // The printer chosen in the band and its margins (held by the band);
    // 0 when none is chosen.
    virtual int GetSelectedPrinter(std::string* name, RECT** margins);
    // The text of item index of a print band combo; "" when there is none.
    virtual std::string GetComboText(UINT comboId, int index);
    // The item data of item index of a print band combo; 0 for no item.
    virtual int GetComboData(UINT comboId, int index, LPARAM* data);
    // The zoom in percent held by the print band's zoom combo, 10..500.
    virtual int GetZoom();
    // The zoom that makes the view's content fill the printable area.
    virtual int CalcFitZoom();
    // Draws text in rect with the font's height scaled by num / den. Bottom-
    // aligned text that does not fit shows its last lines, cut at the top.
    // Returns the height drawn, 0 for no text.
    virtual int DrawTextScaled(HDC dc, const char* text, RECT* rect, UINT format, const LOGFONTA* font, int num,
                               int den);
    // Where the content goes on a page: centred in the printable rectangle
    // and clear of the header and footer, whose heights are measured on dc
    // with their fonts scaled by num / den; sx, sy scale the view.
    RECT PlaceContent(HDC dc, const RECT& printable, double sx, double sy, int num, int den);

    // A zoom text read as an unsigned decimal number and limited to
    // 10..500 ("-5" reads as a huge number and so gives 500).
    static int ZoomFromText(const char* text);

private:
    // What the preview draws; kept between passes of the render thread.
    struct PreviewPage {
        RECT margins;
        int caps[kCapCount];
        SIZE screenDpi;
    };

    PrintView(const PrintView&) = delete;
    PrintView& operator=(const PrintView&) = delete;
    void StoreZoom(const std::string& text);
    const char* StoreText(std::string* field, const char* text);
    // What the preview draws changes only under the view's lock.
    CriticalLock& PreviewLock();
    HWND ZoomCombo();
    // The height of a text's lines in font scaled by num / den; 0 when empty.
    int TextHeight(HDC dc, const std::string& text, int width, const LOGFONTA& font, int num, int den);
    // The header, the content placed by the view and framed, and the footer
    // in the printable rectangle; text heights scale by num / den.
    void DrawPage(HDC dc, const RECT& printable, double sx, double sy, int num, int den);
    void DrawPreview(HDC dc, int width, int height);

    PrintControls* m_rebar;  // user-interface thread
    ScanView* m_scanView;    // set before the view's window exists
    // Written by the user-interface thread under PreviewLock, read by the
    // preview under the view's lock.
    HeaderFooter m_headerFooter;
    CriticalLock m_unsharedLock;  // PreviewLock while no view is set
    PreviewPage m_page;  // guarded by the view's lock
    int m_previewZoom;   // guarded by the view's lock
};

#endif
