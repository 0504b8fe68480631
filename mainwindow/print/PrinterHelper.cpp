#include "mainwindow/print/PrinterHelper.h"

#include "framework/GlobalBlock.h"
#include "framework/OwnedDc.h"
#include "framework/OwnedPrinter.h"

#include <commdlg.h>

#include <algorithm>
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

namespace {

// The printer opened by name with its level-2 data; the DEVMODE inside it
// is the printer's current settings.
class OpenedPrinter {
public:
    OpenedPrinter(PrinterHelper* helper, const char* name) : m_printer(name) {
        if (m_printer.Valid()) helper->GetPrinterInfo(m_printer.Get(), 2, &m_info);
    }
    bool Valid() const { return m_printer.Valid() && m_info.size() >= sizeof(PRINTER_INFO_2A); }
    HANDLE Handle() const { return m_printer.Get(); }
    PRINTER_INFO_2A* Info() { return reinterpret_cast<PRINTER_INFO_2A*>(m_info.data()); }
    DEVMODEA* DevMode() { return Valid() ? Info()->pDevMode : NULL; }

private:
    OwnedPrinter m_printer;
    std::vector<BYTE> m_info;
};

size_t DevModeBytes(const DEVMODEA* mode) {
    return mode != NULL ? static_cast<size_t>(mode->dmSize) + mode->dmDriverExtra : 0;
}

const char* OrEmpty(const char* text) {
    return text != NULL ? text : "";
}

// A DEVNAMES block: the offsets, then the driver, device and port names,
// each NUL-terminated. A missing name is "".
HGLOBAL FillDevNames(GlobalBlock* block, const char* driver, const char* device, const char* port) {
    const size_t driverLength = strlen(driver), deviceLength = strlen(device), portLength = strlen(port);
    GlobalBlock::Lock lock(*block);
    if (lock.Data() == NULL) return NULL;
    DEVNAMES* names = reinterpret_cast<DEVNAMES*>(lock.Data());
    names->wDriverOffset = sizeof(DEVNAMES);
    names->wDeviceOffset = static_cast<WORD>(names->wDriverOffset + driverLength + 1);
    names->wOutputOffset = static_cast<WORD>(names->wDeviceOffset + deviceLength + 1);
    names->wDefault = 0;
    char* text = reinterpret_cast<char*>(lock.Data());
    memcpy(text + names->wDriverOffset, driver, driverLength + 1);
    memcpy(text + names->wDeviceOffset, device, deviceLength + 1);
    memcpy(text + names->wOutputOffset, port, portLength + 1);
    return block->Get();
}

SIZE_T DevNamesBytes(const char* driver, const char* device, const char* port) {
    return sizeof(DEVNAMES) + strlen(driver) + strlen(device) + strlen(port) + 3;
}

// Margins that leave part of a sheet of the given size (1/100 mm) to print on.
bool LeavesPrintableArea(const RECT& margins, POINT paper) {
    return margins.left + margins.right < paper.x && margins.top + margins.bottom < paper.y;
}

}  // namespace

HDC PrinterHelper::CreatePrinterDC(const char* name) {
    OpenedPrinter printer(this, name);
    if (printer.DevMode() == NULL) return NULL;
    return CreateDCA(NULL, name, NULL, printer.DevMode());
}

BOOL PrinterHelper::GetPrinterInfo(HANDLE printer, DWORD level, std::vector<BYTE>* info) {
    DWORD bytes = 0;
    GetPrinterA(printer, level, NULL, 0, &bytes);
    if (bytes == 0) return FALSE;
    info->assign(bytes, 0);
    if (GetPrinterA(printer, level, info->data(), bytes, &bytes)) return TRUE;
    info->clear();
    return FALSE;
}

BOOL PrinterHelper::ShowDocumentProperties(const char* name, RECT* margins, HWND owner) {
    OpenedPrinter printer(this, name);
    DEVMODEA* mode = printer.DevMode();
    if (mode == NULL) return FALSE;
    const short before = mode->dmOrientation;
    LONG answer = ::DocumentPropertiesA(owner, printer.Handle(), const_cast<char*>(name), mode, mode,
                                        DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER);
    if (answer < 0) return FALSE;
    if (answer != IDOK) return TRUE;
    return StoreSettings(printer.Handle(), printer.Info(), before, margins);
}

BOOL PrinterHelper::StoreSettings(HANDLE printer, PRINTER_INFO_2A* info, short orientationBefore, RECT* margins) {
    if (info == NULL || !SetPrinterA(printer, 2, reinterpret_cast<BYTE*>(info), 0)) return FALSE;
    const short after = info->pDevMode != NULL ? info->pDevMode->dmOrientation : orientationBefore;
    if (margins != NULL && orientationBefore == DMORIENT_LANDSCAPE && after == DMORIENT_PORTRAIT) {
        RotateMargins(margins, 1);
    } else if (margins != NULL && orientationBefore == DMORIENT_PORTRAIT && after == DMORIENT_LANDSCAPE) {
        RotateMargins(margins, -1);
    }
    return TRUE;
}

