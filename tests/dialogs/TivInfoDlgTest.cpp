#include "dialogs/TivInfoDlg.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "sensor/SensorCaps.h"
#include "tests/dialogs/SwitchLogPort.h"
#include "tests/framework/TestSettings.h"

namespace {

typedef std::vector<std::string> Lines;

// The tree as "text" for roots and "  text" for children, in order.
Lines TreeLines(HWND tree) {
    Lines lines;
    HTREEITEM root = TreeView_GetRoot(tree);
    for (; root != NULL; root = TreeView_GetNextSibling(tree, root)) {
        for (HTREEITEM item = root; item != NULL;) {
            char text[300] = {};
            TVITEMA get = {};
            get.mask = TVIF_TEXT;
            get.hItem = item;
            get.pszText = text;
            get.cchTextMax = sizeof text;
            SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&get));
            lines.push_back(std::string(item == root ? "" : "  ") + text);
            item = item == root ? TreeView_GetChild(tree, root) : TreeView_GetNextSibling(tree, item);
        }
    }
    return lines;
}

class TivInfoDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dlg.SetSensorCaps(&m_caps);
        m_dlg.SetDevicePort(&m_port);
    }
    void Open(BOOL statistics) {
        ASSERT_TRUE(m_dlg.Show(GetModuleHandleA(NULL), NULL, statistics));
        m_dlg.RefreshVersion();
        m_dlg.RefreshFunctions();
    }
    Lines Tree() { return TreeLines(GetDlgItem(m_dlg.GetHwnd(), IDC_INFO_TREE)); }

    TestSettings m_settings;
    SensorCaps m_caps;
    SwitchLogPort m_port;
    TivInfoDlg m_dlg;  // after its collaborators: closed before they go
};

const Lines kNothingKnown = {"Version", "  Unacquirable", "Functions", "  Unacquirable", "Trouble",
                             "  Unacquirable"};

}  // namespace

TEST_F(TivInfoDlgTest, ShowNeedsCollaboratorsAndCreateOpensTheTreeFilled) {
    m_dlg.Reset();
    EXPECT_FALSE(m_dlg.Show(GetModuleHandleA(NULL), NULL, FALSE));
    SetUp();
    m_caps.SetModel(0);
    m_caps.SetVersionText("5.1.3K");
    Open(TRUE);
    EXPECT_FALSE(m_dlg.Show(GetModuleHandleA(NULL), NULL, FALSE));  // open already
    m_dlg.Destroy();
    HWND dialog = m_dlg.Create(GetModuleHandleA(NULL), NULL);  // the statistics as last chosen
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(m_dlg.Create(GetModuleHandleA(NULL), NULL), dialog);
    const Lines tree = Tree();
    ASSERT_EQ(tree.size(), 10u);
    EXPECT_EQ(tree[1], "  ZOR Control Program Ver.5.1.3K");
    EXPECT_EQ(tree[8], "Statistics");
}

TEST_F(TivInfoDlgTest, WithoutSensorEveryBranchIsUnacquirableAndStatisticsAreNeverPolled) {
    Open(FALSE);
    EXPECT_EQ(Tree(), kNothingKnown);
    char title[64] = {};
    GetWindowTextA(m_dlg.GetHwnd(), title, sizeof title);
    EXPECT_STREQ(title, "ZOR Infomation");
    EXPECT_TRUE(IsWindowVisible(m_dlg.GetHwnd()));
    HWND tree = GetDlgItem(m_dlg.GetHwnd(), IDC_INFO_TREE);
    EXPECT_TRUE(TreeView_GetItemState(tree, TreeView_GetRoot(tree), TVIS_EXPANDED) & TVIS_EXPANDED);
    m_dlg.SetStatistics(NULL);  // no branch to change
    EXPECT_EQ(Tree(), kNothingKnown);
    m_dlg.Destroy();
    EXPECT_EQ(m_port.m_log, (Lines{"trouble:1", "trouble:0"}));
}

TEST_F(TivInfoDlgTest, SensorVersionFunctionsAndTrouble) {
    Open(FALSE);
    m_caps.SetModel(0);
    m_caps.SetVersionText("5.1.3K");
    m_caps.SetFunction(0x0801);  // logic 1, PNP
    m_dlg.RefreshVersion();
    m_dlg.RefreshFunctions();
    m_dlg.RefreshFunctions();  // again: replaced, not added
    m_dlg.SetTrouble(3);
    Lines tree = Tree();
    ASSERT_EQ(tree.size(), 9u);
    EXPECT_EQ(tree[3], "  Output Logic : ON when detecting in the area");
    EXPECT_EQ(tree[6], "  PNP junction");
    EXPECT_EQ(tree[8], "  Motor trouble");
    // The function writing dialog's failure leaves the tree as it is.
    m_caps.SetFunction(0x0000);
    m_dlg.OnFunctionWritten(0);
    EXPECT_EQ(Tree()[6], "  PNP junction");
    m_dlg.OnFunctionWritten(1);
    EXPECT_EQ(Tree()[6], "Trouble");
    m_dlg.SetTrouble(0xFF);
    EXPECT_EQ(Tree().back(), "  Unacquirable");
}

TEST_F(TivInfoDlgTest, StatisticsLinesAreReplacedAndAnUnknownReportLeavesOneLine) {
    Open(TRUE);
    EXPECT_EQ(Tree().size(), 8u);
    EXPECT_EQ(Tree()[6], "Statistics");
    const DWORD first[8] = {1, 2, 3, 4, 5, 6, 7, 0xFFFFFFFF};
    const DWORD second[8] = {10, 20, 30, 40, 50, 60, 70, 80};
    m_dlg.SetStatistics(first);
    m_dlg.SetStatistics(second);
    Lines tree = Tree();
    ASSERT_EQ(tree.size(), 15u);
    EXPECT_EQ(tree[7], "  Number of Scan : 10");
    EXPECT_EQ(tree[14], "  Number of Communication Error : 80");
    m_dlg.SetStatistics(NULL);
    tree = Tree();
    ASSERT_EQ(tree.size(), 8u);
    EXPECT_EQ(tree[7], "  Unacquirable");
    m_dlg.SetStatistics(first);
    EXPECT_EQ(Tree()[14], "  Number of Communication Error : 4294967295");
    m_dlg.Destroy();
    EXPECT_EQ(m_port.m_log, (Lines{"trouble:1", "stats:1", "trouble:0", "stats:0"}));
}

TEST_F(TivInfoDlgTest, ReportsAfterCloseChangeNothingAndReopeningStartsAfresh) {
    Open(TRUE);
    m_dlg.SetTrouble(2);
    m_dlg.Destroy();
    // The link drops after the dialog closed: the frame still hands these on.
    const DWORD counts[8] = {};
    m_dlg.SetTrouble(0xFF);
    m_dlg.SetStatistics(counts);
    m_dlg.SetStatistics(NULL);
    m_dlg.RefreshVersion();
    m_dlg.RefreshFunctions();
    EXPECT_FALSE(m_dlg.IsOpen());
    Open(FALSE);
    EXPECT_EQ(Tree(), kNothingKnown);
    m_dlg.SetTrouble(0);
    EXPECT_EQ(Tree().back(), "  No trouble");
}
