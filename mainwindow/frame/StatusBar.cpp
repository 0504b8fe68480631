#include "mainwindow/frame/StatusBar.h"

#include "framework/LanguageResource.h"
#include "framework/ResourceString.h"
#include "resources/StatusBarIds.h"
#include "resources/ToolBandIds.h"

#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

const int kIconSize = 16;
const int kMarkerSize = 8;
const int kIconGap = 4;  // between the area's name and its option icons
// The widest cursor text: five digits reach beyond any plan point the view shows.
const char kWidestCursorText[] = "(-88888,-88888) 888";
// Room a text part needs beside its text: the control's edges and indent.
const int kTextPartPadding = 8;
const int kHighestPort = 256;
const int kLastStep = 768;
const double kPi = 3.14159265358979323846;

// The area option bits that show an icon, each with its icon in the strip.
const struct {
    WORD bit;
    int iconX;
} kFlagIcons[] = {{0x01, 0}, {0x02, 16}, {0x04, 32}, {0x20, 48}, {0x40, 64}};

// The link-state icon of each link level; higher levels share the last.
int LinkIconX(int linkLevel) {
    switch (linkLevel) {
    case 1:
        return 16;
    case 2:
    case 3:
        return 48;
    default:
        return 0;
    }
}

std::string LoadText(UINT id) {
    ResourceString text(LanguageResource().GetModule());
    return text.Load(id);
}

std::string PortName(int port) {
    if (port < 1 || port > kHighestPort) return LoadText(IDS_PORT_DISCONNECT);
    char name[16];
    snprintf(name, sizeof name, "COM%d", port);
    return name;
}

std::string RateName(int rateIndex) {
    if (rateIndex < 0 || rateIndex > 2) return LoadText(IDS_RATE_AUTO);
    return LoadText(IDS_RATE_FIRST + static_cast<UINT>(rateIndex));
}

std::string PortLine(const std::string& port, const std::string& rate) {
    return port + " [" + rate + "]";
}

SIZE ExtentOf(HDC dc, const std::string& text) {
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// Draws a text from x, vertically centred in the rectangle; its width.
int DrawCentred(HDC dc, int x, const RECT& rect, const std::string& text) {
    SIZE size = ExtentOf(dc, text);
    int y = rect.top + (rect.bottom - rect.top - size.cy) / 2;
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    return size.cx;
}

}  // namespace

StatusBar::StatusBar()
    : m_instance(NULL),
      m_parent(NULL),
      m_widths{0, 100, 100, 150, 0},
      m_area(0),
      m_sensorArea(kNoSensorArea),
      m_areaFlags(0),
      m_selectedBySensor(FALSE),
      m_portData(0),
      m_areaMeasured(FALSE),
      m_portMeasured(FALSE) {
    AddMessageHandler(WM_SYSCOLORCHANGE, Handler(&StatusBar::OnSysColorChange));
    AddMessageHandler(WM_SIZE, Handler(&StatusBar::OnSize));
    AddMessageHandler(WM_DRAWITEM, Handler(&StatusBar::OnDrawItem));
}

StatusBar::~StatusBar() {}

HWND StatusBar::Create(HINSTANCE instance, HWND parent) {
    if (GetHwnd() != NULL) return GetHwnd();
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    m_instance = instance;
    m_parent = parent;
    const DWORD style =
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | SBARS_SIZEGRIP | CCS_BOTTOM;
    HWND hwnd = CreateStatusWindowA(style, "", parent, kControlId);
    if (hwnd == NULL) return NULL;
    SetHwnd(hwnd);
    if (!Subclass()) {
        DWORD error = GetLastError();
        DestroyWindow(hwnd);
        SetHwnd(NULL);
        SetLastError(error);
        return NULL;
    }
    WindowDc screen(hwnd);
    m_iconDc.reset(new (std::nothrow) MemoryDc(screen));
    LoadIcons();
    MeasureCursorPart();
    // The five parts exist from the start, so no update before the
    // parent's first WM_SIZE is lost.
    LayOutParts();
    return hwnd;
}

