#include <gtest/gtest.h>

#include "framework/TextFile.h"
#include "tests/TestFiles.h"

namespace {

const char kCommaCrLf[] = ",\r\n";

struct Token {
    std::string text;
    bool cut;
};

// Reads tokens until ReadToken gives 0; a cut token is marked.
std::vector<Token> ReadAll(TextFile& file, DWORD size) {
    std::vector<Token> tokens;
    std::vector<char> out(size + 1, '#');
    while (file.ReadToken(out.data(), size) && tokens.size() < 1000) {
        tokens.push_back({std::string(out.data(), file.GetReadCount()), file.IsTokenCut() != 0});
        // A whole token is terminated; a cut one leaves the byte behind `out` alone.
        EXPECT_EQ(file.IsTokenCut() ? '#' : '\0', out[file.GetReadCount()]);
    }
    return tokens;
}

class TextFileTest : public ::testing::Test {
protected:
    BOOL OpenWith(const std::string& content) {
        WriteBytes(m_path, content);
        return m_file.Open(m_path.c_str(), GENERIC_READ, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    }
    BOOL OpenForWriting() {
        return m_file.Open(m_path.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    }
    std::string Written() {
        m_file.Close();
        return ReadBytes(m_path);
    }

    TestFolder m_folder;
    std::string m_path = m_folder.Path("text.txt");
    TextFile m_file;
};

struct TokenCase {
    const char* name;
    std::string content;
    std::string delimiters;  // empty: no set
    DWORD size;
    std::vector<Token> expected;
};

TEST_F(TextFileTest, ReadToken_SplitsAtDelimiters) {
    const std::string comma(",");
    const TokenCase cases[] = {
        {"comma and CR LF", "a,b\r\nc", kCommaCrLf, 16, {{"a", false}, {"b", false}, {"c", false}}},
        {"two commas give an empty token", "a,,b", comma, 16, {{"a", false}, {"", false}, {"b", false}}},
        {"final delimiter", "a,b,", comma, 16, {{"a", false}, {"b", false}}},
        {"lone CR ends a token", "a\rb\r", kCommaCrLf, 16, {{"a", false}, {"b", false}}},
        {"CR CR LF", "a\r\r\nb", kCommaCrLf, 16, {{"a", false}, {"", false}, {"b", false}}},
        {"empty line", "a\r\n\r\nb\r\n", "\r\n", 16, {{"a", false}, {"", false}, {"b", false}}},
        {"LF only in the set", "a\r\nb", "\n", 16, {{"a\r", false}, {"b", false}}},
        {"long token is split", "abcdef,g", comma, 4, {{"abcd", true}, {"ef", false}, {"g", false}}},
        {"token of exactly size", "abcd,e", comma, 4, {{"abcd", true}, {"", false}, {"e", false}}},
        {"no set: fixed blocks",
         std::string("0123456789abcdefghij"),
         "",
         8,
         {{"01234567", true}, {"89abcdef", true}, {"ghij", false}}},
        {"empty file", "", kCommaCrLf, 16, {}},
    };
    for (const TokenCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(OpenWith(c.content));
        m_file.SetDelimiters(c.delimiters.empty() ? NULL : c.delimiters.data(),
                             static_cast<DWORD>(c.delimiters.size()));
        std::vector<Token> tokens = ReadAll(m_file, c.size);
        ASSERT_EQ(c.expected.size(), tokens.size());
        for (size_t i = 0; i < tokens.size(); ++i) {
            EXPECT_EQ(c.expected[i].text, tokens[i].text) << i;
            EXPECT_EQ(c.expected[i].cut, tokens[i].cut) << i;
        }
        EXPECT_EQ(static_cast<DWORD>(ERROR_HANDLE_EOF), GetLastError());
        m_file.Close();
    }
}

TEST_F(TextFileTest, ReadToken_KeepsCrLfTogetherAcrossReadAhead) {
    // Lines whose CR falls on every boundary of the read-ahead buffer.
    const DWORD lengths[] = {14,   15,    16,    17,    31,    32,    33,    4095,
                             4096, 16383, 16384, 16385, 32766, 32767, 32768, 32769};
    for (DWORD length : lengths) {
        SCOPED_TRACE(length);
        ASSERT_TRUE(OpenWith(std::string(length, 'x') + "\r\n\r\ny"));
        m_file.SetDelimiters("\r\n", 2);
        std::vector<Token> tokens = ReadAll(m_file, 70000);
        ASSERT_EQ(3u, tokens.size());
        EXPECT_EQ(length, tokens[0].text.size());
        EXPECT_EQ("", tokens[1].text);
        EXPECT_EQ("y", tokens[2].text);
        m_file.Close();
    }
}

TEST_F(TextFileTest, ReadField_TakesOnlyTokensWithRoomForTerminator) {
    ASSERT_TRUE(OpenWith("abcd,abc,"));
    m_file.SetDelimiters(",", 1);
    char out[5];
    EXPECT_EQ(0, m_file.ReadField(out, 4));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), GetLastError());
    EXPECT_EQ('\0', out[3]) << "never left unterminated";
    m_file.Seek(0, FILE_BEGIN);
    ASSERT_EQ(1, m_file.ReadField(out, 5));
    EXPECT_STREQ("abcd", out);
    ASSERT_EQ(1, m_file.ReadField(out, 4));
    EXPECT_STREQ("abc", out);
    EXPECT_EQ(0, m_file.ReadField(out, 5));
    EXPECT_EQ(static_cast<DWORD>(ERROR_HANDLE_EOF), GetLastError());
}

TEST_F(TextFileTest, Seek_DropsReadAheadAndCountsFromNextUnreadByte) {
    ASSERT_TRUE(OpenWith("abc,def,ghi"));
    m_file.SetDelimiters(",", 1);
    char out[16];
    ASSERT_EQ(1, m_file.ReadToken(out, sizeof(out)));
    EXPECT_EQ(4u, m_file.Seek(0, FILE_CURRENT));
    ASSERT_EQ(1, m_file.ReadToken(out, sizeof(out)));
    EXPECT_STREQ("def", out);
    EXPECT_EQ(4u, m_file.Seek(-4, FILE_CURRENT));
    ASSERT_EQ(1, m_file.ReadToken(out, 2));  // "de", the rest was read ahead
    EXPECT_EQ(9u, m_file.Seek(9, FILE_BEGIN));
    ASSERT_EQ(1, m_file.ReadToken(out, sizeof(out)));
    EXPECT_STREQ("hi", out);
}

TEST_F(TextFileTest, PeekAndEndOfFile_DoNotConsume) {
    ASSERT_TRUE(OpenWith("q,"));
    m_file.SetDelimiters(",", 1);
    EXPECT_FALSE(m_file.IsEndOfFile());
    EXPECT_EQ('q', m_file.PeekChar());
    char out[4];
    ASSERT_EQ(1, m_file.ReadToken(out, sizeof(out)));
    EXPECT_STREQ("q", out);
    EXPECT_TRUE(m_file.IsEndOfFile());
    EXPECT_EQ('\0', m_file.PeekChar());
    EXPECT_EQ(2u, m_file.GetSize());
}

TEST_F(TextFileTest, ClosedFile_EveryOperationFailsAndOpenNeedsClosed) {
    char out[4];
    EXPECT_FALSE(m_file.Close());
    EXPECT_EQ(0u, m_file.GetSize());
    EXPECT_EQ(0, m_file.ReadToken(out, sizeof(out)));
    EXPECT_EQ('\0', m_file.PeekChar());
    EXPECT_FALSE(m_file.Write("x", 1));
    EXPECT_FALSE(m_file.Printf("x"));
    EXPECT_EQ(0u, m_file.Seek(0, FILE_BEGIN));
    EXPECT_FALSE(m_file.IsEndOfFile());
    EXPECT_FALSE(m_file.CommitReplace());
    EXPECT_FALSE(m_file.Open(m_folder.Path("missing.txt").c_str(), GENERIC_READ, 0, OPEN_EXISTING, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    ASSERT_TRUE(OpenWith("x"));
    EXPECT_FALSE(m_file.Open(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0))
        << "already open";
}

TEST_F(TextFileTest, Printf_WritesEachLfAsCrLfAndLongLinesWhole) {
    // A recorded scan line: 769 values of 5 digits is far beyond 1024 bytes.
    std::string line;
    for (int i = 0; i < 768; ++i) line += "65535, ";
    ASSERT_TRUE(OpenForWriting());
    EXPECT_TRUE(m_file.Printf("x\ny\n"));
    EXPECT_TRUE(m_file.Printf("a\r\n%d\n\n", -5));
    EXPECT_TRUE(m_file.Printf("%s\n", line.c_str()));
    EXPECT_TRUE(m_file.Printf("tail"));
    EXPECT_EQ("x\r\ny\r\na\r\r\n-5\r\n\r\n" + line + "\r\ntail", Written());
}

TEST_F(TextFileTest, Write_FailsOnFileOpenForReading) {
    ASSERT_TRUE(OpenWith("old"));
    EXPECT_FALSE(m_file.Write("new", 3));
    EXPECT_FALSE(m_file.Printf("new\n"));
    EXPECT_EQ("old", Written());
}

class FailingWrites : public TextFile {
public:
    // Only the write numbered failAt (from 0) fails.
    explicit FailingWrites(int failAt) : m_failAt(failAt) {}
    BOOL Write(const void* data, DWORD count) override {
        if (m_failAt-- == 0) {
            SetLastError(ERROR_DISK_FULL);
            return FALSE;
        }
        return TextFile::Write(data, count);
    }

private:
    int m_failAt;
};

TEST_F(TextFileTest, CommitReplace_ReplacesTargetAndLeavesNoTemporaryFile) {
    for (const char* content : {"new\n", "newer\n"}) {  // creates, then replaces
        ASSERT_TRUE(m_file.CreateReplacing(m_path.c_str()));
        EXPECT_TRUE(m_file.Printf("%s", content));
        ASSERT_TRUE(m_file.CommitReplace());
    }
    EXPECT_EQ("newer\r\n", ReadBytes(m_path));
    EXPECT_EQ(std::vector<std::string>{"text.txt"}, m_folder.Files());
}

TEST_F(TextFileTest, CommitReplace_FailedWriteKeepsOldFile) {
    WriteBytes(m_path, "old");
    FailingWrites file(1);
    ASSERT_TRUE(file.CreateReplacing(m_path.c_str()));
    EXPECT_TRUE(file.Printf("first\n"));
    EXPECT_FALSE(file.Printf("second\n"));
    EXPECT_TRUE(file.Printf("third\n")) << "the base writes again";
    EXPECT_FALSE(file.CommitReplace());
    EXPECT_EQ(static_cast<DWORD>(ERROR_DISK_FULL), GetLastError());
    EXPECT_EQ("old", ReadBytes(m_path));
    EXPECT_EQ(std::vector<std::string>{"text.txt"}, m_folder.Files());
}

TEST_F(TextFileTest, CommitReplace_FailsWhenTargetCannotBeReplaced) {
    std::string folderTarget = m_folder.Path("sub");
    ASSERT_TRUE(CreateDirectoryA(folderTarget.c_str(), NULL));
    ASSERT_TRUE(m_file.CreateReplacing(folderTarget.c_str()));
    EXPECT_TRUE(m_file.Printf("new\n"));
    EXPECT_FALSE(m_file.CommitReplace());
    EXPECT_TRUE(m_folder.Files().empty()) << "temporary file removed";
    RemoveDirectoryA(folderTarget.c_str());
}

TEST_F(TextFileTest, Close_WithoutCommitDiscardsReplacement) {
    WriteBytes(m_path, "old");
    ASSERT_TRUE(m_file.CreateReplacing(m_path.c_str()));
    EXPECT_TRUE(m_file.Printf("new\n"));
    m_file.Close();
    EXPECT_EQ("old", ReadBytes(m_path));
    EXPECT_EQ(std::vector<std::string>{"text.txt"}, m_folder.Files());
}

struct NumberCase {
    const char* text;
    int base;
    long min, max;
    int ok;
    long value;
};

TEST(TextFileParseNumber, AcceptsOnlyWholeNumbersInRange) {
    const NumberCase cases[] = {
        {"123", 10, 0, 65535, 1, 123},
        {" 42", 10, 0, 65535, 1, 42},
        {"-32768", 10, -32768, 32767, 1, -32768},
        {"32767", 10, -32768, 32767, 1, 32767},
        {"40000", 10, -32768, 32767, 0, 0},
        {"4294967295", 10, 0, 65535, 0, 0},
        {"99999999999999999999", 10, 0, 65535, 0, 0},
        {"abc", 10, 0, 65535, 0, 0},
        {"", 10, 0, 65535, 0, 0},
        {"-", 10, -5, 5, 0, 0},
        {"12a", 10, 0, 65535, 0, 0},
        {"1 ", 10, 0, 65535, 0, 0},
        {"ffff", 16, 0, 0xFFFF, 1, 0xFFFF},
        {"10000", 16, 0, 0xFFFF, 0, 0},
        {"0x10", 16, 0, 0xFFFF, 0, 0},
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(c.text);
        long value = -999;
        EXPECT_EQ(c.ok, TextFile::ParseNumber(c.text, c.base, c.min, c.max, &value));
        EXPECT_EQ(c.ok ? c.value : -999, value);
    }
}

}  // namespace
