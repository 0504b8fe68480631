#ifndef MAINWINDOW_PRINT_PRINTERHELPER_H
#define MAINWINDOW_PRINT_PRINTERHELPER_H

#include <windows.h>
#include <winspool.h>

#include <vector>

#include "mainwindow/print/PrintLayout.h"

// The spooler calls that the print band and the print view need: the printer
// names, a device context for a named printer with its current settings, the
// driver's document properties, the page set-up dialog, and the page's
// measures. It holds no state: every operation opens the printer by name,
// works and closes it again. Margins are a RECT (left, top, right, bottom) in
// 1/100 mm that belongs to the caller; device measures are printer pixels.
// User-interface thread only (the dialogs are modal on the caller's thread).
class PrinterHelper {
public:
    static const int kCapCount = PrintLayout::kCapCount;

    PrinterHelper();
    virtual ~PrinterHelper();

    // The printers' names, one after another, each NUL-terminated, into
    // buffer when they fit in size (1); needed and count are reported also
    // when they do not fit or no buffer is given (0).
    virtual BOOL EnumPrinterNames(char* buffer, DWORD size, DWORD* needed, DWORD* count);
    // A device context for the printer with its current settings; 0 when the
    // printer cannot be opened or has no settings.
    virtual HDC CreatePrinterDC(const char* name);
    // The GetPrinter data of a level; 0 when it cannot be read.
    virtual BOOL GetPrinterInfo(HANDLE printer, DWORD level, std::vector<BYTE>* info);
    // The driver's own dialog; confirmed settings are stored for the printer
    // and the margins turn with the page. 1 also when cancelled; 0 when the
    // printer or the dialog fails or the settings cannot be stored.
    virtual BOOL ShowDocumentProperties(const char* name, RECT* margins, HWND owner);
    // The page set-up dialog on the printer's settings and the margins, no
    // smaller than the printer's unprintable border. Confirmed margins are
    // kept, and the paper too when the spooler lets it be stored; 1 also when
    // cancelled; 0 when the printer or the dialog fails, or the margins leave
    // no printable area (ERROR_INVALID_DATA; nothing is kept then).
    virtual BOOL ShowPageSetup(const char* name, RECT* margins, HWND owner);
    // Starts a print job of the given name on a printer's context: its job
    // id, or 0 or less with the reason in the last error.
    virtual int StartDocument(HDC dc, const char* name);
    // The ten device capabilities (caps may be null); with printable, the
    // margins are first raised to the printer's minimum ones (written back)
    // and printable receives the area inside them. 0 when the printer gives
    // no device context, or the margins leave no printable area.
    virtual BOOL GetPageMetrics(const char* name, RECT* margins, RECT* printable, int caps[kCapCount]);
    // The unprintable border of the sheet in 1/100 mm; empty when the
    // printer gives no device context.
    virtual BOOL GetMinMargins(const char* name, RECT* out);
    // Stores changed level-2 settings and turns the margins when the page
    // turned (portrait to landscape: a quarter back, the other way: a
    // quarter on). The margins turn only when the settings were stored.
    virtual BOOL StoreSettings(HANDLE printer, PRINTER_INFO_2A* info, short orientationBefore, RECT* margins);

    // Each side of a becomes the larger of a's and b's; returns a.
    static RECT* RaiseToMin(RECT* a, const RECT* b);
    // Quarter turns taken modulo 4: 1 gives (bottom, left, top, right),
    // 3 gives (top, right, bottom, left).
    static void RotateMargins(RECT* margins, int quarterTurns);
    // The ten capabilities of a device context.
    static void ReadCaps(HDC dc, int caps[kCapCount]);

private:
    PrinterHelper(const PrinterHelper&) = delete;
    PrinterHelper& operator=(const PrinterHelper&) = delete;
};

#endif