void StatusBar::LoadIcons() {
    if (m_iconDc == NULL || !m_iconDc->Valid()) return;
    // The strip's background takes the face colour, its greys the 3D colours.
    OwnedBitmap icons(static_cast<HBITMAP>(LoadImageA(m_instance, MAKEINTRESOURCEA(IDB_STATUS_ICONS), IMAGE_BITMAP,
                                                      0, 0, LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT)));
    if (!icons.Valid()) return;
    SelectObject(*m_iconDc, icons);
    m_icons = std::move(icons);  // the old strip, no longer selected, goes
}

int StatusBar::GetHeight() {
    HWND hwnd = GetHwnd();
    if (hwnd == NULL || !IsWindowVisible(hwnd)) return 0;
    RECT rect;
    if (!GetWindowRect(hwnd, &rect)) return 0;
    return rect.bottom - rect.top;
}

void StatusBar::Show(int showCommand) {
    if (GetHwnd() == NULL) return;
    RefreshParts();
    ShowWindow(GetHwnd(), showCommand);
}

void StatusBar::RefreshParts() {
    if (GetHwnd() == NULL) return;
    // The parts keep what they show: a refresh must not blank the area and
    // the port until the frame's next update.
    m_areaMeasured = FALSE;
    m_portMeasured = FALSE;
    MeasureCursorPart();
    SetOwnerDrawn(kPortPart, m_portData);
    SetOwnerDrawn(kAreaPart, 0);
    OnSize(0, 0);
}

void StatusBar::SetPartText(int part, UINT type, const char* text) {
    ::SendMessageA(GetHwnd(), SB_SETTEXTA, static_cast<WPARAM>(part) | type, reinterpret_cast<LPARAM>(text));
}

void StatusBar::SetOwnerDrawn(int part, DWORD data) {
    ::SendMessageA(GetHwnd(), SB_SETTEXTA, static_cast<WPARAM>(part) | SBT_OWNERDRAW, static_cast<LPARAM>(data));
}

void StatusBar::ClearPart(int part) {
    if (GetHwnd() == NULL || part < 0 || part >= kParts) return;
    LRESULT length = ::SendMessageA(GetHwnd(), SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0);
    UINT type = HIWORD(length);
    // An owner-drawn part holds drawing data, not a text.
    if (type & SBT_OWNERDRAW) return;
    SetPartText(part, type, "");
}

DWORD StatusBar::PackPort(int port, int linkLevel, int rateIndex) {
    return (static_cast<DWORD>(port) & 0xFFFF) | (static_cast<DWORD>(linkLevel) & 0xFF) << 16 |
           (static_cast<DWORD>(rateIndex) & 0xFF) << 24;
}

void StatusBar::SetPort(int port, int linkLevel, int rateIndex) {
    m_portData = PackPort(port, linkLevel, rateIndex);
    if (GetHwnd() != NULL) SetOwnerDrawn(kPortPart, m_portData);
}

int StatusBar::StepAt(POINT mm) {
    double angle = atan2(static_cast<double>(mm.y), static_cast<double>(mm.x));
    // Points behind the sensor on the left continue the angle past pi.
    if (angle < -kPi / 2) angle += 2 * kPi;
    // Step k lies at k * 2pi/1024 - pi/4: step 128 on the x axis.
    int step = static_cast<int>(floor(angle * 512.0 / kPi)) + 128;
    return step >= 0 && step <= kLastStep ? step : -1;
}

std::string StatusBar::CursorText(POINT mm) {
    char text[64];
    int step = StepAt(mm);
    if (step >= 0) {
        snprintf(text, sizeof text, "(%d,%d) %d", static_cast<int>(mm.x), static_cast<int>(mm.y), step);
    } else {
        snprintf(text, sizeof text, "(%d,%d)", static_cast<int>(mm.x), static_cast<int>(mm.y));
    }
    return text;
}

void StatusBar::SetCursorPos(POINT mm) {
    if (GetHwnd() != NULL) SetPartText(kCursorPart, 0, CursorText(mm).c_str());
}

