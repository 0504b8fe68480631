#include "mainwindow/frame/StatusBar.h"

#include "framework/LanguageResource.h"
#include "resources/MenuIds.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kParentClass[] = "StatusBarTestParent";

// Hands the status window its owner-drawn parts, as the frame does.
LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DRAWITEM && wParam == StatusBar::kControlId)
        return SendMessageA(GetDlgItem(hwnd, StatusBar::kControlId), msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GE(LanguageResource().Enumerate(GetModuleHandleA(NULL)), 1);
        ASSERT_NE(static_cast<HMODULE>(NULL), LanguageResource().Select(ID_LANGUAGE_FIRST));
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &ParentProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = kParentClass;
        RegisterClassA(&wc);
        m_parent = CreateWindowA(kParentClass, "", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 700,
                                 300, NULL, NULL, wc.hInstance, NULL);
        ASSERT_NE(static_cast<HWND>(NULL), m_parent);
        ASSERT_NE(static_cast<HWND>(NULL), m_bar.Create(GetModuleHandleA(NULL), m_parent));
    }
    void TearDown() override {
        if (m_parent != NULL) DestroyWindow(m_parent);
        Pump();
    }

    std::string Text(int part, UINT* type = NULL) {
        char text[256] = {};
        LRESULT result = SendMessageA(m_bar.GetHwnd(), SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
        if (type != NULL) *type = HIWORD(result);
        return text;
    }
    // An owner-drawn part answers with its drawing data.
    DWORD Data(int part) {
        char unused[256];
        return static_cast<DWORD>(SendMessageA(m_bar.GetHwnd(), SB_GETTEXTA, part, reinterpret_cast<LPARAM>(unused)));
    }
    std::vector<int> Edges() {
        int edges[8] = {};
        int count = static_cast<int>(SendMessageA(m_bar.GetHwnd(), SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)));
        return std::vector<int>(edges, edges + count);
    }

    RECT PartRect(int part) {
        RECT rect = {};
        SendMessageA(m_bar.GetHwnd(), SB_GETRECT, part, reinterpret_cast<LPARAM>(&rect));
        InflateRect(&rect, -1, -1);  // inside the part's edge, as the control draws
        return rect;
    }

    HWND m_parent = NULL;
    StatusBar m_bar;
};

// The area part as the bar draws it, into a bitmap with the bar's font that
// no other window on the screen can cover: one letter a column of the part,
// 'l' where a lamp's colour shows, 'k' where only text ink does.
std::string AreaColumns(StatusBar& bar, const RECT& part) {
    RECT client;
    GetClientRect(bar.GetHwnd(), &client);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    MemoryDc dc(NULL);
    DWORD* bits = NULL;
    OwnedBitmap bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), NULL, 0));
    SelectScope picture(dc, bitmap);
    SelectScope font(dc, reinterpret_cast<HFONT>(bar.SendMessage(WM_GETFONT, 0, 0)));
    PatBlt(dc, 0, 0, client.right, client.bottom, WHITENESS);
    DRAWITEMSTRUCT item = {};
    item.CtlID = StatusBar::kControlId;
    item.itemID = StatusBar::kAreaPart;
    item.hDC = dc;
    item.rcItem = part;
    bar.SendMessage(WM_DRAWITEM, StatusBar::kControlId, reinterpret_cast<LPARAM>(&item));
    GdiFlush();
    std::string columns;
    for (int x = part.left; x < part.right; ++x) {
        char column = ' ';
        for (int y = part.top; y < part.bottom; ++y) {
            const DWORD p = bits[y * client.right + x];
            const int bright = std::max({p & 0xFF, p >> 8 & 0xFF, p >> 16 & 0xFF});
            const int dark = std::min({p & 0xFF, p >> 8 & 0xFF, p >> 16 & 0xFF});
            if (bright - dark > 80) column = 'l';
            if (bright < 80 && column == ' ') column = 'k';
        }
        columns += column;
    }
    return columns;
}

POINT At(int x, int y) {
    POINT p = {x, y};
    return p;
}

}  // namespace

// Step k lies at k * 2pi/1024 - pi/4: the x axis is step 128, straight
// ahead 384; behind the sensor there is no step.
TEST_F(StatusBarTest, CursorShowsMillimetresAndTheScanStepUnderIt) {
    const struct {
        int x, y;
        const char* text;
    } cases[] = {
        {1000, 0, "(1000,0) 128"},
        {0, 1000, "(0,1000) 384"},
        {1000, 1000, "(1000,1000) 256"},
        {-1000, 0, "(-1000,0) 640"},
        {1000, -1000, "(1000,-1000) 0"},
        {1000, -900, "(1000,-900) 8"},     // -41.99 degrees: 8.57 steps past step 0
        {-1000, -900, "(-1000,-900) 759"},  // 221.99 degrees, after the shift by a turn
        {0, -1000, "(0,-1000)"},            // straight behind
        {-1, -1000, "(-1,-1000)"},          // just past straight behind: shifted, then beyond 768
        {1000, -1001, "(1000,-1001)"},      // just before step 0
    };
    for (const auto& c : cases) {
        m_bar.SetCursorPos(At(c.x, c.y));
        EXPECT_EQ(c.text, Text(StatusBar::kCursorPart)) << c.x << "," << c.y;
    }
}

