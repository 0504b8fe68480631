#include "dialogs/NumericalInputDlg.h"

#include "dialogs/DialogMessages.h"
#include "framework/LanguageResource.h"
#include "framework/LittleEndian.h"
#include "resources/resource.h"
#include "sensor/AreaSet.h"
#include "sensor/SensorCaps.h"
#include "tests/framework/TestOwnerWindow.h"
#include "tests/framework/TestSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Point {
    int x, y;
};

// The frame's stand-in: takes the area commands and, like the frame, answers
// WM_AREA_EDITED by refreshing the dialog; notes whether it was open then.
class AreaOwner : public TestOwnerWindow {
public:
    explicit AreaOwner(NumericalInputDlg* dialog) : m_dialog(dialog) {
        AddMessageHandler(WM_AREA_EDITED, Handler(&AreaOwner::OnAreaEdited));
        const WORD commands[] = {ID_AREA_SHAPE_STRAIGHT, ID_AREA_SHAPE_FAN, ID_AREA_SHAPE_RATIO, ID_AREA_TWO_SCAN0,
                                 ID_AREA_TWO_SCAN1,      ID_AREA_TWO_SCAN2, ID_AREA_MIRROR,     ID_AREA_HALF_HYSTERESIS};
        for (WORD id : commands) ListenFor(id);
    }
    LRESULT OnAreaEdited(WPARAM, LPARAM) {
        ++edited;
        openAtLastEdit = m_dialog->IsOpen();
        m_dialog->UpdateControls();
        return 0;
    }
    int edited = 0;
    BOOL openAtLastEdit = FALSE;

private:
    NumericalInputDlg* m_dialog;
};

// Asks for positions the way the dialog does and notes every one.
class NotingAreaSet : public AreaSet {
public:
    int VertexPositionOf(int) const override { return 255; }
    DWORD GetPoint(int pos) const override {
        asked.push_back(pos);
        return AreaSet::GetPoint(pos);
    }
    mutable std::vector<int> asked;
};

class NumericalInputDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GE(LanguageResource().Enumerate(GetModuleHandleA(NULL)), 1);
        m_areas.SetDevice(&m_caps);
        ASSERT_TRUE(m_areas.Init());
        ASSERT_NE(static_cast<HWND>(NULL), m_owner.CreateTest(100, 100));
        m_dialog.SetSensorCaps(&m_caps);
        m_dialog.SetAreaSet(&m_areas);
    }
    void TearDown() override { m_dialog.Destroy(); }
    // The current area: up to seven points (the rest at the origin), outputs and flags.
    void Load(std::initializer_list<Point> points, int output2, int output3, BYTE flags) {
        BYTE record[34] = {};
        int i = 0;
        for (const Point& p : points) {
            WriteLeWord(record + 4 * i, static_cast<WORD>(p.x));
            WriteLeWord(record + 4 * i + 2, static_cast<WORD>(p.y));
            ++i;
        }
        WriteLeWord(record + 28, static_cast<WORD>(output2));
        WriteLeWord(record + 30, static_cast<WORD>(output3));
        record[32] = flags;
        m_areas.SetCurrentRaw(record);
    }
    HWND Open() { return m_dialog.Create(GetModuleHandleA(NULL), m_owner.GetHwnd()); }
    std::string Text(int id) {
        char text[64] = "";
        GetDlgItemTextA(m_dialog.GetHwnd(), id, text, sizeof text);
        return text;
    }
    HWND Item(int id) { return GetDlgItem(m_dialog.GetHwnd(), id); }
    // Types into an edit as the keyboard does.
    void Type(int id, const char* text) {
        SendMessageA(Item(id), EM_SETSEL, 0, -1);
        for (const char* c = text; *c != '\0'; ++c) SendMessageA(Item(id), WM_CHAR, *c, 0);
    }
    std::vector<WORD> Commands() {
        std::vector<WORD> ids;
        for (const TestOwnerWindow::Seen& s : m_owner.Of(WM_COMMAND)) {
            EXPECT_EQ(0, s.lParam);
            ids.push_back(LOWORD(s.wParam));
        }
        return ids;
    }

    TestSettings m_file;
    SensorCaps m_caps;  // no sensor yet: every capability but the fixed shapes' holds
    AreaSet m_areas;
    NumericalInputDlg m_dialog;
    AreaOwner m_owner{&m_dialog};
};

}  // namespace

