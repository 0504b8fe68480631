#include "mainwindow/print/PrintLayout.h"

#include "framework/Geometry.h"

#include <algorithm>

int PrintLayout::MulDivOrZero(int value, int num, int den) {
    return den != 0 ? MulDiv(value, num, den) : 0;
}

void PrintLayout::MinMargins(const int caps[kCapCount], RECT* out) {
    out->left = MulDivOrZero(caps[kOffsetX], kHundredthsPerInch, caps[kDpiX]);
    out->top = MulDivOrZero(caps[kOffsetY], kHundredthsPerInch, caps[kDpiY]);
    out->right = MulDivOrZero(caps[kPageWidth] - caps[kHorzRes] - caps[kOffsetX], kHundredthsPerInch, caps[kDpiX]);
    out->bottom = MulDivOrZero(caps[kPageHeight] - caps[kVertRes] - caps[kOffsetY], kHundredthsPerInch, caps[kDpiY]);
}

BOOL PrintLayout::Printable(const RECT& margins, const RECT& minimum, const int caps[kCapCount], RECT* out) {
    out->left = MulDivOrZero(margins.left - minimum.left, caps[kDpiX], kHundredthsPerInch);
    out->top = MulDivOrZero(margins.top - minimum.top, caps[kDpiY], kHundredthsPerInch);
    out->right = caps[kHorzRes] - MulDivOrZero(margins.right - minimum.right, caps[kDpiX], kHundredthsPerInch);
    out->bottom = caps[kVertRes] - MulDivOrZero(margins.bottom - minimum.bottom, caps[kDpiY], kHundredthsPerInch);
    if (RectWidth(out) > caps[kHorzRes]) {
        out->left = 0;
        out->right = caps[kHorzRes];
    }
    if (RectHeight(out) > caps[kVertRes]) {
        out->top = 0;
        out->bottom = caps[kVertRes];
    }
    return out->right > out->left && out->bottom > out->top;
}

RECT PrintLayout::FitPage(int width, int height, int pageWidth, int pageHeight) {
    RECT page = {kPreviewBorder, kPreviewBorder, width - kPreviewBorder, height - kPreviewBorder};
    if (page.right < page.left) page.right = page.left;
    if (page.bottom < page.top) page.bottom = page.top;
    if (pageWidth <= 0 || pageHeight <= 0) return page;
    const int w = RectWidth(&page);
    const int h = RectHeight(&page);
    // w / h <= pageWidth / pageHeight, without the division.
    if (static_cast<LONGLONG>(w) * pageHeight <= static_cast<LONGLONG>(h) * pageWidth) {
        const int fitted = MulDiv(w, pageHeight, pageWidth);
        page.top = (height - fitted) / 2;
        page.bottom = page.top + fitted;
    } else {
        const int fitted = MulDiv(h, pageWidth, pageHeight);
        page.left = (width - fitted) / 2;
        page.right = page.left + fitted;
    }
    return page;
}

RECT PrintLayout::PrintableOnPage(const RECT& page, const RECT& margins, const int caps[kCapCount]) {
    const double w = RectWidth(&page);
    const double h = RectHeight(&page);
    const double pageW = caps[kPageWidth];
    const double pageH = caps[kPageHeight];
    RECT out = page;
    if (pageW <= 0 || pageH <= 0) return out;
    // Margins in printer pixels, then as a share of the sheet.
    const double left = margins.left * static_cast<double>(caps[kDpiX]) / kHundredthsPerInch;
    const double top = margins.top * static_cast<double>(caps[kDpiY]) / kHundredthsPerInch;
    const double right = margins.right * static_cast<double>(caps[kDpiX]) / kHundredthsPerInch;
    const double bottom = margins.bottom * static_cast<double>(caps[kDpiY]) / kHundredthsPerInch;
    out.left = static_cast<LONG>(page.left + w * left / pageW);
    out.top = static_cast<LONG>(page.top + h * top / pageH);
    out.right = static_cast<LONG>(page.right - w * right / pageW);
    out.bottom = static_cast<LONG>(page.bottom - h * bottom / pageH);
    return out;
}

double PrintLayout::PaperScale(int printerDpi, int zoom, int screenDpi) {
    if (screenDpi <= 0) return 0.0;
    return static_cast<double>(printerDpi) * zoom / (static_cast<double>(screenDpi) * 100.0);
}

double PrintLayout::PreviewScale(int printerDpi, int zoom, int screenDpi, int previewPixels, int pagePixels) {
    if (pagePixels <= 0) return 0.0;
    return PaperScale(printerDpi, zoom, screenDpi) * previewPixels / pagePixels;
}

RECT PrintLayout::ClearOfHeaderAndFooter(const RECT& printable, const RECT& placed, int headerHeight,
                                          int footerHeight) {
    const LONG top = std::min<LONG>(printable.top + headerHeight, printable.bottom);
    const LONG bottom = std::max<LONG>(printable.bottom - footerHeight, top);
    RECT content = placed;
    if (RectHeight(&placed) > bottom - top) {
        content.top = top;
        content.bottom = bottom;
        return content;
    }
    if (content.top < top) OffsetRect(&content, 0, top - content.top);
    if (content.bottom > bottom) OffsetRect(&content, 0, bottom - content.bottom);
    return content;
}

int PrintLayout::FitZoom(const RECT& printable, const RECT& content, const int caps[kCapCount], SIZE screenDpi) {
    const LONGLONG wP = RectWidth(&printable), hP = RectHeight(&printable);
    const LONGLONG wE = RectWidth(&content), hE = RectHeight(&content);
    if (wE <= 0 || hE <= 0) return 0;
    // wE / hE < wP / hP: the height is the tighter side.
    if (wE * hP < wP * hE) {
        return MulDivOrZero(static_cast<int>(hP), screenDpi.cy * 100, static_cast<int>(hE) * caps[kDpiY]);
    }
    return MulDivOrZero(static_cast<int>(wP), screenDpi.cx * 100, static_cast<int>(wE) * caps[kDpiX]);
}

RECT PrintLayout::MetaFileFrame(const RECT& client, SIZE screenDpi) {
    RECT frame = {0, 0, MulDivOrZero(client.right + 1, kHundredthsPerInch, screenDpi.cx),
                  MulDivOrZero(client.bottom + 1, kHundredthsPerInch, screenDpi.cy)};
    return frame;
}

RECT PrintLayout::MetaFileDrawing(const RECT& client, const int caps[kCapCount], SIZE screenDpi) {
    RECT drawing = {0, 0, MulDivOrZero(client.right, caps[kDpiX], screenDpi.cx),
                    MulDivOrZero(client.bottom, caps[kDpiY], screenDpi.cy)};
    return drawing;
}
