#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/LanguageResource.h"
#include "mainwindow/frame/MainFrame.h"
#include "resources/MenuIds.h"
#include "tests/framework/TestSettings.h"

namespace {

const UINT kSeparator = 0;
const UINT kPopup = 0xFFFFFFFF;

std::string TextOf(HMENU menu, int position) {
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

// Ids of a menu's items in order: 0 for a separator, kPopup for a popup.
std::vector<UINT> IdsOf(HMENU menu) {
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item);
        if (item.hSubMenu != NULL) {
            ids.push_back(kPopup);
        } else if (item.fType & MFT_SEPARATOR) {
            ids.push_back(kSeparator);
        } else {
            ids.push_back(item.wID);
        }
    }
    return ids;
}

class OwnMenu {
public:
    explicit OwnMenu(UINT id) : m_menu(LoadMenuA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(id))) {}
    ~OwnMenu() {
        if (m_menu != NULL) DestroyMenu(m_menu);
    }
    HMENU Get() const { return m_menu; }

private:
    HMENU m_menu;
};

}  // namespace

TEST(Menus, MenuBarHasSixPopupsWithTheirItemsInOrder) {
    OwnMenu bar(IDR_MAIN_MENU);
    ASSERT_NE(static_cast<HMENU>(NULL), bar.Get());
    const struct {
        const char* title;
        std::vector<UINT> ids;
    } popups[] = {
        {"&File", {40084, 32769, 32770, 32771, 0, 32772, 32773, 0, 32774, 0, 32781}},
        {"&View", {32787, 32794, 0, kPopup, kPopup, kPopup, 0, 32801, 32802, 32803, 0, 40094}},
        {"&Communication", {kPopup, 0, 32805, 32806, 0, kPopup, 0, 32809, 32810}},
        {"&Area", {32813, 0, kPopup, 32829, 32830}},
        {"&Setting", {kPopup}},
        {"&Help", {32846, 0, kPopup, 0, 32848}},
    };
    ASSERT_EQ(6, GetMenuItemCount(bar.Get()));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(popups[i].title, TextOf(bar.Get(), i));
        EXPECT_EQ(popups[i].ids, IdsOf(GetSubMenu(bar.Get(), i))) << popups[i].title;
    }
    const struct {
        int popup, position;
        std::vector<UINT> ids;
    } nested[] = {
        {1, 3, {32795, 32796}},
        {1, 4, {32797, 32798}},
        {1, 5, {32799, 32800}},
        {2, 0, {0, 32804}},  // the port items go before the separator
        {2, 5, {32807, 32808}},
        {3, 2, {32814, 32815, 32816, 32817, 32818, 32819, 32820}},
        {4, 0, {32840, 0, 40074, 40075, 40076}},
        {5, 2, {32847, 40077}},
    };
    for (const auto& n : nested) {
        HMENU popup = GetSubMenu(GetSubMenu(bar.Get(), n.popup), n.position);
        EXPECT_EQ(n.ids, IdsOf(popup)) << n.popup << "/" << n.position;
    }
    EXPECT_EQ("&Read Area\tCtrl+R", TextOf(GetSubMenu(bar.Get(), 2), 2));
    EXPECT_EQ("&About Veldra...", TextOf(GetSubMenu(bar.Get(), 5), 4));
}

TEST(Menus, EngineeringMenusAndTheirTitles) {
    OwnMenu inspect(IDR_INSPECT_MENU);
    OwnMenu develop(IDR_DEVELOP_MENU);
    EXPECT_EQ((std::vector<UINT>{32849, 32850, 32851, kPopup}), IdsOf(inspect.Get()));
    EXPECT_EQ((std::vector<UINT>{32852, 32853, 32854}), IdsOf(GetSubMenu(inspect.Get(), 3)));
    EXPECT_EQ((std::vector<UINT>{32855, 32856, 32857, 40095, 32858}), IdsOf(develop.Get()));
    char text[32];
    ASSERT_GT(LoadStringA(GetModuleHandleA(NULL), IDS_INSPECT_MENU, text, sizeof text), 0);
    EXPECT_STREQ("&Inspect", text);
    ASSERT_GT(LoadStringA(GetModuleHandleA(NULL), IDS_DEVELOP_MENU, text, sizeof text), 0);
    EXPECT_STREQ("&Develop", text);
}