BOOL PrinterHelper::ShowPageSetup(const char* name, RECT* margins, HWND owner) {
    OpenedPrinter printer(this, name);
    DEVMODEA* mode = printer.DevMode();
    if (mode == NULL || margins == NULL) return FALSE;
    const size_t modeBytes = DevModeBytes(mode);
    GlobalBlock modeBlock(modeBytes);
    {
        GlobalBlock::Lock lock(modeBlock);
        if (lock.Data() == NULL) return FALSE;
        memcpy(lock.Data(), mode, modeBytes);
    }
    PRINTER_INFO_2A* info = printer.Info();
    const char* driver = OrEmpty(info->pDriverName);
    const char* port = OrEmpty(info->pPortName);
    GlobalBlock namesBlock(DevNamesBytes(driver, name, port));
    if (FillDevNames(&namesBlock, driver, name, port) == NULL) return FALSE;

    RECT minimum;
    GetMinMargins(name, &minimum);
    PAGESETUPDLGA setup = {};
    setup.lStructSize = sizeof setup;
    setup.hwndOwner = owner;
    setup.Flags = PSD_MINMARGINS | PSD_MARGINS | PSD_INHUNDREDTHSOFMILLIMETERS | PSD_DISABLEPRINTER;
    setup.hDevMode = modeBlock.Get();
    setup.hDevNames = namesBlock.Get();
    setup.rtMinMargin = minimum;
    setup.rtMargin = *margins;
    RaiseToMin(&setup.rtMargin, &minimum);
    const BOOL confirmed = PageSetupDlgA(&setup);
    // The dialog may have freed the blocks it was given and made new ones.
    modeBlock.Adopt(setup.hDevMode);
    namesBlock.Adopt(setup.hDevNames);
    if (!confirmed) return CommDlgExtendedError() == 0;
    if (!LeavesPrintableArea(setup.rtMargin, setup.ptPaperSize)) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    {
        // The returned settings over the printer's own, no more than either holds.
        GlobalBlock::Lock lock(modeBlock);
        if (lock.Data() == NULL) return FALSE;
        const WORD size = mode->dmSize, extra = mode->dmDriverExtra;
        memcpy(mode, lock.Data(), std::min(modeBytes, static_cast<size_t>(modeBlock.Size())));
        // The buffer keeps its own layout, whatever sizes came back.
        mode->dmSize = size;
        mode->dmDriverExtra = extra;
    }
    // The margins are the program's own: they are kept even when the spooler
    // refuses the paper settings, as it does for a user without the right to
    // administer the printer. They are already those of the chosen orientation.
    *margins = setup.rtMargin;
    StoreSettings(printer.Handle(), info, mode->dmOrientation, NULL);
    return TRUE;
}

int PrinterHelper::StartDocument(HDC dc, const char* name) {
    DOCINFOA document = {};
    document.cbSize = sizeof document;
    document.lpszDocName = name;
    return StartDocA(dc, &document);
}

BOOL PrinterHelper::GetPageMetrics(const char* name, RECT* margins, RECT* printable, int caps[kCapCount]) {
    OwnedDc dc(CreatePrinterDC(name));
    if (!dc.Valid()) return FALSE;
    int values[kCapCount];
    ReadCaps(dc, values);
    if (caps != NULL) memcpy(caps, values, sizeof values);
    if (printable == NULL) return TRUE;
    if (margins == NULL) return FALSE;
    RECT minimum;
    PrintLayout::MinMargins(values, &minimum);
    RaiseToMin(margins, &minimum);
    if (PrintLayout::Printable(*margins, minimum, values, printable)) return TRUE;
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
}

BOOL PrinterHelper::GetMinMargins(const char* name, RECT* out) {
    SetRectEmpty(out);
    int caps[kCapCount];
    if (!GetPageMetrics(name, NULL, NULL, caps)) return FALSE;
    PrintLayout::MinMargins(caps, out);
    return TRUE;
}

RECT* PrinterHelper::RaiseToMin(RECT* a, const RECT* b) {
    a->left = std::max(a->left, b->left);
    a->top = std::max(a->top, b->top);
    a->right = std::max(a->right, b->right);
    a->bottom = std::max(a->bottom, b->bottom);
    return a;
}

void PrinterHelper::RotateMargins(RECT* margins, int quarterTurns) {
    const RECT old = *margins;
    switch (((quarterTurns % 4) + 4) % 4) {
        case 1:
            SetRect(margins, old.bottom, old.left, old.top, old.right);
            break;
        case 2:
            SetRect(margins, old.right, old.bottom, old.left, old.top);
            break;
        case 3:
            SetRect(margins, old.top, old.right, old.bottom, old.left);
            break;
        default:
            break;
    }
}

void PrinterHelper::ReadCaps(HDC dc, int caps[kCapCount]) {
    static const int kIndexes[kCapCount] = {HORZSIZE, VERTSIZE, HORZRES, VERTRES, LOGPIXELSX, LOGPIXELSY,
                                            PHYSICALWIDTH, PHYSICALHEIGHT, PHYSICALOFFSETX, PHYSICALOFFSETY};
    for (int i = 0; i < kCapCount; ++i) caps[i] = dc != NULL ? GetDeviceCaps(dc, kIndexes[i]) : 0;
}
