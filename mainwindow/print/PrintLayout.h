#ifndef MAINWINDOW_PRINT_PRINTLAYOUT_H
#define MAINWINDOW_PRINT_PRINTLAYOUT_H

#include <windows.h>

// The page arithmetic of printing, the preview and the metafile export, free
// of any device: device capabilities come in as the ten values the printer
// helper reads, margins in 1/100 mm, the zoom in percent.
//
// Every divisor is guarded: a printer that reports no metrics (zeros) gives
// zero sizes and scales, never a division by zero.
class PrintLayout {
public:
    // Index of each device capability in the array of ten.
    enum Cap {
        kHorzSize, kVertSize, kHorzRes, kVertRes, kDpiX, kDpiY,
        kPageWidth, kPageHeight, kOffsetX, kOffsetY, kCapCount
    };
    static const int kHundredthsPerInch = 2540;
    // Room between the view's edge and the preview page, in pixels.
    static const int kPreviewBorder = 8;

    // MulDiv, but 0 when den is 0 (MulDiv gives -1 there).
    static int MulDivOrZero(int value, int num, int den);
    // The unprintable border of the sheet in 1/100 mm.
    static void MinMargins(const int caps[kCapCount], RECT* out);
    // The printable rectangle in printer pixels (origin at the printable
    // area's corner) for margins already raised to the minimum ones; 0 when
    // the margins leave no printable area.
    static BOOL Printable(const RECT& margins, const RECT& minimum, const int caps[kCapCount], RECT* out);
    // The preview page inside a client of width x height: 8 pixels in from
    // each edge, with the sheet's aspect, centred across the other way.
    static RECT FitPage(int width, int height, int pageWidth, int pageHeight);
    // The margins drawn on the preview page.
    static RECT PrintableOnPage(const RECT& page, const RECT& margins, const int caps[kCapCount]);
    // Printer pixels per screen pixel at a zoom: the content keeps its screen
    // size on paper at 100 %.
    static double PaperScale(int printerDpi, int zoom, int screenDpi);
    // The paper scale shrunk to a preview page of previewPixels for a sheet
    // of pagePixels.
    static double PreviewScale(int printerDpi, int zoom, int screenDpi, int previewPixels, int pagePixels);
    // The content's rectangle on a page whose header and footer texts are
    // headerHeight and footerHeight high (0 when empty). placed is where the
    // content went centred in the printable area and cut to it: it keeps
    // that place where the texts have room, else moves just clear of them.
    // Content taller than the room between the texts gets that room (the
    // view centres it there and cuts it). Texts taller than the page leave
    // the content no height, never a negative one.
    static RECT ClearOfHeaderAndFooter(const RECT& printable, const RECT& placed, int headerHeight, int footerHeight);
    // The zoom that makes content of the given size fill the printable
    // rectangle, by its height or its width, whichever is tighter.
    static int FitZoom(const RECT& printable, const RECT& content, const int caps[kCapCount], SIZE screenDpi);
    // The metafile's frame in 1/100 mm: the client one pixel larger, at the
    // screen's resolution.
    static RECT MetaFileFrame(const RECT& client, SIZE screenDpi);
    // The metafile's drawing rectangle in the reference printer's pixels.
    static RECT MetaFileDrawing(const RECT& client, const int caps[kCapCount], SIZE screenDpi);
};

#endif