void StatusBar::SetSize(POINT from, POINT to) {
    if (GetHwnd() == NULL) return;
    char text[32];
    snprintf(text, sizeof text, "%dx%d", abs(static_cast<int>(to.x - from.x)), abs(static_cast<int>(to.y - from.y)));
    SetPartText(kCursorPart, 0, text);
}

void StatusBar::SetArea(int area, WORD flags, BOOL selectedBySensor) {
    m_area = static_cast<BYTE>(area);
    m_areaFlags = flags;
    m_selectedBySensor = selectedBySensor;
    if (GetHwnd() != NULL) SetOwnerDrawn(kAreaPart, 0);
}

void StatusBar::SetSensorArea(int area) {
    m_sensorArea = static_cast<BYTE>(area);
    if (GetHwnd() != NULL) SetOwnerDrawn(kAreaPart, 0);
}

std::string StatusBar::EditText(BYTE handle, DWORD value) {
    int low = static_cast<short>(LOWORD(value));
    int high = static_cast<short>(HIWORD(value));
    ResourceString text(LanguageResource().GetModule());
    if (handle <= 6) {
        std::string format = text.Load(IDS_EDIT_POINT);
        return text.Format(format.c_str(), handle + 1, low, high);
    }
    std::string format = text.Load(IDS_EDIT_OUTPUT);
    return text.Format(format.c_str(), handle - 5, high);
}

void StatusBar::SetEditInfo(BYTE handle, DWORD value) {
    if (GetHwnd() != NULL) SetPartText(kHintPart, SBT_NOBORDERS, EditText(handle, value).c_str());
}

void StatusBar::SetHint(const char* text) {
    if (GetHwnd() != NULL) SetPartText(kHintPart, SBT_NOBORDERS, text != NULL ? text : "");
}

LRESULT StatusBar::OnSysColorChange(WPARAM wParam, LPARAM lParam) {
    LoadIcons();
    return CallOldProc(GetHwnd(), WM_SYSCOLORCHANGE, wParam, lParam);
}

LRESULT StatusBar::OnSize(WPARAM wParam, LPARAM lParam) {
    // The control first takes its place along the parent's bottom, so the
    // parts follow its new width rather than the one it had.
    LRESULT result = CallOldProc(GetHwnd(), WM_SIZE, wParam, lParam);
    LayOutParts();
    return result;
}

void StatusBar::LayOutParts() {
    RECT client;
    if (!GetClientRect(GetHwnd(), &client)) return;
    int right = client.right;
    int grip = m_parent != NULL && IsZoomed(m_parent) ? 0 : client.bottom - client.top;
    int edges[kParts];
    edges[kGripPart] = right;
    edges[kPortPart] = right - grip;
    for (int part = kPortPart - 1; part >= kHintPart; --part) edges[part] = edges[part + 1] - m_widths[part + 1];
    ::SendMessageA(GetHwnd(), SB_SETPARTS, kParts, reinterpret_cast<LPARAM>(edges));
    SetPartText(kGripPart, SBT_NOBORDERS, "");
    SetPartText(kHintPart, SBT_NOBORDERS, "");
}

LRESULT StatusBar::OnDrawItem(WPARAM, LPARAM lParam) {
    const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item == NULL) return FALSE;
    SetTextColor(item->hDC, GetSysColor(COLOR_BTNTEXT));
    SetBkMode(item->hDC, TRANSPARENT);
    if (item->itemID == kAreaPart) DrawAreaPart(item->hDC, item->rcItem, static_cast<DWORD>(item->itemData));
    if (item->itemID == kPortPart) DrawPortPart(item->hDC, item->rcItem, static_cast<DWORD>(item->itemData));
    return TRUE;
}

void StatusBar::DrawIcon(HDC dc, int x, int y, int size, int sourceX, int sourceY) {
    if (m_iconDc == NULL || !m_icons.Valid()) return;
    BitBlt(dc, x, y, size, size, *m_iconDc, sourceX, sourceY, SRCCOPY);
}

