#include "mainwindow/bands/PrintBand.h"

#include "mainwindow/bands/Rebar.h"
#include "mainwindow/print/PrintView.h"
#include "resources/ToolBandIds.h"
#include "tests/framework/TestOwnerWindow.h"
#include "tests/framework/TestSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A print band whose printers the test chooses.
class PrintBandWithPrinters : public PrintBand {
public:
    std::vector<std::string> names;
    std::string defaultName;
    BOOL listable = TRUE;

protected:
    BOOL ListPrinterNames(std::vector<std::string>* out) override {
        if (!listable) return FALSE;
        *out = names;
        return TRUE;
    }
    std::string DefaultPrinterName() override { return defaultName; }
};

class PrintBandPrinters : public ::testing::Test {
protected:
    void Open() {
        ASSERT_NE(static_cast<HWND>(NULL), m_owner.CreateTest(600, 60));
        ASSERT_NE(static_cast<HWND>(NULL), m_band.Create(GetModuleHandleA(NULL), m_owner.GetHwnd()));
    }
    std::string Selected() {
        char text[64] = {};
        GetWindowTextA(GetDlgItem(m_band.GetHwnd(), IDC_PRINTER), text, sizeof text);
        return text;
    }
    RECT* Margins(int index) {
        return reinterpret_cast<RECT*>(m_band.SendItemMessage(IDC_PRINTER, CB_GETITEMDATA, index, 0));
    }

    TestOwnerWindow m_owner;
    PrintBandWithPrinters m_band;
};

}  // namespace

TEST_F(PrintBandPrinters, TheDefaultPrinterIsChosenAndTheZoomStartsAt100) {
    m_band.names = {"Alpha", "Beta", "Gamma"};
    m_band.defaultName = "Beta";
    Open();
    EXPECT_EQ("Beta", Selected());
    EXPECT_EQ(7, m_band.SendItemMessage(IDC_PRINT_ZOOM, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(2, m_band.SendItemMessage(IDC_PRINT_ZOOM, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(100, GetWindowLongA(GetDlgItem(m_band.GetHwnd(), IDC_PRINT_ZOOM), GWL_USERDATA));
    const RECT* margins = Margins(0);
    ASSERT_NE(static_cast<const RECT*>(NULL), margins);
    EXPECT_EQ(2500, margins->left);
    EXPECT_EQ(2500, margins->bottom);
}

TEST_F(PrintBandPrinters, AGonePrinterGivesTheDefaultAndAKnownOneKeepsItsMargins) {
    m_band.names = {"Alpha", "Beta", "Gamma"};
    m_band.defaultName = "Beta";
    Open();
    SetRect(Margins(0), 1000, 1100, 1200, 1300);  // set up in Alpha's page setup
    m_band.SendItemMessage(IDC_PRINTER, CB_SETCURSEL, 2, 0);

    m_band.names = {"Delta", "Alpha", "Beta"};
    ASSERT_TRUE(m_band.FillPrinters());
    EXPECT_EQ("Beta", Selected());  // Gamma is gone: the default printer
    EXPECT_EQ(1100, Margins(1)->top);
    EXPECT_EQ(2500, Margins(0)->top);

    m_band.SendItemMessage(IDC_PRINTER, CB_SETCURSEL, 1, 0);
    m_band.names = {"Beta", "Alpha"};
    ASSERT_TRUE(m_band.FillPrinters());
    EXPECT_EQ("Alpha", Selected());  // still listed: kept
    EXPECT_EQ(1300, Margins(1)->bottom);

    m_band.names = {"Epsilon", "Zeta"};
    m_band.defaultName = "";
    ASSERT_TRUE(m_band.FillPrinters());
    EXPECT_EQ("Epsilon", Selected());  // neither: the first
}

TEST_F(PrintBandPrinters, WithoutAPrinterListTheZoomStaysEmpty) {
    m_band.listable = FALSE;
    Open();
    EXPECT_EQ(0, m_band.SendItemMessage(IDC_PRINTER, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(0, m_band.SendItemMessage(IDC_PRINT_ZOOM, CB_GETCOUNT, 0, 0));
}

TEST(PrintViewZoom, ZoomTextsAreLimitedTo10Through500) {
    const struct {
        const char* text;
        int zoom;
    } cases[] = {{"7", 10}, {"750", 500}, {"-5", 500}, {"abc", 10}, {"", 10},
                 {"75%", 75}, {"10", 10}, {"500", 500}, {"9", 10}, {"501", 500}};
    for (const auto& c : cases) EXPECT_EQ(c.zoom, PrintView::ZoomFromText(c.text)) << c.text;
}

TEST(PrintViewZoom, AChosenZoomIsReadFromTheListNotTheStaleEditField) {
    TestSettings file;
    TestOwnerWindow frame;
    ASSERT_NE(static_cast<HWND>(NULL), frame.CreateTest(1200, 100));
    Rebar rebar;
    ASSERT_NE(static_cast<HWND>(NULL), rebar.Create(GetModuleHandleA(NULL), frame.GetHwnd()));
    PrintView view;
    view.SetRebar(&rebar);
    HWND zoom = rebar.GetItemWindow(IDC_PRINT_ZOOM);
    if (rebar.SendItemMessage(IDC_PRINT_ZOOM, CB_GETCOUNT, 0, 0) == 0) {
        // No printer list on this system: the band fills the zoom only after one.
        GTEST_SKIP() << "printers cannot be listed";
    }
    // While the selection changes, the edit field still shows the old choice.
    rebar.SelectComboItem(IDC_PRINT_ZOOM, 4);  // "50%"
    SetWindowTextA(zoom, "100%");
    view.OnZoomSelect();
    EXPECT_EQ(50, view.GetZoom());
    view.ShowZoom();
    char text[16] = {};
    GetWindowTextA(zoom, text, sizeof text);
    EXPECT_STREQ("50%", text);
    // Typed into the edit field: read from there.
    SetWindowTextA(zoom, "320");
    view.OnZoomEdit();
    EXPECT_EQ(320, view.GetZoom());
}