// Rows follow the ring's order: by angle from the x axis, the points at the
// origin last.
TEST_F(NumericalInputDlgTest, OpeningShowsTheRowsAndOutputsWithTheirUnit) {
    Load({{-1000, 1000}, {0, 2000}, {1000, 1000}}, 500, -300, 0);
    ASSERT_NE(static_cast<HWND>(NULL), Open());
    EXPECT_EQ("1000 mm", Text(1001));
    EXPECT_EQ("1000 mm", Text(1002));
    EXPECT_EQ("0 mm", Text(1003));
    EXPECT_EQ("2000 mm", Text(1004));
    EXPECT_EQ("-1000 mm", Text(1005));
    EXPECT_EQ("0 mm", Text(1014));
    EXPECT_EQ("500 mm", Text(IDC_NUMERIC_OUTPUT2));
    EXPECT_EQ("-300 mm", Text(IDC_NUMERIC_OUTPUT3));
    EXPECT_EQ("Area1", Text(IDC_NUMERIC_AREA));
    EXPECT_EQ(Open(), m_dialog.GetHwnd());
}

TEST_F(NumericalInputDlgTest, Create_NeedsCapsAndAreas) {
    NumericalInputDlg dialog;
    dialog.SetAreaSet(&m_areas);
    EXPECT_EQ(NULL, dialog.Create(GetModuleHandleA(NULL), m_owner.GetHwnd()));
    dialog.Reset();
    dialog.SetSensorCaps(&m_caps);
    EXPECT_EQ(NULL, dialog.Create(GetModuleHandleA(NULL), m_owner.GetHwnd()));
}

TEST_F(NumericalInputDlgTest, EnteringAnEditShowsThePlainNumberSelected) {
    Load({{1000, 1000}}, 0, 0, 0);
    ASSERT_NE(static_cast<HWND>(NULL), Open());
    SetFocus(Item(1001));
    EXPECT_EQ("1000", Text(1001));
    DWORD start = 0, end = 0;
    SendMessageA(Item(1001), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(0u, start);
    EXPECT_EQ(4u, end);
}

TEST_F(NumericalInputDlgTest, TabbingOutOfAChangedXMovesTheVertexOnce) {
    Load({{1000, 1000}, {0, 2000}, {-1000, 1000}}, 0, 0, 0);
    ASSERT_NE(static_cast<HWND>(NULL), Open());
    SetFocus(Item(1001));
    Type(1001, "1500");
    SetFocus(Item(1002));
    EXPECT_EQ(1, m_owner.edited);
    EXPECT_EQ(MAKELONG(1500, 1000), m_areas.GetPoint(0));
    EXPECT_EQ("1500 mm", Text(1001));
    EXPECT_EQ("1000", Text(1002));
    EXPECT_EQ(1u, m_areas.IsFileModified());
    // Leaving an edit unchanged still tells the frame, but changes nothing.
    m_areas.SetFileModified(0);
    SetFocus(Item(1003));
    EXPECT_EQ(2, m_owner.edited);
    EXPECT_EQ(0u, m_areas.IsFileModified());
}

// Numbers are held within +-10000 before they are packed into 16 bits:
// 70000 would otherwise wrap to 4464.
TEST_F(NumericalInputDlgTest, TypedNumbersAreHeldWithinTheCoordinateRange) {
    struct Case {
        int id;
        const char* typed;
        int x, y, output2, output3;
    } const kCases[] = {
        {1001, "70000", 10000, 1000, 0, 0},   {1002, "-40000", 1000, -10000, 0, 0},
        {1002, "123 mm", 1000, 123, 0, 0},    {IDC_NUMERIC_OUTPUT2, "70000", 1000, 1000, 10000, 0},
        {IDC_NUMERIC_OUTPUT3, "-9999", 1000, 1000, 0, -9999}, {1001, "abc", 0, 1000, 0, 0},
    };
    for (const Case& c : kCases) {
        Load({{1000, 1000}}, 0, 0, 0);
        ASSERT_NE(static_cast<HWND>(NULL), Open());
        m_dialog.UpdateControls();
        SetFocus(Item(c.id));
        Type(c.id, c.typed);
        SendMessageA(m_dialog.GetHwnd(), WM_COMMAND, IDOK, 0);
        EXPECT_EQ(static_cast<DWORD>(MAKELONG(static_cast<WORD>(c.x), static_cast<WORD>(c.y))), m_areas.GetPoint(0))
            << c.typed;
        EXPECT_EQ(c.output2, m_areas.GetOutput2()) << c.typed;
        EXPECT_EQ(c.output3, m_areas.GetOutput3()) << c.typed;
        EXPECT_EQ(Item(c.id), GetFocus()) << "Enter keeps the focus";
    }
}

TEST_F(NumericalInputDlgTest, LeadingNumberReadsWhatATextStartsWith) {
    struct Case {
        const char* text;
        long limit;
        long number;
    } const kCases[] = {
        {"123 mm", 10000, 123}, {"  -45", 10000, -45},  {"+7", 10000, 7},           {"abc", 10000, 0},
        {"", 10000, 0},         {"12x3", 10000, 12},    {"70000", 10000, 10000},    {"-", 10000, 0},
        {"99999999999999999999", 10001, 10001},         {"-99999999999999999999", 10000, -10000},
    };
    for (const Case& c : kCases) EXPECT_EQ(c.number, SensorDialog::LeadingNumber(c.text, c.limit)) << c.text;
    EXPECT_EQ(0, SensorDialog::LeadingNumber(NULL, 10));
}

// A version report refreshes the dialog while the user types: the typed
// text stays until it is committed.
TEST_F(NumericalInputDlgTest, ARefreshKeepsTheTextBeingTyped) {
    Load({{1000, 1000}}, 0, 0, 0);
    ASSERT_NE(static_cast<HWND>(NULL), Open());
    SetFocus(Item(1002));
    Type(1002, "77");
    m_dialog.UpdateControls();
    EXPECT_EQ("77", Text(1002));
    SendMessageA(m_dialog.GetHwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(1000, 77)), m_areas.GetPoint(0));
    m_areas.SetPoint(0, MAKELONG(1000, 88));
    m_dialog.UpdateControls();
    EXPECT_EQ("88", Text(1002));
}