TEST_F(StatusBarTest, ZoomSizeIsTheRectanglesWidthAndHeight) {
    m_bar.SetSize(At(100, 200), At(40, 500));
    EXPECT_EQ("60x300", Text(StatusBar::kCursorPart));
    m_bar.SetSize(At(-50, -50), At(-50, 70));
    EXPECT_EQ("0x120", Text(StatusBar::kCursorPart));
}

TEST_F(StatusBarTest, PortPaneCarriesPortLevelAndRateAndNamesThem) {
    const struct {
        int port, level, rate;
        DWORD data;
        const char* text;
    } cases[] = {
        {3, 2, 1, 0x01020003, "COM3 [57.6Kbps]"},
        {0, 0, 0xFFFF, 0xFF000000, "Disconnect [Auto]"},
        {256, 1, 2, 0x02010100, "COM256 [115.2Kbps]"},
        {1, 3, 0, 0x00030001, "COM1 [19.2Kbps]"},
        {257, 0, 3, 0x03000101, "Disconnect [Auto]"},
    };
    for (const auto& c : cases) {
        m_bar.SetPort(c.port, c.level, c.rate);
        EXPECT_EQ(c.data, Data(StatusBar::kPortPart)) << c.port;
        EXPECT_EQ(c.text, StatusBar::PortText(Data(StatusBar::kPortPart))) << c.port;
    }
}

// "%s(%d)": the sensor's area is a number, which a "%s" would read as a
// pointer.
TEST_F(StatusBarTest, AreaPaneNamesTheAreaAndTheOneTheSensorReports) {
    m_bar.SetArea(0, 0, FALSE);
    EXPECT_EQ("Area1", m_bar.AreaText());
    m_bar.SetSensorArea(2);
    EXPECT_EQ("Area1(3)", m_bar.AreaText());
    m_bar.SetArea(6, 0x61, TRUE);
    EXPECT_EQ("Area7(3)", m_bar.AreaText());
    m_bar.SetSensorArea(StatusBar::kNoSensorArea);
    EXPECT_EQ("Area7", m_bar.AreaText());
    LRESULT length = SendMessageA(m_bar.GetHwnd(), SB_GETTEXTLENGTHA, StatusBar::kAreaPart, 0);
    EXPECT_EQ(static_cast<UINT>(SBT_OWNERDRAW), HIWORD(length) & SBT_OWNERDRAW);
}

TEST_F(StatusBarTest, EditInformationNamesThePointOrTheOutput) {
    const struct {
        int handle;
        short low, high;
        const char* text;
    } cases[] = {
        {0, -1500, 2000, "Output1 Point1 (-1500mm, 2000mm)"},
        {6, 10000, -10000, "Output1 Point7 (10000mm, -10000mm)"},
        {7, 0, 3000, "Output2 (3000mm)"},
        {8, 123, -250, "Output3 (-250mm)"},
    };
    for (const auto& c : cases) {
        m_bar.SetEditInfo(c.handle, MAKELONG(static_cast<WORD>(c.low), static_cast<WORD>(c.high)));
        UINT type = 0;
        EXPECT_EQ(c.text, Text(StatusBar::kHintPart, &type)) << c.handle;
        EXPECT_EQ(static_cast<UINT>(SBT_NOBORDERS), type);
    }
}

TEST_F(StatusBarTest, ClearingAPartKeepsItsDrawingType) {
    m_bar.SetHint("Read the detection areas from the ZOR.");
    m_bar.ClearPart(StatusBar::kHintPart);
    UINT type = 0;
    EXPECT_EQ("", Text(StatusBar::kHintPart, &type));
    EXPECT_EQ(static_cast<UINT>(SBT_NOBORDERS), type);
    m_bar.SetCursorPos(At(1000, 0));
    m_bar.ClearPart(StatusBar::kCursorPart);
    EXPECT_EQ("", Text(StatusBar::kCursorPart, &type));
    EXPECT_EQ(0u, type);
    // The port pane keeps its data: a clear must not turn a text pointer
    // into a port number.
    m_bar.SetPort(4, 1, 0);
    m_bar.ClearPart(StatusBar::kPortPart);
    EXPECT_EQ(StatusBar::PackPort(4, 1, 0), Data(StatusBar::kPortPart));
}

// Showing the bar again measures the owner-drawn parts anew, but keeps what
// they show until the frame's next update.
TEST_F(StatusBarTest, ShowingTheBarKeepsThePortPane) {
    m_bar.SetPort(5, 1, 2);
    m_bar.Show(SW_HIDE);
    EXPECT_EQ(0, m_bar.GetHeight());
    m_bar.Show(SW_SHOW);
    EXPECT_GT(m_bar.GetHeight(), 0);
    EXPECT_EQ(StatusBar::PackPort(5, 1, 2), Data(StatusBar::kPortPart));
}

