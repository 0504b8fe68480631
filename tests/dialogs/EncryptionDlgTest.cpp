#include "dialogs/EncryptionDlg.h"

#include <gtest/gtest.h>

#include <string>

#include "resources/DevelopDialogIds.h"
#include "tests/TestFiles.h"
#include "tests/framework/ModalCloser.h"
#include "tests/dialogs/NoActivation.h"
#include "tests/framework/TestSettings.h"

namespace {

const char* const kMot =
    "S00600004844521B\r\n"
    "S2140A0010000102030405060708090A0B0C0D0E0F59\r\n"
    "S804000000FB\r\n";

class EncryptionDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 100, 100, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    }
    void TearDown() override {
        m_dlg.Destroy();
        DestroyWindow(m_owner);
    }
    HWND Open() { return m_dlg.Create(GetModuleHandleA(NULL), m_owner); }
    void SetPaths(const std::string& input, const std::string& output) {
        SetDlgItemTextA(m_dlg.GetHwnd(), IDC_ENCRYPTION_INPUT, input.c_str());
        SetDlgItemTextA(m_dlg.GetHwnd(), IDC_ENCRYPTION_OUTPUT, output.c_str());
    }
    void Press(int id) {
        SendMessageA(m_dlg.GetHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(m_dlg.GetHwnd(), id)));
    }

    NoActivation m_noActivation;
    TestSettings m_settings;
    TestFolder m_folder;
    HWND m_owner = NULL;
    EncryptionDlg m_dlg;
};

}  // namespace

TEST_F(EncryptionDlgTest, BothDirectionsAnnounceFinished) {
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(Open(), dialog);
    const std::string mot = m_folder.Path("image.mot"), tiv = m_folder.Path("image.tiv");
    const std::string back = m_folder.Path("back.mot");
    ASSERT_TRUE(WriteBytes(mot, kMot));
    SetPaths(mot, tiv);
    {
        ModalCloser closer(IDOK);
        Press(IDC_ENCRYPTION_ENCRYPT);
        EXPECT_NE(closer.texts.find("Finished"), std::string::npos) << closer.texts;
        EXPECT_EQ(closer.owner, dialog);
    }
    EXPECT_EQ(ReadBytes(tiv).size(), 264u);
    SetPaths(tiv, back);
    {
        ModalCloser closer(IDOK);
        Press(IDC_ENCRYPTION_DECRYPT);
        EXPECT_NE(closer.texts.find("Finished"), std::string::npos) << closer.texts;
    }
    EXPECT_NE(ReadBytes(back).find("S2140A0010000102030405060708090A0B0C0D0E0F59\r\n"), std::string::npos);
}

TEST_F(EncryptionDlgTest, RefusalsSayWhyAndMissingPathsDoNothing) {
    HWND dialog = Open();
    ASSERT_NE(dialog, (HWND)NULL);
    const std::string mot = m_folder.Path("bad.mot"), tiv = m_folder.Path("bad.tiv");
    ASSERT_TRUE(WriteBytes(mot, "S00600004844521B\r\nS2050A0010AB35\r\nS2050A0000AB45\r\nS804000000FB\r\n"));
    ASSERT_TRUE(WriteBytes(m_folder.Path("good.mot"), kMot));
    const std::string unwritable = m_folder.Path("no such folder\\out.tiv");
    const struct {
        std::string input, output;
        int button;
        std::string text;
    } cases[] = {
        {mot, tiv, IDC_ENCRYPTION_ENCRYPT, "Line 3: the address A0000 lies below the end of the data before it."},
        {mot, mot, IDC_ENCRYPTION_ENCRYPT, "The input file cannot also be the output file."},
        {mot, tiv, IDC_ENCRYPTION_DECRYPT, "The update file is damaged."},
        {m_folder.Path("none.tiv"), tiv, IDC_ENCRYPTION_DECRYPT, "Cannot open file."},
        {m_folder.Path("good.mot"), unwritable, IDC_ENCRYPTION_ENCRYPT, "Cannot write \"" + unwritable + "\"."},
    };
    for (const auto& c : cases) {
        SetPaths(c.input, c.output);
        ModalCloser closer(IDOK);
        Press(c.button);
        EXPECT_NE(closer.texts.find(c.text), std::string::npos) << closer.texts;
        EXPECT_EQ(ReadBytes(tiv), "<missing>");
    }
    SetPaths(mot, "");
    ModalCloser closer(IDOK);
    Press(IDC_ENCRYPTION_ENCRYPT);
    EXPECT_EQ(closer.box, (HWND)NULL);
}
