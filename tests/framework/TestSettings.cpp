#include "tests/framework/TestSettings.h"

#include "framework/IniFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

TestSettings::TestSettings() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    char name[200];
    snprintf(name, sizeof name, "settings-%lu-%s-%s.ini", GetCurrentProcessId(), test->test_suite_name(),
             test->name());
    IniFile settings;
    EXPECT_TRUE(settings.SetFileName(name));
    m_path = IniFile::GetPath();
    DeleteFileA(m_path.c_str());
}

TestSettings::~TestSettings() {
    // Profile writes may be cached; flush before deleting.
    WritePrivateProfileStringA(NULL, NULL, NULL, m_path.c_str());
    DeleteFileA(m_path.c_str());
}

std::string TestSettings::Contents() const {
    WritePrivateProfileStringA(NULL, NULL, NULL, m_path.c_str());
    std::ifstream file(m_path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}