TEST(Menus, AcceleratorsBindTheirKeys) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(static_cast<HACCEL>(NULL), table);
    ACCEL keys[64];
    int count = CopyAcceleratorTableA(table, keys, 64);
    const BYTE v = FVIRTKEY, c = FVIRTKEY | FCONTROL, a = FVIRTKEY | FALT, ca = FVIRTKEY | FCONTROL | FALT;
    const ACCEL expected[] = {
        {a, '1', 32814},   {a, '7', 32820},    {a, '8', 32821},    {a, 'F', 32828},     {c, 'A', 32771},
        {c, 'E', 32807},   {c, 'R', 32805},    {c, 'W', 32806},    {c, 'Z', 32782},     {c, 'V', 32786},
        {c, 'N', 32813},   {c, 'O', 32769},    {ca, 'O', 32772},   {c, 'P', 32774},     {c, 'S', 32770},
        {ca, 'S', 32773},  {v, VK_F1, 32846},  {v, VK_F2, 32801},  {v, VK_F4, 32803},   {a, VK_F4, 32781},
        {v, VK_F7, 32799}, {v, VK_F10, 32812}, {v, VK_F11, 32845}, {v, VK_NEXT, 32829}, {v, VK_PRIOR, 32830},
    };
    EXPECT_EQ(42, count);
    for (const ACCEL& want : expected) {
        bool found = false;
        for (int i = 0; i < count; ++i) {
            found = found || ((keys[i].fVirt & ~0x80) == want.fVirt && keys[i].key == want.key &&
                              keys[i].cmd == want.cmd);
        }
        EXPECT_TRUE(found) << "key " << want.key << " flags " << int(want.fVirt) << " id " << want.cmd;
    }
    DestroyAcceleratorTable(table);
}

TEST(Menus, SwitchesAppendTheEngineeringMenusToTheBar) {
    TestSettings file;
    ASSERT_GE(LanguageResource().Enumerate(GetModuleHandleA(NULL)), 1);
    ASSERT_NE(static_cast<HMODULE>(NULL), LanguageResource().Select(ID_LANGUAGE_FIRST));
    const struct {
        const char* line;
        std::vector<std::string> appended;
    } cases[] = {
        {"", {}},
        {"-inspect", {"&Inspect"}},
        {"-develop", {"&Develop"}},
        {"-develop -inspect", {"&Inspect", "&Develop"}},
    };
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &ChildWindow::WindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "MenusTestFrame";
    RegisterClassA(&wc);
    for (const auto& c : cases) {
        MainFrame frame;
        frame.ParseCommandLine(c.line);
        CREATESTRUCTA cs = {};
        cs.hInstance = wc.hInstance;
        cs.style = WS_OVERLAPPEDWINDOW;
        cs.lpszClass = wc.lpszClassName;
        HWND hwnd = frame.Create(&cs);  // builds the bar while it is created
        ASSERT_NE(static_cast<HWND>(NULL), hwnd);
        HMENU bar = GetMenu(hwnd);
        ASSERT_EQ(6 + static_cast<int>(c.appended.size()), GetMenuItemCount(bar)) << c.line;
        for (size_t i = 0; i < c.appended.size(); ++i) {
            EXPECT_EQ(c.appended[i], TextOf(bar, 6 + static_cast<int>(i))) << c.line;
        }
        if (frame.IsInspect()) {
            EXPECT_EQ(32849u, GetMenuItemID(GetSubMenu(bar, 6), 0));
        }
        frame.Destroy();
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        }  // the frame ends the loop when its window goes
    }
}
