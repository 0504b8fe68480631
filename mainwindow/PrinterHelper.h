#ifndef MAINWINDOW_PRINTERHELPER_H
#define MAINWINDOW_PRINTERHELPER_H

#include <windows.h>

// The spooler calls that the print band and the print view need. It holds
// no state: every operation asks the spooler afresh.
class PrinterHelper {
public:
    PrinterHelper();
    virtual ~PrinterHelper();

    // The printers' names, one after another, each NUL-terminated, into
    // buffer when they fit in size (1); needed and count are reported also
    // when they do not fit or no buffer is given (0).
    virtual BOOL EnumPrinterNames(char* buffer, DWORD size, DWORD* needed, DWORD* count);

private:
    PrinterHelper(const PrinterHelper&) = delete;
    PrinterHelper& operator=(const PrinterHelper&) = delete;
};

#endif
