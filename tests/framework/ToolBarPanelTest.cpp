#include "framework/ToolBarPanel.h"

#include "framework/GdiObject.h"
#include "framework/ImageButton.h"
#include "framework/WindowDc.h"
#include "resources/ToolBandIds.h"
#include "tests/framework/TestOwnerWindow.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

const BYTE kOn = ImageButton::kEnabled;
const int kCombo120[2] = {120, 200};

// A strip built from a given table, its buttons sending their commands to
// the owner; records the hover calls.
class Strip : public ToolBarPanel {
public:
    Strip(const ToolBarItem* items, int count) : m_items(items), m_count(count) {
        AddMessageHandler(WM_INITDIALOG, Handler(&Strip::OnInit));
        for (int i = 0; i < count; ++i) {
            if (items[i].kind <= kToolRadioButton)
                AddCommandHandler(static_cast<WORD>(items[i].id), Command(&ToolBarPanel::SendCommand));
        }
    }
    LRESULT OnInit(WPARAM, LPARAM) {
        Rebuild();
        return FALSE;
    }
    BOOL Rebuild() { return Build(IDB_FILE_BAND, m_items, m_count, 23, 21, 16, 15); }
    BOOL OnItemHover(UINT id) override {
        hovers.push_back(id);
        return TRUE;
    }
    std::vector<UINT> hovers;

private:
    const ToolBarItem* m_items;
    int m_count;
};

