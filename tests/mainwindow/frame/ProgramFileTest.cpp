#include "mainwindow/frame/ProgramFile.h"

#include "tests/TestFiles.h"

#include <gtest/gtest.h>

namespace {

std::string OwnFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.rfind('\\') + 1);
}

// Makes another folder current for the test's duration, as a file dialog does.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& path) {
        GetCurrentDirectoryA(sizeof m_saved, m_saved);
        SetCurrentDirectoryA(path.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryA(m_saved); }

private:
    char m_saved[MAX_PATH];
};

}  // namespace

TEST(ProgramFile, BareNamesComeFromTheProgramsFolderWhateverIsCurrent) {
    TestFolder elsewhere;
    CurrentFolder current(elsewhere.Path(""));
    for (const char* name : {"detect1.wav", "veldra.chm", "x"}) {
        std::string path;
        ASSERT_TRUE(ProgramFile::PathOf(name, &path));
        EXPECT_EQ(OwnFolder() + name, path);
    }
}

TEST(ProgramFile, PathsWithAFolderStayAsGiven) {
    for (const char* name :
         {"C:\\sounds\\detect1.wav", "sub\\veldra.chm", "D:help.chm", "\\\\server\\a.wav", "a/b.wav"}) {
        std::string path;
        ASSERT_TRUE(ProgramFile::PathOf(name, &path));
        EXPECT_EQ(name, path);
    }
}

TEST(ProgramFile, NullNameFails) {
    std::string path = "kept";
    SetLastError(0);
    EXPECT_FALSE(ProgramFile::PathOf(NULL, &path));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ("kept", path);
}
