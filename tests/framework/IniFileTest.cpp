#include "framework/IniFile.h"

#include "tests/framework/TestSettings.h"

#include <gtest/gtest.h>

TEST(IniFile_NoPath, ReadsGiveDefaultsWritesFail) {
    if (IniFile::GetPath()[0] != '\0') GTEST_SKIP() << "another test of this process set the path";
    IniFile settings;
    char buffer[8] = "keep";
    EXPECT_EQ(settings.GetString("S", "K", "def", buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(settings.GetInt("S", "K", -7), -7);
    EXPECT_FALSE(settings.WriteString("S", "K", "v"));
    EXPECT_FALSE(settings.WriteInt("S", "K", 1));
}

TEST(IniFile_Path, IsTheProgramFolderPlusName) {
    IniFile settings;
    ASSERT_TRUE(settings.SetFileName("zorcfg.ini"));
    char module[MAX_PATH];
    GetModuleFileNameA(NULL, module, sizeof module);
    std::string expected(module);
    expected = expected.substr(0, expected.rfind('\\') + 1) + "zorcfg.ini";
    EXPECT_STREQ(IniFile::GetPath(), expected.c_str());
    EXPECT_FALSE(settings.SetFileName(NULL));
}

TEST(IniFile_Values, WrittenValuesReadBackAndLayout) {
    TestSettings file;
    IniFile settings;
    EXPECT_TRUE(settings.WriteString("Device", "Port", "COM3"));
    EXPECT_TRUE(settings.WriteInt("AboutDlg", "Left", -1200));
    EXPECT_TRUE(settings.WriteInt("AboutDlg", "Top", 2147483647));

    char buffer[16];
    EXPECT_EQ(settings.GetString("Device", "Port", "", buffer, sizeof buffer), 4u);
    EXPECT_STREQ(buffer, "COM3");
    EXPECT_EQ(settings.GetInt("AboutDlg", "Left", 0), -1200);
    EXPECT_EQ(settings.GetInt("AboutDlg", "Top", 0), 2147483647);
    EXPECT_EQ(file.Contents(), "[Device]\r\nPort=COM3\r\n[AboutDlg]\r\nLeft=-1200\r\nTop=2147483647\r\n");
}

TEST(IniFile_Values, AbsentKeysGiveTheCallersDefault) {
    TestSettings file;
    IniFile settings;
    settings.WriteString("View", "Zoom", "3");
    EXPECT_EQ(settings.GetInt("View", "Other", static_cast<int>(0x80000000)), static_cast<int>(0x80000000));
    EXPECT_EQ(settings.GetInt("Nothing", "Zoom", 42), 42);
    char buffer[16];
    EXPECT_EQ(settings.GetString("View", "Other", "none", buffer, sizeof buffer), 4u);
    EXPECT_STREQ(buffer, "none");
}
