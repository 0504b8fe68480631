#include "dialogs/FunctionFile.h"

#include "sensor/SensorCaps.h"
#include "tests/TestFiles.h"

#include <gtest/gtest.h>

namespace {

// The bits a file does not hold, set in every word a file is loaded into.
const WORD kUpperBits = 0xFE00;

WORD LoadedWord(const std::string& path, BOOL* loaded) {
    SensorCaps caps;
    caps.SetFunction(0xFFFF);
    *loaded = FunctionFile().Load(path.c_str(), &caps);
    return caps.GetFunction();
}

}  // namespace

TEST(FunctionFile_Save, WritesTheFiveKeysInOrderAndReadsThemBack) {
    const struct {
        WORD saved;
        const char* text;
    } cases[] = {
        {0x01FF,
         "[Function]\r\nOutputLogic=1\r\nOutput3Function=7\r\nInput4Function=7\r\nNoSidewaysExtension=1\r\n"
         "LedPCon2=1\r\n"},
        // Bit 9 is no field of the file.
        {0x0213,
         "[Function]\r\nOutputLogic=1\r\nOutput3Function=1\r\nInput4Function=1\r\nNoSidewaysExtension=0\r\n"
         "LedPCon2=0\r\n"},
    };
    TestFolder folder;
    for (const auto& c : cases) {
        const std::string path = folder.Path("saved.fnc");
        DeleteFileA(path.c_str());
        SensorCaps caps;
        caps.SetFunction(c.saved);
        ASSERT_TRUE(FunctionFile().Save(path.c_str(), caps)) << std::hex << c.saved;
        EXPECT_EQ(ReadBytes(path), c.text) << std::hex << c.saved;
        BOOL loaded = FALSE;
        EXPECT_EQ(LoadedWord(path, &loaded), kUpperBits | (c.saved & 0x1FF)) << std::hex << c.saved;
        EXPECT_TRUE(loaded);
    }
}

TEST(FunctionFile_Load, MalformedFilesReadMissingKeysAsZeroAndMaskTheValues) {
    const struct {
        const char* text;
        WORD fields;  // bits 0-8 of the loaded word
    } cases[] = {
        {"", 0x000},
        {"[Other]\r\nOutputLogic=1\r\nLedPCon2=1\r\n", 0x000},
        // Wider values: one-bit fields take any non-zero value as 1, the
        // three-bit fields their low bits (9 -> 1, 12 -> 4).
        {"[Function]\r\nOutputLogic=2\r\nOutput3Function=9\r\nInput4Function=12\r\n", 0x043},
        {"[Function]\r\nOutputLogic=abc\r\nNoSidewaysExtension=x1\r\nLedPCon2=7\r\n", 0x100},
        {"[Function]\r\nInput4Function=3 ; area select\r\nOutputLogic\r\n", 0x030},
        {"[function]\r\noutputlogic=1\r\nNOSIDEWAYSEXTENSION=1\r\n", 0x081},
        // Only the keys are replaced: the upper bits stay even when named.
        {"[Function]\r\nLongRange=1\r\nFunction=65535\r\n", 0x000},
    };
    TestFolder folder;
    int n = 0;
    for (const auto& c : cases) {
        // A new name each time: the profile functions may cache a file.
        const std::string path = folder.Path("case" + std::to_string(n++) + ".fnc");
        ASSERT_TRUE(WriteBytes(path, c.text));
        BOOL loaded = FALSE;
        EXPECT_EQ(LoadedWord(path, &loaded), kUpperBits | c.fields) << c.text;
        EXPECT_TRUE(loaded) << c.text;
    }
}

TEST(FunctionFile_Load, AMissingFileFailsAndLeavesTheWord) {
    TestFolder folder;
    BOOL loaded = TRUE;
    EXPECT_EQ(LoadedWord(folder.Path("gone.fnc"), &loaded), 0xFFFF);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(FunctionFile_Save, KeepsTheFilesOtherSectionsAndKeys) {
    TestFolder folder;
    const std::string path = folder.Path("shared.fnc");
    ASSERT_TRUE(WriteBytes(path, "[Header]\r\nName=left gate\r\n[Function]\r\nOutputLogic=0\r\nComment=keep\r\n"));
    SensorCaps caps;
    caps.SetFunction(0x0031);
    ASSERT_TRUE(FunctionFile().Save(path.c_str(), caps));
    EXPECT_EQ(ReadBytes(path),
              "[Header]\r\nName=left gate\r\n[Function]\r\nOutputLogic=1\r\nComment=keep\r\nOutput3Function=0\r\n"
              "Input4Function=3\r\nNoSidewaysExtension=0\r\nLedPCon2=0\r\n");
}

TEST(FunctionFile_Save, AFileThatCannotBeWrittenFails) {
    TestFolder folder;
    const std::string held = folder.Path("held.fnc");
    ASSERT_TRUE(WriteBytes(held, "[Function]\r\nOutputLogic=0\r\n"));
    // Held open by another program that shares it with no one.
    HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    SensorCaps caps;
    caps.SetFunction(0x0001);
    SetLastError(0);
    EXPECT_FALSE(FunctionFile().Save(held.c_str(), caps));
    EXPECT_NE(GetLastError(), 0u);
    CloseHandle(holder);
    EXPECT_EQ(ReadBytes(held), "[Function]\r\nOutputLogic=0\r\n");

    EXPECT_FALSE(FunctionFile().Save(folder.Path("missing\\folder.fnc").c_str(), caps));
}
