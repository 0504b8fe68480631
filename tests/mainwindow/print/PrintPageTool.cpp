// Prints one page of the plan view with a given header, footer and zoom on
// the spooler's first printer, as the program's Print command does, and
// tells where the page's parts lie in printer pixels. The page check runs it
// and reads the PDF that the spooler makes once this process has ended.
//
//   print_page_tool HEADER FOOTER ZOOM
//
// Output lines: "caps" and the ten capabilities, "printable" and "content"
// with left top right bottom, "print_ms" the time Print took, "result" 1 or 0.
#include "framework/IniFile.h"
#include "tests/mainwindow/print/PrintRig.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: print_page_tool HEADER FOOTER ZOOM\n");
        return 2;
    }
    IniFile settings;
    settings.SetFileName("print-page-tool.ini");
    PrintRig rig;
    if (!rig.Open() || rig.PrinterCount() < 1) {
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
    RECT content = printable;
    rig.view.DrawTo(NULL, &content, PrintLayout::PaperScale(caps[PrintLayout::kDpiX], zoom, screen.cx),
                    PrintLayout::PaperScale(caps[PrintLayout::kDpiY], zoom, screen.cy));
    printf("caps");
    for (int value : caps) printf(" %d", value);
    printf("\nprintable %ld %ld %ld %ld\n", printable.left, printable.top, printable.right, printable.bottom);
    printf("content %ld %ld %ld %ld\n", content.left, content.top, content.right, content.bottom);
    const DWORD start = GetTickCount();
    const int result = rig.print.Print();
    printf("print_ms %lu\nresult %d\n", GetTickCount() - start, result);
    fflush(stdout);
    return result == 1 ? 0 : 1;
}
