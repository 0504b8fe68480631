#ifndef TESTS_TESTFILES_H
#define TESTS_TESTFILES_H

#include <windows.h>

#include <string>
#include <vector>

// A private folder under the temporary path for one test, removed with all
// its files at the end, so that tests running in parallel never share files.
class TestFolder {
public:
    TestFolder() {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        char unique[MAX_PATH];
        GetTempFileNameA(base, "tvt", 0, unique);  // reserves a unique name
        DeleteFileA(unique);
        CreateDirectoryA(unique, NULL);
        m_path = unique;
    }
    ~TestFolder() {
        for (const std::string& name : Files()) DeleteFileA(Path(name).c_str());
        RemoveDirectoryA(m_path.c_str());
    }
    std::string Path(const std::string& name) const { return m_path + "\\" + name; }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA(Path("*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
        } while (FindNextFileA(find, &data));
        FindClose(find);
        return names;
    }

private:
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;
    std::string m_path;
};

inline bool WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

inline std::string ReadBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return std::string("<missing>");
    std::string bytes(GetFileSize(file, NULL), '\0');
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, NULL);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

#endif