TEST_F(StatusBarTest, PartsEndAtTheGripUnlessTheParentIsMaximised) {
    SendMessageA(m_bar.GetHwnd(), WM_SIZE, 0, 0);
    std::vector<int> edges = Edges();
    ASSERT_EQ(5u, edges.size());
    RECT client;
    GetClientRect(m_bar.GetHwnd(), &client);
    EXPECT_EQ(client.right, edges[4]);
    EXPECT_EQ(client.bottom, edges[4] - edges[3]);  // the grip is as wide as the bar is high
    EXPECT_EQ(150, edges[3] - edges[2]);            // widths before the first drawing
    EXPECT_EQ(100, edges[2] - edges[1]);

    ShowWindow(m_parent, SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(m_parent));
    RECT parent;
    GetClientRect(m_parent, &parent);
    SendMessageA(m_bar.GetHwnd(), WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(parent.right, parent.bottom));
    edges = Edges();
    GetClientRect(m_bar.GetHwnd(), &client);
    EXPECT_EQ(parent.right, client.right);  // the parts follow the new width
    EXPECT_EQ(client.right, edges[3]);
    EXPECT_EQ(client.right, edges[4]);
}

// Drawn once, the owner-drawn parts take the room their widest texts need.
TEST_F(StatusBarTest, DrawnPartsMeasureTheirWidestTexts) {
    m_bar.SetPort(0, 0, 0xFFFF);
    m_bar.SetArea(0, 0x67, TRUE);
    SendMessageA(m_bar.GetHwnd(), WM_SIZE, 0, 0);
    UpdateWindow(m_bar.GetHwnd());
    Pump();  // the new widths are laid out once the painting ends
    std::vector<int> edges = Edges();
    ASSERT_EQ(5u, edges.size());

    HDC dc = GetDC(m_bar.GetHwnd());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(m_bar.GetHwnd(), WM_GETFONT, 0, 0)));
    SIZE disconnect, com256, area15;
    GetTextExtentPoint32A(dc, "Disconnect [115.2Kbps]", 22, &disconnect);
    GetTextExtentPoint32A(dc, "COM256 [115.2Kbps]", 18, &com256);
    GetTextExtentPoint32A(dc, "Area15(7)", 9, &area15);
    SelectObject(dc, old);
    ReleaseDC(m_bar.GetHwnd(), dc);
    int port = edges[3] - edges[2];
    int area = edges[2] - edges[1];
    EXPECT_GE(port, disconnect.cx + 16);
    EXPECT_GE(port, com256.cx + 16);
    EXPECT_LT(port, std::max(disconnect.cx, com256.cx) + 16 + 20);
    EXPECT_GE(area, area15.cx + 96);  // marker and five icons
    EXPECT_LT(area, area15.cx + 96 + 20);
}

// The widest position, and the widest area name with the sensor's area and
// an option lamp: each inside its part and the name clear of the lamp.
TEST_F(StatusBarTest, TextsFitTheirPartsAndKeepClearOfTheLamps) {
    SetWindowPos(m_parent, NULL, 240, 160, 900, 300, SWP_NOZORDER);
    m_bar.SetCursorPos(At(-20000, -20000));  // "(-20000,-20000) 768"
    m_bar.SetArea(14, 0x01, FALSE);           // "Area15" and the lamp of the first option
    m_bar.SetSensorArea(6);                   // "(7)" after the name
    UpdateWindow(m_bar.GetHwnd());
    Pump();  // the owner-drawn parts measured, the parts laid out again

    // The control sets a part's text 3 pixels in from the part's edge.
    const RECT cursor = PartRect(StatusBar::kCursorPart);
    const std::string position = Text(StatusBar::kCursorPart);
    WindowDc dc(m_bar.GetHwnd());
    SelectScope font(dc, reinterpret_cast<HFONT>(m_bar.SendMessage(WM_GETFONT, 0, 0)));
    SIZE extent;
    GetTextExtentPoint32A(dc, position.c_str(), static_cast<int>(position.size()), &extent);
    EXPECT_GE(cursor.right - cursor.left, 3 + extent.cx) << "the position is cut";

    const std::string columns = AreaColumns(m_bar, PartRect(StatusBar::kAreaPart));
    const size_t lamp = columns.find('l', 16);  // the first after the marker
    ASSERT_NE(lamp, std::string::npos) << columns;
    const size_t name = columns.find_last_of('k', lamp);
    ASSERT_NE(name, std::string::npos) << columns;
    EXPECT_GE(lamp - name - 1, 3u) << "the name runs into the lamp: " << columns;
    EXPECT_NE(columns.back(), 'l') << "the lamp is cut: " << columns;
}
