// Draws a demonstration area into the running program's view the way a user
// does: it drags the seven vertex handles and the two output handles away
// from the sensor with mouse messages sent to the view. scripts/run uses it
// before its screenshot. The view's mapping is the one scripts/run wrote into
// the settings: the top-left point in mm and the scale in mm per pixel.
//
//   demo_area_driver.exe <left mm> <top mm> <mm per 1000 pixels>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

const DWORD kSettleMs = 400;  // the view's render thread moves the handles

struct Mapping {
    int left, top, perKilopixel;
    POINT ToClient(int x, int y) const {
        POINT p = {MulDiv(x - left, 1000, perKilopixel), MulDiv(top - y, 1000, perKilopixel)};
        return p;
    }
};

LPARAM At(POINT p) {
    return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
}

void Drag(HWND view, POINT from, POINT to) {
    SendMessageA(view, WM_MOUSEMOVE, 0, At(from));
    SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, At(from));
    for (int i = 1; i <= 8; ++i) {
        POINT p = {from.x + (to.x - from.x) * i / 8, from.y + (to.y - from.y) * i / 8};
        SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, At(p));
    }
    SendMessageA(view, WM_LBUTTONUP, 0, At(to));
    Sleep(kSettleMs);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: demo_area_driver <left mm> <top mm> <mm per 1000 pixels>\n");
        return 2;
    }
    const Mapping m = {atoi(argv[1]), atoi(argv[2]), atoi(argv[3])};
    HWND frame = NULL;
    for (int i = 0; i < 300 && frame == NULL; ++i) {
        frame = FindWindowA("ZORConfiguratorWClass", NULL);
        if (frame == NULL) Sleep(100);
    }
    HWND view = frame != NULL ? FindWindowExA(frame, NULL, "ZORViewWClass", NULL) : NULL;
    if (view == NULL) {
        fprintf(stderr, "no view found\n");
        return 1;
    }
    Sleep(1000);  // the first picture

    // Every handle starts on the sensor; each drag takes the next one away.
    const POINT sensor = m.ToClient(0, 0);
    const int vertices[7][2] = {{2000, 300},   {2500, 2000}, {1200, 3200}, {0, 3500},
                                {-1200, 3200}, {-2500, 2000}, {-2000, 300}};
    for (const auto& v : vertices) Drag(view, sensor, m.ToClient(v[0], v[1]));
    // The output handles stand on their point, above the sensor.
    const POINT outputHandle = {sensor.x, sensor.y - 6};
    Drag(view, outputHandle, m.ToClient(0, 2200));
    Drag(view, outputHandle, m.ToClient(0, 1000));
    // The pointer leaves the view.
    SendMessageA(view, WM_MOUSEMOVE, 0, At(m.ToClient(-4000, -1000)));
    return 0;
}
