#ifndef FRAMEWORK_OWNEDPRINTER_H
#define FRAMEWORK_OWNEDPRINTER_H

#include <windows.h>
#include <winspool.h>

// Opens a printer by name with the default access and closes it once.
class OwnedPrinter {
public:
    explicit OwnedPrinter(const char* name) : m_printer(NULL) {
        if (name != NULL && !OpenPrinterA(const_cast<char*>(name), &m_printer, NULL)) m_printer = NULL;
    }
    ~OwnedPrinter() {
        if (m_printer == NULL) return;
        DWORD saved = GetLastError();
        ClosePrinter(m_printer);
        SetLastError(saved);
    }

    HANDLE Get() const { return m_printer; }
    bool Valid() const { return m_printer != NULL; }

private:
    OwnedPrinter(const OwnedPrinter&) = delete;
    OwnedPrinter& operator=(const OwnedPrinter&) = delete;

    HANDLE m_printer;
};

#endif
