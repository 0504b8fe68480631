// Prints one page of the plan view with a given header, footer and zoom on
// the spooler's first printer, as the program's Print command does, and
// tells where the page's parts lie in printer pixels. The page check runs it
// and reads the PDF that the spooler makes once this process has ended.
// The view's client is 800 x 600 pixels unless WIDTH and HEIGHT say more
// (a maximised window).
//
//   print_page_tool HEADER FOOTER ZOOM [WIDTH HEIGHT]
//
// Output lines: "caps" and the ten capabilities, "screen" the screen's dpi
// across and down, "printable" and "content" with left top right bottom,
// "print_ms" the time Print took, "result" 1 or 0.
#include "framework/IniFile.h"
#include "framework/OwnedDc.h"
#include "tests/mainwindow/print/PrintRig.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: print_page_tool HEADER FOOTER ZOOM [WIDTH HEIGHT]\n");
        return 2;
    }
    IniFile settings;
    settings.SetFileName("print-page-tool.ini");
    PrintRig rig;
    const bool sized = argc >= 6;
    if (!rig.Open(sized ? atoi(argv[4]) : PrintRig::kClientWidth, sized ? atoi(argv[5]) : PrintRig::kClientHeight) ||
        rig.PrinterCount() < 1) {
        printf("result 0\n");
        return 1;
    }
    rig.SelectPrinter(0);
    rig.LoadArea({{-2000, 500}, {2000, 500}, {3000, 2500}, {-1000, 3000}});
    rig.SetZoom(atoi(argv[3]));
    rig.print.SetHeaderText(argv[1]);
    rig.print.SetFooterText(argv[2]);

    RECT printable;
    int caps[PrinterHelper::kCapCount];
    if (!rig.print.GetPageMetrics(&printable, caps)) {
        printf("result 0\n");
        return 1;
    }
    SIZE screen;
    rig.print.GetScreenDpi(&screen);
    const int zoom = rig.print.GetZoom();
    // The texts are measured on the printer's context, as Print does.
    std::string name;
    RECT* margins = NULL;
    rig.print.GetSelectedPrinter(&name, &margins);
    OwnedDc printer(rig.print.CreatePrinterDC(name.c_str()));
    const RECT content = rig.print.PlaceContent(
        printer, printable, PrintLayout::PaperScale(caps[PrintLayout::kDpiX], zoom, screen.cx),
        PrintLayout::PaperScale(caps[PrintLayout::kDpiY], zoom, screen.cy), caps[PrintLayout::kDpiY], screen.cy);
    printf("caps");
    for (int value : caps) printf(" %d", value);
    printf("\nscreen %ld %ld", screen.cx, screen.cy);
    printf("\nprintable %ld %ld %ld %ld\n", printable.left, printable.top, printable.right, printable.bottom);
    printf("content %ld %ld %ld %ld\n", content.left, content.top, content.right, content.bottom);
    const DWORD start = GetTickCount();
    const int result = rig.print.Print();
    printf("print_ms %lu\nresult %d\n", GetTickCount() - start, result);
    fflush(stdout);
    return result == 1 ? 0 : 1;
}
