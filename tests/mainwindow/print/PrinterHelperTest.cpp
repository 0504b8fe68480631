#include "mainwindow/print/PrinterHelper.h"

#include "framework/OwnedDc.h"
#include "framework/OwnedPrinter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

// The spooler's PDF printer (scripts/test adds it): A4 at 300 dpi without an
// unprintable border.
namespace {

const char kPdf[] = "PDF";

std::vector<std::string> Names() {
    PrinterHelper helper;
    DWORD needed = 0, count = 0;
    helper.EnumPrinterNames(NULL, 0, &needed, &count);
    std::vector<char> buffer(needed + 1);
    std::vector<std::string> names;
    if (!helper.EnumPrinterNames(buffer.data(), needed, &needed, &count)) return names;
    for (const char* p = buffer.data(); count > 0; --count, p += strlen(p) + 1) names.push_back(p);
    return names;
}

short Orientation() {
    PrinterHelper helper;
    OwnedPrinter printer(kPdf);
    std::vector<BYTE> info;
    if (!helper.GetPrinterInfo(printer.Get(), 2, &info)) return 0;
    return reinterpret_cast<PRINTER_INFO_2A*>(info.data())->pDevMode->dmOrientation;
}

// Turns the printer's page through StoreSettings, as a confirmed document
// properties dialog does.
BOOL TurnPage(short to, RECT* margins) {
    PrinterHelper helper;
    OwnedPrinter printer(kPdf);
    std::vector<BYTE> info;
    if (!helper.GetPrinterInfo(printer.Get(), 2, &info)) return FALSE;
    PRINTER_INFO_2A* level2 = reinterpret_cast<PRINTER_INFO_2A*>(info.data());
    const short before = level2->pDevMode->dmOrientation;
    level2->pDevMode->dmOrientation = to;
    level2->pDevMode->dmFields |= DM_ORIENTATION;
    return helper.StoreSettings(printer.Get(), level2, before, margins);
}

}  // namespace

TEST(PrinterHelper, ThePdfPrinterIsListedAndATooSmallBufferStillCounts) {
    const std::vector<std::string> names = Names();
    ASSERT_EQ(1u, names.size()) << "scripts/test adds the one PDF printer";
    EXPECT_EQ(kPdf, names[0]);

    PrinterHelper helper;
    DWORD needed = 0, count = 0;
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_FALSE(helper.EnumPrinterNames(buffer, 3, &needed, &count));  // "PDF" and its NUL need 4
    EXPECT_EQ(4u, needed);
    EXPECT_EQ(1u, count);
    EXPECT_EQ('x', buffer[0]) << "nothing copied";
    EXPECT_TRUE(helper.EnumPrinterNames(buffer, 4, &needed, &count));
    EXPECT_STREQ(kPdf, buffer);
    EXPECT_FALSE(helper.EnumPrinterNames(buffer, 4, NULL, &count));
}

TEST(PrinterHelper, AContextForTheNamedPrinterOnly) {
    PrinterHelper helper;
    OwnedDc dc(helper.CreatePrinterDC(kPdf));
    ASSERT_TRUE(dc.Valid());
    EXPECT_EQ(DT_RASPRINTER, GetDeviceCaps(dc, TECHNOLOGY));
    EXPECT_EQ(NULL, helper.CreatePrinterDC("No Such Printer"));
    EXPECT_EQ(NULL, helper.CreatePrinterDC(NULL));
}

TEST(PrinterHelper, TwentyFiveMillimetreMarginsOnTheA4Sheet) {
    PrinterHelper helper;
    RECT margins = {2500, 2500, 2500, 2500};
    RECT printable;
    int caps[PrinterHelper::kCapCount] = {};
    ASSERT_TRUE(helper.GetPageMetrics(kPdf, &margins, &printable, caps));
    const int expectedCaps[PrinterHelper::kCapCount] = {209, 297, 2479, 3508, 300, 300, 2479, 3508, 0, 0};
    for (int i = 0; i < PrinterHelper::kCapCount; ++i) EXPECT_EQ(expectedCaps[i], caps[i]) << i;
    // 2500 x 300 / 2540 = 295.3.
    EXPECT_EQ(295, printable.left);
    EXPECT_EQ(295, printable.top);
    EXPECT_EQ(2479 - 295, printable.right);
    EXPECT_EQ(3508 - 295, printable.bottom);
    EXPECT_EQ(2500, margins.left) << "no unprintable border to raise them to";

    RECT minimum = {1, 1, 1, 1};
    EXPECT_TRUE(helper.GetMinMargins(kPdf, &minimum));
    EXPECT_TRUE(IsRectEmpty(&minimum));
    EXPECT_FALSE(helper.GetMinMargins("No Such Printer", &minimum));
}

TEST(PrinterHelper, MarginsThatLeaveNoPrintableAreaAreRefused) {
    PrinterHelper helper;
    // 105 mm on each side of a 210 mm wide sheet.
    RECT margins = {10500, 2500, 10500, 2500};
    RECT printable;
    SetLastError(0);
    EXPECT_FALSE(helper.GetPageMetrics(kPdf, &margins, &printable, NULL));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), GetLastError());
}

