// Shows the print preview, the header and footer dialog or the About box
// for a screenshot of the documentation (docs/), until the window closes or
// a minute passes. The preview is at 50 % of an 800 x 600 view unless ZOOM,
// WIDTH and HEIGHT say otherwise.
//
//   print_screens preview [ZOOM [WIDTH HEIGHT]]|header|about
#include "dialogs/AboutDlg.h"
#include "dialogs/HeaderFooterDlg.h"
#include "framework/IniFile.h"
#include "tests/mainwindow/print/PrintRig.h"

#include <cstdlib>
#include <cstring>

namespace {

void PumpFor(DWORD ms, HWND window) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms && (window == NULL || IsWindow(window))) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const char* what = argc > 1 ? argv[1] : "preview";
    IniFile settings;
    settings.SetFileName("print-screens.ini");
    PrintRig rig;
    const bool sized = argc >= 5;
    const int width = sized ? atoi(argv[3]) : PrintRig::kClientWidth;
    if (!rig.Open(width, sized ? atoi(argv[4]) : PrintRig::kClientHeight)) return 1;
    rig.LoadArea({{-2000, 500}, {2000, 500}, {3000, 2500}, {-1000, 3000}});
    rig.print.SetHeaderText("Detection area 1\r\nEntrance, east side");
    rig.print.SetFooterText("Printed by the TIV configurator");
    if (strcmp(what, "about") == 0) {
        AboutDlg about;
        HWND box = about.Create(GetModuleHandleA(NULL), rig.frame.GetHwnd());
        SetWindowPos(box, HWND_TOP, 200, 200, 0, 0, SWP_NOSIZE);
        PumpFor(60000, box);
        return 0;
    }
    if (strcmp(what, "header") == 0) {
        HeaderFooterDlg dialog;
        dialog.SetPrintView(&rig.print);
        dialog.Create(GetModuleHandleA(NULL), rig.frame.GetHwnd());
        return 0;
    }
    for (UINT band = 2100; band < 2105; ++band) rig.rebar.ShowBand(band, FALSE);
    rig.rebar.ShowBand(2105, TRUE);
    rig.rebar.Show(SW_SHOW);
    rig.rebar.Resize(width + 4);
    rig.SelectPrinter(0);
    rig.SetZoom(argc > 2 ? atoi(argv[2]) : 50);
    rig.print.ShowZoom();
    rig.EnterPreview();
    PumpFor(60000, rig.frame.GetHwnd());
    return 0;
}