std::string StatusBar::AreaText() const {
    std::string name = LoadText(IDS_AREA_NAME_FIRST + m_area);
    if (m_sensorArea == kNoSensorArea) return name;
    char text[64];
    snprintf(text, sizeof text, "%s(%d)", name.c_str(), m_sensorArea + 1);
    return text;
}

void StatusBar::DrawAreaPart(HDC dc, const RECT& rect, DWORD) {
    // The marker's colour tells whether the sensor chooses the area.
    int markerX = m_selectedBySensor ? kIconSize + 4 : 4;
    DrawIcon(dc, rect.left + 4, rect.top + 4, kMarkerSize, markerX, 4);
    int x = rect.left + kIconSize;
    x += DrawCentred(dc, x, rect, AreaText()) + kIconGap;
    for (const auto& icon : kFlagIcons) {
        if ((m_areaFlags & icon.bit) == 0) continue;
        DrawIcon(dc, x, rect.top, kIconSize, icon.iconX, 0);
        x += kIconSize;
    }
    if (!m_areaMeasured) MeasureAreaPart(dc);
}

std::string StatusBar::PortText(DWORD portData) {
    return PortLine(PortName(static_cast<int>(portData & 0xFFFF)), RateName(static_cast<int>(portData >> 24)));
}

void StatusBar::DrawPortPart(HDC dc, const RECT& rect, DWORD data) {
    int linkLevel = static_cast<int>((data >> 16) & 0xFF);
    DrawIcon(dc, rect.left, rect.top, kIconSize, LinkIconX(linkLevel), 0);
    DrawCentred(dc, rect.left + kIconSize, rect, PortText(data));
    if (!m_portMeasured) MeasurePortPart(dc);
}

int StatusBar::GapBetweenParts() {
    int borders[3] = {0, 0, 0};
    ::SendMessageA(GetHwnd(), SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    return borders[2];
}

void StatusBar::MeasureAreaPart(HDC dc) {
    int widest = 0;
    for (UINT id = IDS_AREA_NAME_FIRST; id <= IDS_AREA_NAME_LAST; ++id) {
        // With room for the area the sensor reports, one of seven.
        SIZE size = ExtentOf(dc, LoadText(id) + "(7)");
        if (size.cx > widest) widest = size.cx;
    }
    // Room for the marker and, after a gap, all five option icons.
    TakeWidth(kAreaPart, widest + kIconGap + 6 * kIconSize + 2 * GapBetweenParts());
    m_areaMeasured = TRUE;
}

void StatusBar::MeasurePortPart(HDC dc) {
    std::string widestPort;
    int portWidth = -1;
    for (int port = 0; port <= kHighestPort; ++port) {
        std::string name = PortName(port);
        SIZE size = ExtentOf(dc, name);
        if (size.cx > portWidth) {
            portWidth = size.cx;
            widestPort = name;
        }
    }
    std::string widestRate;
    int rateWidth = -1;
    for (int index = -1; index <= 2; ++index) {
        std::string name = RateName(index);
        SIZE size = ExtentOf(dc, name);
        if (size.cx > rateWidth) {
            rateWidth = size.cx;
            widestRate = name;
        }
    }
    SIZE line = ExtentOf(dc, PortLine(widestPort, widestRate));
    TakeWidth(kPortPart, line.cx + kIconSize + 2 * GapBetweenParts());
    m_portMeasured = TRUE;
}

// The cursor part is a text part: measured with the status window's own font.
void StatusBar::MeasureCursorPart() {
    WindowDc dc(GetHwnd());
    if (dc.Get() == NULL) return;
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(GetHwnd(), WM_GETFONT, 0, 0));
    SelectScope selected(dc, font != NULL ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    m_widths[kCursorPart] = ExtentOf(dc, kWidestCursorText).cx + kTextPartPadding + 2 * GapBetweenParts();
}

void StatusBar::TakeWidth(int part, int width) {
    if (m_widths[part] == width) return;
    m_widths[part] = width;
    // Laid out again once the control has finished painting its parts.
    PostMessage(WM_SIZE, 0, 0);
}