TEST(PrinterHelper, TurningThePageTurnsTheMarginsOnlyWhenTheSettingsAreStored) {
    ASSERT_EQ(DMORIENT_PORTRAIT, Orientation());
    RECT margins = {10, 20, 30, 40};
    ASSERT_TRUE(TurnPage(DMORIENT_LANDSCAPE, &margins));
    EXPECT_EQ(DMORIENT_LANDSCAPE, Orientation()) << "stored for the printer";
    EXPECT_EQ(20, margins.left);
    EXPECT_EQ(30, margins.top);
    EXPECT_EQ(40, margins.right);
    EXPECT_EQ(10, margins.bottom);
    {
        PrinterHelper helper;
        int caps[PrinterHelper::kCapCount] = {};
        ASSERT_TRUE(helper.GetPageMetrics(kPdf, NULL, NULL, caps));
        EXPECT_EQ(3508, caps[PrintLayout::kHorzRes]) << "a landscape sheet is wide";
    }
    ASSERT_TRUE(TurnPage(DMORIENT_PORTRAIT, &margins));
    EXPECT_EQ(10, margins.left);
    EXPECT_EQ(40, margins.bottom);

    // A failing SetPrinter: nothing turns.
    PrinterHelper helper;
    std::vector<BYTE> info;
    {
        OwnedPrinter printer(kPdf);
        ASSERT_TRUE(helper.GetPrinterInfo(printer.Get(), 2, &info));
    }
    PRINTER_INFO_2A* level2 = reinterpret_cast<PRINTER_INFO_2A*>(info.data());
    level2->pDevMode->dmOrientation = DMORIENT_LANDSCAPE;
    EXPECT_FALSE(helper.StoreSettings(NULL, level2, DMORIENT_PORTRAIT, &margins));
    EXPECT_EQ(10, margins.left);
    EXPECT_EQ(DMORIENT_PORTRAIT, Orientation());
}

namespace {

// Closes the page set-up dialog of this thread from a thread timer, after
// typing a left margin (in millimetres) when one is given.
struct PageSetupDriver {
    const char* leftMargin;
    WORD button;
    bool seen;
};
thread_local PageSetupDriver* t_driver = nullptr;

BOOL CALLBACK FindPageSetup(HWND hwnd, LPARAM param) {
    char name[16];
    GetClassNameA(hwnd, name, sizeof name);
    if (strcmp(name, "#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
}

void CALLBACK DrivePageSetup(HWND, UINT, UINT_PTR, DWORD) {
    if (t_driver == nullptr || t_driver->seen) return;
    HWND box = NULL;
    EnumThreadWindows(GetCurrentThreadId(), FindPageSetup, reinterpret_cast<LPARAM>(&box));
    if (box == NULL) return;
    t_driver->seen = true;
    if (t_driver->leftMargin != NULL) {
        HWND left = GetDlgItem(box, 0x483);  // the left margin's edit
        SetWindowTextA(left, t_driver->leftMargin);
        SendMessageA(box, WM_COMMAND, MAKEWPARAM(0x483, EN_CHANGE), reinterpret_cast<LPARAM>(left));
        SendMessageA(box, WM_COMMAND, MAKEWPARAM(0x483, EN_KILLFOCUS), reinterpret_cast<LPARAM>(left));
    }
    PostMessageA(box, WM_COMMAND, t_driver->button, 0);
}

// A user without the right to administer printers: the spooler refuses to
// store a printer's settings.
class UnprivilegedHelper : public PrinterHelper {
public:
    BOOL StoreSettings(HANDLE, PRINTER_INFO_2A*, short, RECT*) override {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
};

BOOL RunPageSetup(PageSetupDriver* driver, RECT* margins, PrinterHelper&& helper = PrinterHelper()) {
    t_driver = driver;
    const UINT_PTR timer = SetTimer(NULL, 0, 20, DrivePageSetup);
    const BOOL result = helper.ShowPageSetup(kPdf, margins, NULL);
    KillTimer(NULL, timer);
    t_driver = nullptr;
    return result;
}

}  // namespace

TEST(PrinterHelper, PageSetupKeepsConfirmedMarginsAndRefusesThoseThatLeaveNoPage) {
    RECT margins = {2500, 2500, 2500, 2500};
    PageSetupDriver cancel = {"40", IDCANCEL, false};
    EXPECT_TRUE(RunPageSetup(&cancel, &margins)) << "a cancel is no failure";
    EXPECT_TRUE(cancel.seen);
    EXPECT_EQ(2500, margins.left);

    PageSetupDriver confirm = {"40", IDOK, false};
    EXPECT_TRUE(RunPageSetup(&confirm, &margins));
    EXPECT_EQ(4000, margins.left);
    EXPECT_EQ(2500, margins.right);

    // 200 mm and 25 mm of a 210 mm wide sheet.
    PageSetupDriver wide = {"200", IDOK, false};
    SetLastError(0);
    EXPECT_FALSE(RunPageSetup(&wide, &margins));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), GetLastError());
    EXPECT_EQ(4000, margins.left) << "refused: unchanged";
}

TEST(PrinterHelper, PageSetupKeepsConfirmedMarginsThatThePrinterCannotStore) {
    RECT margins = {2500, 2500, 2500, 2500};
    PageSetupDriver confirm = {"40", IDOK, false};
    EXPECT_TRUE(RunPageSetup(&confirm, &margins, UnprivilegedHelper()));
    EXPECT_EQ(4000, margins.left);
}