TEST_F(NumericalInputDlgTest, RatioShapeShowsEachDistanceAsAPercentage) {
    struct Case {
        BYTE shape;
        int output2, output3;
        const char* ratio2;
        const char* ratio3;
    } const kCases[] = {
        {2, 500, 3000, "50 %", "100 %"},
        {2, 0, 999, "0 %", "99 %"},
        {0, 500, 3000, "", ""},
        {1, 500, 3000, "", ""},
    };
    for (const Case& c : kCases) {
        // The largest |y| is 1000.
        Load({{-1000, 1000}, {1000, 1000}, {0, 500}}, c.output2, c.output3, static_cast<BYTE>(c.shape << 3));
        ASSERT_NE(static_cast<HWND>(NULL), Open());
        m_dialog.UpdateControls();
        EXPECT_EQ(c.ratio2, Text(IDC_NUMERIC_RATIO2)) << c.output2;
        EXPECT_EQ(c.ratio3, Text(IDC_NUMERIC_RATIO3)) << c.output3;
        EXPECT_EQ(c.shape, SendMessageA(Item(IDC_NUMERIC_SHAPE), CB_GETCURSEL, 0, 0));
    }
    Load({{0, 0}}, 500, 500, 2 << 3);
    m_dialog.UpdateControls();
    EXPECT_EQ("0 %", Text(IDC_NUMERIC_RATIO2)) << "no largest coordinate";
}

