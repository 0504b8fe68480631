#include "mainwindow/bands/Rebar.h"

#include "framework/IniFile.h"
#include "framework/ToolBarItem.h"
#include "mainwindow/view/ViewMessages.h"
#include "resources/MenuIds.h"
#include "resources/ToolBandIds.h"
#include "tests/framework/TestOwnerWindow.h"
#include "tests/framework/TestSettings.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The frame's part: records band commands, hints and notifications.
class FrameStandIn : public TestOwnerWindow {
public:
    FrameStandIn() {
        AddMessageHandler(WM_STATUS_HINT, Handler(&FrameStandIn::OnHint));
        AddMessageHandler(WM_STATUS_CLEAR_HINT, Handler(&FrameStandIn::OnClearHint));
    }
    LRESULT OnHint(WPARAM w, LPARAM l) { return Record(WM_STATUS_HINT, w, l); }
    LRESULT OnClearHint(WPARAM w, LPARAM l) { return Record(WM_STATUS_CLEAR_HINT, w, l); }
};

enum Kind { kPush, kCheck, kRadio, kCombo };
struct BandItem {
    UINT band;
    UINT id;
    Kind kind;
};

// Every item of every band, in band and table order.
const BandItem kBandItems[] = {
    {2100, ID_FILE_OPEN_AREA, kPush},
    {2100, ID_FILE_SAVE_AREA, kPush},
    {2100, ID_FILE_OPEN_MEASUREMENT, kPush},
    {2100, ID_FILE_SAVE_MEASUREMENT, kPush},
    {2100, ID_FILE_PRINT, kPush},
    {2101, ID_COMM_DISCONNECT, kPush},
    {2102, ID_VIEW_REALTIME, kCheck},
    {2102, ID_VIEW_RECORD, kCheck},
    {2102, ID_VIEW_AREA, kCheck},
    {2102, ID_VIEW_EDIT_AREA, kRadio},
    {2102, ID_VIEW_MOVE, kRadio},
    {2102, ID_VIEW_ZOOM, kRadio},
    {2102, ID_VIEW_GRID_CIRCLE, kCheck},
    {2103, ID_COMM_READ_AREA, kPush},
    {2103, ID_COMM_WRITE_AREA, kPush},
    {2103, ID_COMM_RECORD, kPush},
    {2104, ID_AREA_NUMERICAL_INPUT, kCheck},
    {2104, ID_AREA_NEXT, kPush},
    {2104, ID_AREA_PREVIOUS, kPush},
    {2104, IDC_AREA_CHOICE, kCombo},
    {2104, IDC_OUTPUT_SHAPE, kCombo},
    {2104, ID_AREA_TWO_SCAN0, kCheck},
    {2104, ID_AREA_TWO_SCAN1, kCheck},
    {2104, ID_AREA_TWO_SCAN2, kCheck},
    {2104, ID_AREA_MIRROR, kCheck},
    {2104, ID_AREA_HALF_HYSTERESIS, kCheck},
    {2105, IDC_PRINTER, kCombo},
    {2105, ID_PRINT_START, kPush},
    {2105, ID_PRINT_DOCUMENT_PROPERTIES, kPush},
    {2105, ID_PRINT_PAGE_SETUP, kPush},
    {2105, IDC_PRINT_ZOOM, kCombo},
    {2105, ID_PRINT_HEADER_FOOTER, kPush},
    {2105, ID_PRINT_SAVE_EMF, kPush},
    {2105, ID_PRINT_CLOSE_PREVIEW, kPush},
};

class RebarBands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(static_cast<HWND>(NULL), m_frame.CreateTest(1200, 120));
        for (const BandItem& item : kBandItems) m_frame.ListenFor(static_cast<WORD>(item.id));
        for (WORD id = ID_AREA_SELECT1; id <= ID_AREA_SELECT7; ++id) m_frame.ListenFor(id);
        for (WORD id = 32831; id <= 32833; ++id) m_frame.ListenFor(id);
    }
    void Open(Rebar* rebar) {
        ASSERT_NE(static_cast<HWND>(NULL), rebar->Create(GetModuleHandleA(NULL), m_frame.GetHwnd()));
        rebar->Show(SW_SHOW);
        rebar->Resize(1200);
    }
    // The band ids by position.
    static std::vector<UINT> Order(Rebar* rebar) {
        std::vector<UINT> ids;
        int count = static_cast<int>(SendMessageA(rebar->GetHwnd(), RB_GETBANDCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            REBARBANDINFOA info = {};
            info.cbSize = REBARBANDINFOA_V6_SIZE;
            info.fMask = RBBIM_ID;
            SendMessageA(rebar->GetHwnd(), RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&info));
            ids.push_back(info.wID);
        }
        return ids;
    }
    void Click(HWND button) {
        SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        TestOwnerWindow::Pump();
    }
    void Hover(Rebar* rebar, UINT id, UINT code) {
        HWND control = rebar->GetItemWindow(id);
        NMHDR header = {control, id, code};
        SendMessageA(GetParent(control), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
    }
    void ExpectDefaultLayout(Rebar* rebar) {
        EXPECT_EQ((std::vector<UINT>{2100, 2101, 2102, 2103, 2104, 2105}), Order(rebar));
        for (UINT band = 2100; band <= 2104; ++band) EXPECT_TRUE(rebar->IsBandShown(band)) << band;
        EXPECT_FALSE(rebar->IsBandShown(2105));
    }

    TestSettings m_file;  // first: the rebar writes into it when it goes
    FrameStandIn m_frame;
};

