#include "dialogs/HeaderFooterDlg.h"

#include "dialogs/HeaderFooterStore.h"
#include "resources/DialogIds.h"
#include "tests/dialogs/DialogScript.h"
#include "tests/framework/TestSettings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kCaption[] = "Header and Footer";

std::string ItemText(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// The print view's part: the texts and fonts, kept as they are stored.
class KeptHeaderFooter : public HeaderFooterStore {
public:
    KeptHeaderFooter() {
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof kept.headerFont, &kept.headerFont);
        kept.footerFont = kept.headerFont;
    }
    HeaderFooter GetHeaderFooter() override { return kept; }
    void SetHeaderFooter(const HeaderFooter& headerFooter) override { kept = headerFooter; }

    HeaderFooter kept;
};

class HeaderFooterDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dialog.SetPrintView(&m_print);
        m_print.kept.headerText = "First line\r\nSecond line";
        m_print.kept.footerText = "Page footer";
    }
    HWND Run() { return m_dialog.Create(GetModuleHandleA(NULL), NULL); }

    TestSettings m_file;
    KeptHeaderFooter m_print;
    HeaderFooterDlg m_dialog;
};

}  // namespace

TEST_F(HeaderFooterDlgTest, ClosingUnchangedKeepsTheTextsAndAClearedBoxEmptiesItsText) {
    std::string shownHeader, shownFooter;
    {
        DialogScript script({{kCaption, [&](HWND dialog) {
                                  shownHeader = ItemText(dialog, IDC_HEADER_TEXT);
                                  shownFooter = ItemText(dialog, IDC_FOOTER_TEXT);
                                  PostMessageA(dialog, WM_CLOSE, 0, 0);
                              }}});
        ASSERT_NE(static_cast<HWND>(NULL), Run());
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ("First line\r\nSecond line", shownHeader);
    EXPECT_EQ("Page footer", shownFooter);
    EXPECT_EQ("First line\r\nSecond line", m_print.kept.headerText);
    EXPECT_EQ("Page footer", m_print.kept.footerText);

    {
        DialogScript script({{kCaption, [&](HWND dialog) {
                                  SetDlgItemTextA(dialog, IDC_HEADER_TEXT, "");
                                  SetDlgItemTextA(dialog, IDC_FOOTER_TEXT, "New footer");
                                  DialogScript::Press(dialog, IDCANCEL);  // Escape
                              }}});
        ASSERT_NE(static_cast<HWND>(NULL), Run());
    }
    EXPECT_EQ("", m_print.kept.headerText);
    EXPECT_EQ("New footer", m_print.kept.footerText);
    EXPECT_FALSE(m_dialog.IsOpen());
}

TEST_F(HeaderFooterDlgTest, TheFontChooserEditsThePrintViewsFontOnlyWhenConfirmed) {
    const LOGFONTA before = m_print.kept.headerFont;
    {
        DialogScript script({{kCaption, [](HWND dialog) { DialogScript::Press(dialog, IDC_HEADER_FONT); }},
                             {"Font", [](HWND font) { DialogScript::Press(font, IDCANCEL); }},
                             {kCaption, [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }}});
        ASSERT_NE(static_cast<HWND>(NULL), Run());
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(0, memcmp(&before, &m_print.kept.headerFont, sizeof before)) << "cancelled: unchanged";

    {
        DialogScript script({{kCaption, [](HWND dialog) { DialogScript::Press(dialog, IDC_FOOTER_FONT); }},
                             {"Font", [](HWND font) { DialogScript::ConfirmFontSize20(font); }},
                             {kCaption, [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }}});
        ASSERT_NE(static_cast<HWND>(NULL), Run());
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(0, memcmp(&before, &m_print.kept.headerFont, sizeof before)) << "the header's font is another";
    // 20 points at 96 pixels per inch: 26.7 pixels.
    EXPECT_EQ(-27, m_print.kept.footerFont.lfHeight);
}

TEST(HeaderFooterDlg, WithoutAPrintViewItDoesNotOpen) {
    TestSettings file;
    HeaderFooterDlg dialog;
    EXPECT_EQ(static_cast<HWND>(NULL), dialog.Create(GetModuleHandleA(NULL), NULL));
    EXPECT_EQ(0, dialog.ChooseHeaderFooterFont(IDC_HEADER_FONT, BN_CLICKED, 0));
}