// Without the two-scan capability all three boxes show output 1's bit and
// cannot be changed; the mirror box never can.
TEST_F(NumericalInputDlgTest, OptionBoxesFollowTheAreaAndTheCapabilities) {
    struct Case {
        const char* version;  // 0: no sensor
        BYTE flags;
        UINT checked[5];  // 1018, 1061, 1062, 1160, 1162
        BOOL enabled[5];
    } const kCases[] = {
        {NULL, 0x02 | 0x20 | 0x40, {0, 1, 0, 1, 1}, {1, 1, 1, 0, 1}},
        {NULL, 0x05, {1, 0, 1, 0, 0}, {1, 1, 1, 0, 1}},
        {"0.0.0", 0x01 | 0x20, {1, 1, 1, 0, 0}, {0, 0, 0, 0, 0}},
        {"0.0.0", 0x06, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
    };
    const int ids[5] = {IDC_NUMERIC_TWO_SCAN1, IDC_NUMERIC_TWO_SCAN2, IDC_NUMERIC_TWO_SCAN3, IDC_NUMERIC_MIRROR,
                        IDC_NUMERIC_HYSTERESIS};
    ASSERT_NE(static_cast<HWND>(NULL), Open());
    for (const Case& c : kCases) {
        m_caps.Reset();
        if (c.version != NULL) {
            m_caps.SetModel(0);
            m_caps.SetVersionText(c.version);
        }
        Load({{1000, 1000}}, 0, 0, c.flags);
        m_dialog.UpdateControls();
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(c.checked[i], IsDlgButtonChecked(m_dialog.GetHwnd(), ids[i])) << ids[i] << " " << int(c.flags);
            EXPECT_EQ(c.enabled[i], IsWindowEnabled(Item(ids[i]))) << ids[i] << " " << int(c.flags);
        }
    }
}

TEST_F(NumericalInputDlgTest, BoxesAndShapeReachTheFrameAsItsAreaCommands) {
    ASSERT_NE(static_cast<HWND>(NULL), Open());
    const int boxes[] = {IDC_NUMERIC_TWO_SCAN1, IDC_NUMERIC_TWO_SCAN2, IDC_NUMERIC_TWO_SCAN3, IDC_NUMERIC_MIRROR,
                         IDC_NUMERIC_HYSTERESIS};
    for (int id : boxes) {
        SendMessageA(m_dialog.GetHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_SETFOCUS), reinterpret_cast<LPARAM>(Item(id)));
        SendMessageA(m_dialog.GetHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
    }
    SendMessageA(Item(IDC_NUMERIC_SHAPE), CB_SETCURSEL, 2, 0);
    SendMessageA(m_dialog.GetHwnd(), WM_COMMAND, MAKEWPARAM(IDC_NUMERIC_SHAPE, CBN_DROPDOWN),
                 reinterpret_cast<LPARAM>(Item(IDC_NUMERIC_SHAPE)));
    SendMessageA(m_dialog.GetHwnd(), WM_COMMAND, MAKEWPARAM(IDC_NUMERIC_SHAPE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(IDC_NUMERIC_SHAPE)));
    EXPECT_EQ((std::vector<WORD>{32834, 32835, 32836, 32837, 32839, 32833}), Commands());
}

TEST_F(NumericalInputDlgTest, ChoosingAnAreaSelectsItAndTellsTheFrame) {
    ASSERT_NE(static_cast<HWND>(NULL), Open());
    SendMessageA(Item(IDC_NUMERIC_AREA), CB_SETCURSEL, 3, 0);
    SendMessageA(m_dialog.GetHwnd(), WM_COMMAND, MAKEWPARAM(IDC_NUMERIC_AREA, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(IDC_NUMERIC_AREA)));
    EXPECT_EQ(3, m_areas.GetCurrentIndex());
    EXPECT_EQ(1, m_owner.edited);
    EXPECT_EQ("Area4", Text(IDC_NUMERIC_AREA));
}

TEST_F(NumericalInputDlgTest, ClosingTellsTheFrameWithTheDialogClosed) {
    ASSERT_NE(static_cast<HWND>(NULL), Open());
    SendMessageA(m_dialog.GetHwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(m_dialog.IsOpen());
    EXPECT_EQ(1, m_owner.edited);
    EXPECT_FALSE(m_owner.openAtLastEdit);
}

// A point the ring does not hold reports position 255: its row shows its own
// position instead of reading at 255.
TEST_F(NumericalInputDlgTest, AnOrderEntryOf255IsNeverUsedAsAnIndex) {
    NotingAreaSet areas;
    areas.SetDevice(&m_caps);
    NumericalInputDlg dialog;
    dialog.SetSensorCaps(&m_caps);
    dialog.SetAreaSet(&areas);
    ASSERT_NE(static_cast<HWND>(NULL), dialog.Create(GetModuleHandleA(NULL), NULL));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5, 6}), areas.asked);
    dialog.Destroy();
}