const std::vector<UINT> kDefaultOrder = {2100, 2101, 2102, 2103, 2104, 2105};

void WriteLayout(const std::vector<int>& ids) {
    IniFile settings;
    for (size_t i = 0; i < ids.size(); ++i) {
        std::string key = "Band" + std::to_string(i + 1);
        settings.WriteInt("Rebar", (key + "ID").c_str(), ids[i]);
        settings.WriteInt("Rebar", (key + "Width").c_str(), 150);
        settings.WriteInt("Rebar", (key + "Style").c_str(), RBBS_GRIPPERALWAYS);
    }
}

}  // namespace

TEST_F(RebarBands, EveryBandHoldsItsItemsInOrderWithTheirIds) {
    Rebar rebar;
    Open(&rebar);
    ExpectDefaultLayout(&rebar);
    int lastLeft = -1;
    UINT lastBand = 0;
    for (const BandItem& item : kBandItems) {
        HWND control = rebar.GetItemWindow(item.id);
        ASSERT_NE(static_cast<HWND>(NULL), control) << item.id;
        EXPECT_EQ(static_cast<int>(item.id), GetDlgCtrlID(control));
        // The panel of the band with that id holds it.
        REBARBANDINFOA info = {};
        info.cbSize = REBARBANDINFOA_V6_SIZE;
        info.fMask = RBBIM_CHILD;
        LRESULT index = SendMessageA(rebar.GetHwnd(), RB_IDTOINDEX, item.band, 0);
        SendMessageA(rebar.GetHwnd(), RB_GETBANDINFOA, index, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(info.hwndChild, GetParent(control)) << item.id;
        char cls[32] = {};
        GetClassNameA(control, cls, sizeof cls);
        EXPECT_STREQ(item.kind == kCombo ? "ComboBox" : "Button", cls) << item.id;
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(NULL, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
        if (item.band == lastBand) {
            EXPECT_GT(rect.left, lastLeft) << item.id;
        }
        lastBand = item.band;
        lastLeft = rect.left;
    }
}

TEST_F(RebarBands, AButtonClickReachesTheFrameWithTheButtonWindow) {
    Rebar rebar;
    Open(&rebar);
    for (const BandItem& item : kBandItems) {
        if (item.kind == kCombo) continue;
        m_frame.seen.clear();
        HWND button = rebar.GetItemWindow(item.id);
        Click(button);
        std::vector<TestOwnerWindow::Seen> commands = m_frame.Of(WM_COMMAND);
        ASSERT_EQ(1u, commands.size()) << item.id;
        EXPECT_EQ(MAKEWPARAM(item.id, BN_CLICKED), commands[0].wParam) << item.id;
        EXPECT_EQ(reinterpret_cast<LPARAM>(button), commands[0].lParam) << item.id;
    }
    // The view band keeps its radio run: the last mode clicked is the one checked.
    EXPECT_EQ(0, SendMessageA(rebar.GetItemWindow(ID_VIEW_EDIT_AREA), BM_GETCHECK, 0, 0));
    EXPECT_EQ(0, SendMessageA(rebar.GetItemWindow(ID_VIEW_MOVE), BM_GETCHECK, 0, 0));
    EXPECT_EQ(1, SendMessageA(rebar.GetItemWindow(ID_VIEW_ZOOM), BM_GETCHECK, 0, 0));
    EXPECT_EQ(1, SendMessageA(rebar.GetItemWindow(ID_VIEW_GRID_CIRCLE), BM_GETCHECK, 0, 0));
}

TEST_F(RebarBands, ADisabledBandButtonSendsNoCommand) {
    Rebar rebar;
    Open(&rebar);
    ASSERT_TRUE(rebar.EnableItem(ID_COMM_READ_AREA, FALSE));
    HWND button = rebar.GetItemWindow(ID_COMM_READ_AREA);
    Click(button);
    SendMessageA(button, BM_CLICK, 0, 0);
    SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
    SendMessageA(button, WM_KEYUP, VK_SPACE, 0xC0390001);
    TestOwnerWindow::Pump();
    EXPECT_TRUE(m_frame.Of(WM_COMMAND).empty());
    ASSERT_TRUE(rebar.EnableItem(ID_COMM_READ_AREA, TRUE));
    Click(button);
    EXPECT_EQ(1u, m_frame.Of(WM_COMMAND).size());
    EXPECT_FALSE(rebar.EnableItem(12345, TRUE));
}

TEST_F(RebarBands, OrderAndHiddenBandsSurviveARestart) {
    {
        Rebar rebar;
        Open(&rebar);
        // The area band dragged to the front; the port band hidden.
        SendMessageA(rebar.GetHwnd(), RB_MOVEBAND, 4, 0);
        rebar.ShowBand(2101, FALSE);
        EXPECT_TRUE(rebar.Destroy());
    }
    std::string text = m_file.Contents();
    EXPECT_NE(std::string::npos, text.find("Band1ID=2104")) << text;
    EXPECT_NE(std::string::npos, text.find("Band2ID=2100")) << text;
    Rebar again;
    Open(&again);
    EXPECT_EQ((std::vector<UINT>{2104, 2100, 2101, 2102, 2103, 2105}), Order(&again));
    EXPECT_FALSE(again.IsBandShown(2101));
    EXPECT_TRUE(again.IsBandShown(2104));
    EXPECT_FALSE(again.IsBandShown(2105));  // the print band starts hidden whatever was saved
}

TEST_F(RebarBands, SavedBandIdsThatAreNoPermutationGiveTheDefaultOrder) {
    const std::vector<int> layouts[] = {
        {2105, 2104, 2099, 2102, 2101, 2100},  // an id below the range
        {2100, 2100, 2102, 2103, 2104, 2105},  // a band twice, another missing
        {2100, 2101, 2102, 2103, 2104},        // a position without an id
        {2100, 2101, 2102, 2103, 2104, 2106},  // above the range
    };
    for (const std::vector<int>& ids : layouts) {
        WriteLayout(ids);
        {
            Rebar rebar;
            Open(&rebar);
            EXPECT_EQ(kDefaultOrder, Order(&rebar)) << ids[2];
            // Fresh positions take the strip's width and style, not the saved ones.
            REBARBANDINFOA info = {};
            info.cbSize = REBARBANDINFOA_V6_SIZE;
            info.fMask = RBBIM_SIZE | RBBIM_STYLE;
            SendMessageA(rebar.GetHwnd(), RB_GETBANDINFOA, 1, reinterpret_cast<LPARAM>(&info));
            EXPECT_NE(150u, info.cx) << ids[2];
            EXPECT_EQ(static_cast<UINT>(RBBS_VARIABLEHEIGHT | RBBS_GRIPPERALWAYS), info.fStyle & ~RBBS_HIDDEN);
        }
        DeleteFileA(m_file.Path().c_str());
    }
    WriteLayout({2105, 2104, 2103, 2102, 2101, 2100});
    Rebar reversed;
    Open(&reversed);
    EXPECT_EQ((std::vector<UINT>{2105, 2104, 2103, 2102, 2101, 2100}), Order(&reversed));
}

TEST_F(RebarBands, ABandIdThatNoBandHasIsPassedOver) {
    {
        Rebar rebar;
        Open(&rebar);
        // A band of another owner at the front.
        HWND stranger = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 40, 20, rebar.GetHwnd(), NULL,
                                        GetModuleHandleA(NULL), NULL);
        REBARBANDINFOA info = {};
        info.cbSize = REBARBANDINFOA_V6_SIZE;
        info.fMask = RBBIM_CHILD | RBBIM_ID | RBBIM_CHILDSIZE;
        info.hwndChild = stranger;
        info.wID = 9999;
        info.cyMinChild = 20;
        SendMessageA(rebar.GetHwnd(), RB_INSERTBANDA, 0, reinterpret_cast<LPARAM>(&info));
        rebar.ForEachBand();
        rebar.ShowBand(9999, FALSE);
        EXPECT_FALSE(rebar.IsBandShown(4242));
        rebar.Destroy();
    }
    EXPECT_NE(std::string::npos, m_file.Contents().find("Band1ID=9999"));
    Rebar again;
    Open(&again);
    EXPECT_EQ(kDefaultOrder, Order(&again));
}

TEST_F(RebarBands, HoveringShowsTheItemsHintAndLeavingClearsIt) {
    Rebar rebar;
    Open(&rebar);
    const struct {
        UINT item;
        UINT hint;
    } cases[] = {
        {ID_FILE_OPEN_MEASUREMENT, ID_FILE_OPEN_MEASUREMENT},
        {IDC_AREA_CHOICE, 0x8300},
        {IDC_OUTPUT_SHAPE, 0x8301},
        {IDC_PRINTER, 0x8302},
        {IDC_PRINT_ZOOM, 0x8303},
    };
    for (const auto& c : cases) {
        m_frame.seen.clear();
        Hover(&rebar, c.item, NM_TOOLITEM_HOVER);
        Hover(&rebar, c.item, NM_TOOLITEM_LEAVE);
        ASSERT_EQ(2u, m_frame.seen.size()) << c.item;
        EXPECT_EQ(WM_STATUS_HINT, m_frame.seen[0].msg);
        EXPECT_EQ(c.hint, m_frame.seen[0].wParam) << c.item;
        EXPECT_EQ(WM_STATUS_CLEAR_HINT, m_frame.seen[1].msg);
        EXPECT_EQ(0u, m_frame.seen[1].wParam);  // pane 0
    }
}

TEST_F(RebarBands, TheAreaCombosSendTheChosenAreaOrShapeCommand) {
    Rebar rebar;
    Open(&rebar);
    ASSERT_EQ(7, rebar.SendItemMessage(IDC_AREA_CHOICE, CB_GETCOUNT, 0, 0));
    ASSERT_EQ(3, rebar.SendItemMessage(IDC_OUTPUT_SHAPE, CB_GETCOUNT, 0, 0));
    const struct {
        UINT combo;
        int index;
        WORD command;
    } cases[] = {{IDC_AREA_CHOICE, 0, 32814}, {IDC_AREA_CHOICE, 6, 32820}, {IDC_OUTPUT_SHAPE, 2, 32833}};
    for (const auto& c : cases) {
        m_frame.seen.clear();
        HWND combo = rebar.GetItemWindow(c.combo);
        ASSERT_TRUE(rebar.SelectComboItem(c.combo, c.index));
        SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(c.combo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        std::vector<TestOwnerWindow::Seen> commands = m_frame.Of(WM_COMMAND);
        ASSERT_EQ(1u, commands.size()) << c.command;
        EXPECT_EQ(MAKEWPARAM(c.command, CBN_SELCHANGE), commands[0].wParam);
        EXPECT_EQ(reinterpret_cast<LPARAM>(combo), commands[0].lParam);
    }
    // Other notifications of the combo send nothing.
    m_frame.seen.clear();
    HWND combo = rebar.GetItemWindow(IDC_AREA_CHOICE);
    SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(IDC_AREA_CHOICE, CBN_DROPDOWN), reinterpret_cast<LPARAM>(combo));
    EXPECT_TRUE(m_frame.Of(WM_COMMAND).empty());
}

TEST_F(RebarBands, ALanguageRefreshKeepsTheChosenAreaAndItsName) {
    Rebar rebar;
    Open(&rebar);
    rebar.SelectComboItem(IDC_AREA_CHOICE, 4);
    rebar.ForEachBand();
    EXPECT_EQ(7, rebar.SendItemMessage(IDC_AREA_CHOICE, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(4, rebar.SendItemMessage(IDC_AREA_CHOICE, CB_GETCURSEL, 0, 0));
    char text[32] = {};
    GetWindowTextA(rebar.GetItemWindow(IDC_AREA_CHOICE), text, sizeof text);
    EXPECT_STREQ("Area5", text);
}

TEST_F(RebarBands, ForwardersDoNothingWithoutTheRebarWindow) {
    Rebar rebar;
    EXPECT_FALSE(rebar.SetItemCheck(ID_VIEW_REALTIME, 1));
    EXPECT_FALSE(rebar.EnableItem(ID_VIEW_REALTIME, TRUE));
    EXPECT_FALSE(rebar.SelectComboItem(IDC_AREA_CHOICE, 1));
    EXPECT_EQ(0, rebar.SendItemMessage(IDC_AREA_CHOICE, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(static_cast<HWND>(NULL), rebar.GetItemWindow(ID_VIEW_REALTIME));
    EXPECT_EQ(0, rebar.GetHeight());
    EXPECT_FALSE(rebar.Destroy());
}