class ToolStrip : public ::testing::Test {
protected:
    void Open(const ToolBarItem* items, int count) {
        ASSERT_NE(static_cast<HWND>(NULL), m_owner.CreateTest(400, 60));
        for (int i = 0; i < count; ++i) m_owner.ListenFor(static_cast<WORD>(items[i].id));
        m_strip.reset(new Strip(items, count));
        ASSERT_NE(static_cast<HWND>(NULL), m_strip->Create(GetModuleHandleA(NULL), m_owner.GetHwnd()));
    }
    HWND Item(UINT id) { return GetDlgItem(m_strip->GetHwnd(), id); }
    BOOL Checked(UINT id) { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == 1; }
    size_t Commands() { return m_owner.Of(WM_COMMAND).size(); }
    // Mouse over the button, pressed and released at (x, y) of its client area.
    void Click(UINT id, int x = 5, int y = 5) {
        HWND button = Item(id);
        SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        TestOwnerWindow::Pump();
    }
    void Notify(UINT id, UINT code) {
        NMHDR header = {Item(id), id, code};
        SendMessageA(m_strip->GetHwnd(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
    }

    TestOwnerWindow m_owner;
    std::unique_ptr<Strip> m_strip;
};

int ChildCount(HWND parent) {
    int count = 0;
    for (HWND child = GetWindow(parent, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT)) ++count;
    return count;
}

RECT RectIn(HWND parent, HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(NULL, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

const ToolBarItem kRow[] = {
    {0, 101, kOn, kToolPushButton, NULL},
    {1, 102, kOn, kToolCheckButton, NULL},
    {2, 103, kOn, kToolPushButton, NULL},
    {0, 0, 0, kToolSeparator, NULL},
    {0, 104, 0, kToolDropDownList, const_cast<int*>(kCombo120)},
};

}  // namespace

TEST_F(ToolStrip, ThreeButtonsASeparatorAndAComboMakeAPanelOf201By21) {
    Open(kRow, 5);
    RECT panel;
    GetClientRect(m_strip->GetHwnd(), &panel);
    EXPECT_EQ(201, panel.right);
    EXPECT_EQ(21, panel.bottom);
    const struct {
        UINT id;
        int left, width;
        const char* cls;
    } places[] = {{101, 0, 23, "Button"}, {102, 23, 23, "Button"}, {103, 46, 23, "Button"}, {104, 79, 120, "ComboBox"}};
    for (const auto& p : places) {
        RECT rect = RectIn(m_strip->GetHwnd(), Item(p.id));
        EXPECT_EQ(p.left, rect.left) << p.id;
        EXPECT_EQ(p.width, rect.right - rect.left) << p.id;
        char cls[32] = {};
        GetClassNameA(Item(p.id), cls, sizeof cls);
        EXPECT_STREQ(p.cls, cls) << p.id;
    }
}

TEST_F(ToolStrip, BuildingAgainReplacesTheEarlierItems) {
    Open(kRow, 5);
    HWND oldButton = Item(101);
    ASSERT_EQ(5, ChildCount(m_strip->GetHwnd()));
    ASSERT_TRUE(m_strip->Rebuild());
    EXPECT_EQ(5, ChildCount(m_strip->GetHwnd()));
    EXPECT_FALSE(IsWindow(oldButton));
    // The new button works: its command reaches the owner once.
    Click(101);
    EXPECT_EQ(1u, Commands());
}

TEST_F(ToolStrip, AClickSendsTheCommandWithTheButtonWindowAndFlipsACheckButton) {
    Open(kRow, 5);
    Click(102);
    std::vector<TestOwnerWindow::Seen> commands = m_owner.Of(WM_COMMAND);
    ASSERT_EQ(1u, commands.size());
    EXPECT_EQ(MAKEWPARAM(102, BN_CLICKED), commands[0].wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(Item(102)), commands[0].lParam);
    EXPECT_TRUE(Checked(102));
    Click(102);
    EXPECT_FALSE(Checked(102));
}

TEST_F(ToolStrip, ReleasingOutsideTheButtonSendsNothing) {
    Open(kRow, 5);
    Click(102, -40, 5);
    EXPECT_EQ(0u, Commands());
    EXPECT_FALSE(Checked(102));
}

TEST_F(ToolStrip, ARadioClickClearsOnlyTheRadioRunAroundIt) {
    const ToolBarItem items[] = {
        {0, 201, kOn, kToolRadioButton, NULL}, {1, 202, kOn, kToolRadioButton, NULL},
        {0, 0, 0, kToolSeparator, NULL},       {2, 203, kOn, kToolRadioButton, NULL},
        {3, 204, kOn, kToolCheckButton, NULL}, {4, 205, kOn, kToolRadioButton, NULL},
        {0, 206, kOn, kToolRadioButton, NULL},
    };
    Open(items, 7);
    for (UINT id : {201u, 203u, 204u, 205u}) m_strip->SetItemCheck(id, 1);
    Click(202);
    EXPECT_FALSE(Checked(201));
    EXPECT_TRUE(Checked(202));
    EXPECT_TRUE(Checked(203));  // beyond the separator
    EXPECT_TRUE(Checked(204));  // another kind
    EXPECT_TRUE(Checked(205));  // beyond it
    Click(206);
    EXPECT_FALSE(Checked(205));
    EXPECT_TRUE(Checked(206));
    Click(206);  // already checked: stays so
    EXPECT_TRUE(Checked(206));
    // Unchecking a radio button by id is refused; checking one clears its run.
    EXPECT_FALSE(m_strip->SetItemCheck(206, 0));
    EXPECT_TRUE(m_strip->SetItemCheck(205, 1));
    EXPECT_FALSE(Checked(206));
}

TEST_F(ToolStrip, MovingOntoTheNextButtonReportsNoEmptyHoverInBetween) {
    Open(kRow, 5);
    Notify(101, NM_TOOLITEM_HOVER);
    Notify(102, NM_TOOLITEM_HOVER);  // entering the neighbour comes first
    Notify(101, NM_TOOLITEM_LEAVE);
    EXPECT_EQ((std::vector<UINT>{101, 102}), m_strip->hovers);
    Notify(102, NM_TOOLITEM_LEAVE);
    EXPECT_EQ((std::vector<UINT>{101, 102, 0}), m_strip->hovers);
    // A leave of an item that is not the hovered one resets to none.
    Notify(103, NM_TOOLITEM_HOVER);
    Notify(101, NM_TOOLITEM_LEAVE);
    EXPECT_EQ((std::vector<UINT>{101, 102, 0, 103, 0}), m_strip->hovers);
}

TEST_F(ToolStrip, ADisabledButtonIgnoresClicksSpaceAndBmClick) {
    Open(kRow, 5);
    ASSERT_TRUE(m_strip->EnableItem(102, FALSE));
    HWND button = Item(102);
    EXPECT_TRUE(IsWindowEnabled(button));  // only its own enabled bit is clear
    Click(102);
    SendMessageA(button, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageA(button, BM_CLICK, 0, 0);
    SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
    SendMessageA(button, WM_KEYUP, VK_SPACE, 0xC0390001);
    TestOwnerWindow::Pump();
    EXPECT_EQ(0u, Commands());
    EXPECT_FALSE(Checked(102));

    // Enabled again, the same keys and messages do click.
    ASSERT_TRUE(m_strip->EnableItem(102, TRUE));
    SendMessageA(button, BM_CLICK, 0, 0);
    TestOwnerWindow::Pump();
    EXPECT_EQ(1u, Commands());
    SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
    SendMessageA(button, WM_KEYUP, VK_SPACE, 0xC0390001);
    TestOwnerWindow::Pump();
    EXPECT_EQ(2u, Commands());
}

TEST_F(ToolStrip, ADisabledComboBoxIsReallyDisabled) {
    Open(kRow, 5);
    ASSERT_TRUE(m_strip->EnableItem(104, FALSE));
    EXPECT_FALSE(IsWindowEnabled(Item(104)));
    ASSERT_TRUE(m_strip->EnableItem(104, TRUE));
    EXPECT_TRUE(IsWindowEnabled(Item(104)));
    EXPECT_FALSE(m_strip->EnableItem(999, TRUE));
}

TEST_F(ToolStrip, AButtonDrawsItsGlyphTransparentAndEmbossedWhenDisabled) {
    Open(kRow, 5);
    HWND button = Item(101);  // the open folder: yellow, with a transparent corner
    WindowDc screen(button);
    MemoryDc canvas(screen);
    OwnedBitmap bitmap(CreateCompatibleBitmap(screen, 23, 21));
    SelectScope chosen(canvas, bitmap);
    auto draw = [&]() {
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = 101;
        item.hwndItem = button;
        item.hDC = canvas;
        SetRect(&item.rcItem, 0, 0, 23, 21);
        SendMessageA(button, WM_DRAWITEM, 101, reinterpret_cast<LPARAM>(&item));
        std::set<COLORREF> colours;
        for (int y = 3; y < 18; ++y)
            for (int x = 4; x < 19; ++x) colours.insert(GetPixel(canvas, x, y));
        return colours;
    };
    std::set<COLORREF> enabled = draw();
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetPixel(canvas, 3, 3));  // the glyph's transparent corner
    EXPECT_EQ(1u, enabled.count(RGB(255, 208, 64)));                // the folder
    EXPECT_EQ(0u, enabled.count(RGB(255, 0, 255)));                 // no magenta anywhere

    m_strip->EnableItem(101, FALSE);
    std::set<COLORREF> disabled = draw();
    const std::set<COLORREF> embossed = {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_3DSHADOW),
                                         GetSysColor(COLOR_3DHILIGHT)};
    for (COLORREF colour : disabled) EXPECT_EQ(1u, embossed.count(colour)) << std::hex << colour;
    EXPECT_EQ(1u, disabled.count(GetSysColor(COLOR_3DSHADOW)));
}
