#ifndef FRAMEWORK_OWNEDPRINTER_H
#define FRAMEWORK_OWNEDPRINTER_H

#include "framework/HandleOwner.h"

#include <winspool.h>

struct PrinterRelease {
    typedef HANDLE Handle;
    static BOOL Free(HANDLE printer) { return ClosePrinter(printer); }
};

// A printer opened by name with the default access, closed once.
class OwnedPrinter : public HandleOwner<PrinterRelease> {
public:
    explicit OwnedPrinter(const char* name) : HandleOwner(Open(name)) {}

private:
    static HANDLE Open(const char* name) {
        HANDLE printer = NULL;
        if (name == NULL || !OpenPrinterA(const_cast<char*>(name), &printer, NULL)) return NULL;
        return printer;
    }
};

#endif
