#include "mainwindow/PrinterHelper.h"

#include <winspool.h>

#include <cstring>
#include <vector>

namespace {

// The printers of one level of EnumPrintersA; 0 when the spooler fails.
BOOL ListPrinters(DWORD flags, DWORD level, std::vector<BYTE>* data, DWORD* count) {
    DWORD bytes = 0;
    *count = 0;
    if (!EnumPrintersA(flags, NULL, level, NULL, 0, &bytes, count)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return FALSE;
    }
    data->assign(bytes, 0);
    if (bytes == 0) return TRUE;
    return EnumPrintersA(flags, NULL, level, data->data(), bytes, &bytes, count);
}

const char* NameAt(const std::vector<BYTE>& data, DWORD level, DWORD index) {
    if (level == 4) return reinterpret_cast<const PRINTER_INFO_4A*>(data.data())[index].pPrinterName;
    return reinterpret_cast<const PRINTER_INFO_5A*>(data.data())[index].pPrinterName;
}

}  // namespace

PrinterHelper::PrinterHelper() {}

PrinterHelper::~PrinterHelper() {}

BOOL PrinterHelper::EnumPrinterNames(char* buffer, DWORD size, DWORD* needed, DWORD* count) {
    if (needed == NULL || count == NULL) return FALSE;
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return FALSE;
    DWORD flags, level;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
        level = 4;
    } else if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        flags = PRINTER_ENUM_LOCAL;
        level = 5;
    } else {
        return FALSE;
    }
    std::vector<BYTE> data;
    DWORD printers = 0;
    if (!ListPrinters(flags, level, &data, &printers)) return FALSE;
    *count = printers;
    *needed = 0;
    for (DWORD i = 0; i < printers; ++i) {
        const char* name = NameAt(data, level, i);
        *needed += static_cast<DWORD>(strlen(name != NULL ? name : "")) + 1;
    }
    if (buffer == NULL || *needed > size) return FALSE;
    for (DWORD i = 0; i < printers; ++i) {
        const char* name = NameAt(data, level, i);
        size_t length = strlen(name != NULL ? name : "") + 1;
        memcpy(buffer, name != NULL ? name : "", length);
        buffer += length;
    }
    return TRUE;
}
