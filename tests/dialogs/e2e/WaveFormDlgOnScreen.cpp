// The waveform dialog on a wide screen of its own under a window manager:
// at its template's size every row and column of the statistics shows, clear
// of the display's edges, and a real drag of its corner resizes it, its
// display and its text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "dialogs/WaveFormDlg.h"
#include "protocol/DevicePort.h"
#include "resources/resource.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"
#include "tests/dialogs/ModalDriver.h"
#include "tests/dialogs/WaveFormRecords.h"
#include "tests/framework/TestSettings.h"
#include "tests/protocol/TestHost.h"

namespace {

const TestReport kChannel0 = {0x00, 1000, 600, 300, 3, 1, 3, 2};
const TestReport kChannel1 = {0x01, 2000, 700, 500, 4, 1, 5, 2};
const TestReport kAllFlags = {0x1F, 1500, 1407, 1024, 60, 10, 40, 5};

// Starts xdotool, a Linux program that Wine runs as it is. Wine gives no
// handle to wait on: the caller waits for what it does.
bool XdoTool(const std::string& arguments) {
    std::string command = "/usr/bin/xdotool " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) return false;
    if (process.hThread != NULL) CloseHandle(process.hThread);
    if (process.hProcess != NULL) CloseHandle(process.hProcess);
    return true;
}

SIZE SizeOf(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    SIZE size = {r.right - r.left, r.bottom - r.top};
    return size;
}

class WaveFormDlgOnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        m_caps.SetModel(0);
        m_dialog.SetDevicePort(&m_port);
        m_dialog.SetWaveFormRecord(&m_record);
        m_dialog.SetSensorCaps(&m_caps);
        m_dialog.SetApplication(&m_host);
        m_hwnd = m_dialog.Create(GetModuleHandleA(NULL), NULL);
        ASSERT_NE(m_hwnd, (HWND)NULL);
        SetWindowPos(m_hwnd, NULL, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    void Click(int id) { SendMessageA(GetDlgItem(m_hwnd, id), BM_CLICK, 0, 0); }
    void Both() {
        for (const TestReport& report : {kChannel0, kChannel1}) {
            report.StoreIn(&m_record);
            m_dialog.ShowStatistics();
        }
    }
    void Single() {
        kAllFlags.StoreIn(&m_record);
        m_dialog.ShowWaveForm();
    }
    RECT Display() {
        RECT client = {};
        GetClientRect(GetDlgItem(m_hwnd, IDC_WAVE_DISPLAY), &client);
        return client;
    }
    // Every line of every piece lies inside the display, no two pieces meet,
    // each line that holds text shows pixels of its colour, and no text
    // meets the display's left or right edge: half a cell stays dark there.
    void ExpectEveryRowShows(const char* mode, bool both) {
        const RECT display = Display();
        const std::vector<WaveFormLayout::Piece>& pieces = m_dialog.GetLayout().GetPieces();
        ASSERT_FALSE(pieces.empty()) << mode;
        const WaveFormLayout::Font& font = m_dialog.GetCanvas().GetFonts()[m_dialog.GetLayout().GetFontIndex()];
        const int lineHeight = font.lineHeight;
        const int clear = font.cellWidth / 2;
        EXPECT_EQ(CanvasInk(m_dialog.GetCanvas(), {0, 0, clear, display.bottom}), 0) << mode << ": left edge";
        EXPECT_EQ(CanvasInk(m_dialog.GetCanvas(), {display.right - clear, 0, display.right, display.bottom}), 0)
            << mode << ": right edge";
        for (size_t i = 0; i < pieces.size(); ++i) {
            const WaveFormLayout::Piece& piece = pieces[i];
            RECT inside;
            IntersectRect(&inside, &piece.rect, &display);
            EXPECT_TRUE(EqualRect(&inside, &piece.rect)) << mode << ": " << piece.text;
            for (size_t j = i + 1; j < pieces.size(); ++j) {
                RECT common;
                EXPECT_FALSE(IntersectRect(&common, &piece.rect, &pieces[j].rect)) << mode << ": " << piece.text;
            }
            // "Both" shows set 1, then set 0.
            COLORREF colour = WaveFormCanvas::kStatisticsColour;
            if (piece.source < 0) colour = WaveFormCanvas::kFlagColour;
            if (both && piece.source == 0) colour = WaveFormCanvas::kSecondColour;
            size_t start = 0;
            for (int line = 0; start <= piece.text.size(); ++line) {
                const size_t end = std::min(piece.text.find('\n', start), piece.text.size());
                const RECT row = {piece.rect.left, piece.rect.top + line * lineHeight, piece.rect.right,
                                  piece.rect.top + (line + 1) * lineHeight};
                if (end > start) {
                    EXPECT_GT(CountPixels(row, colour), 5) << mode << ": " << piece.text.substr(start, end - start);
                }
                start = end + 1;
            }
        }
    }
    int CountPixels(const RECT& area, COLORREF colour) { return CanvasPixels(m_dialog.GetCanvas(), area, colour); }

    TestSettings m_settings;
    TestHost m_host;
    DevicePort m_port;  // no device: nothing is sent
    WaveFormRecord m_record;
    SensorCaps m_caps;
    HWND m_hwnd = NULL;
    WaveFormDlg m_dialog;  // last: closed first
};

}  // namespace

TEST_F(WaveFormDlgOnScreen, CornerDragResizesItAndEveryRowShows) {
    Single();
    ExpectEveryRowShows("single", false);
    Click(IDC_WAVE_BOTH);
    Both();
    ExpectEveryRowShows("both", true);
    const int templateFont = m_dialog.GetLayout().GetFontIndex();

    // The manager's frame hugs the window's client area: its bottom edge,
    // near the right end, is the corner that sizes both ways.
    const SIZE before = SizeOf(m_hwnd);
    RECT client;
    GetClientRect(m_hwnd, &client);
    char drag[256];
    snprintf(drag, sizeof drag,
             "search --sync --name \"^Wave Form$\" mousemove --window %%1 %ld %ld sleep 0.3 mousedown 1 sleep 0.3 "
             "mousemove_relative 100 80 sleep 0.3 mousemove_relative 150 100 sleep 0.3 mouseup 1",
             client.right - 2, client.bottom + 3);
    ASSERT_TRUE(XdoTool(drag));
    // The window answers the drag meanwhile; it ends 250 x 180 pixels larger.
    ModalDriver::PumpUntil([&] {
        const SIZE now = SizeOf(m_hwnd);
        return now.cx >= before.cx + 250 && now.cy >= before.cy + 180;
    }, 10000);
    const SIZE after = SizeOf(m_hwnd);
    EXPECT_GE(after.cx, before.cx + 250);
    EXPECT_GE(after.cy, before.cy + 180);

    // The display keeps equal margins, and the text grows with it.
    RECT place;
    GetClientRect(m_hwnd, &client);
    GetWindowRect(GetDlgItem(m_hwnd, IDC_WAVE_DISPLAY), &place);
    MapWindowPoints(NULL, m_hwnd, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(client.right - place.right, place.left);
    EXPECT_EQ(client.bottom - place.bottom, place.left);
    Both();
    ExpectEveryRowShows("both, larger", true);
    EXPECT_LT(m_dialog.GetLayout().GetFontIndex(), templateFont);
}
