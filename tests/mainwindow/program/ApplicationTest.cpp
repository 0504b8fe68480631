#include "mainwindow/program/Application.h"

#include "framework/ProgressView.h"
#include "tests/framework/TestSettings.h"

#include <gtest/gtest.h>

namespace {

OSVERSIONINFOA Version(DWORD platform, DWORD major, DWORD minor, DWORD build) {
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = sizeof v;
    v.dwPlatformId = platform;
    v.dwMajorVersion = major;
    v.dwMinorVersion = minor;
    v.dwBuildNumber = build;
    return v;
}

// An application on a system of the test's choosing that counts how far
// its start got.
class MadeUpSystem : public Application {
public:
    explicit MadeUpSystem(const OSVERSIONINFOA& version, BOOL queryOk = TRUE)
        : m_version(version), m_queryOk(queryOk) {}
    int created = 0;

protected:
    BOOL QueryVersion(OSVERSIONINFOA* version) override {
        if (!m_queryOk) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        *version = m_version;
        return TRUE;
    }
    BOOL CreateObjects() override {
        ++created;
        return FALSE;
    }

private:
    OSVERSIONINFOA m_version;
    BOOL m_queryOk;
};

// Counts the messages that reach it.
class Counter {
public:
    Counter() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &Counter::Proc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "ApplicationTestCounter";
        RegisterClassA(&wc);
        m_hwnd = CreateWindowA("ApplicationTestCounter", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, wc.hInstance,
                               NULL);
        s_count = 0;
    }
    ~Counter() { DestroyWindow(m_hwnd); }
    HWND Hwnd() const { return m_hwnd; }
    static int s_count;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_APP) ++s_count;
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    HWND m_hwnd;
};

int Counter::s_count = 0;

}  // namespace

TEST(Application, RefusesWin32sAndTheFirstWindows95Only) {
    const struct {
        OSVERSIONINFOA version;
        BOOL supported;
    } cases[] = {
        {Version(VER_PLATFORM_WIN32s, 3, 10, 950), FALSE},
        {Version(VER_PLATFORM_WIN32s, 3, 11, 0), FALSE},
        {Version(VER_PLATFORM_WIN32_WINDOWS, 4, 0, 950), FALSE},
        {Version(VER_PLATFORM_WIN32_WINDOWS, 4, 0, 0x040003B6), FALSE},  // 950 in the low word
        {Version(VER_PLATFORM_WIN32_WINDOWS, 4, 0, 1111), TRUE},
        {Version(VER_PLATFORM_WIN32_WINDOWS, 4, 10, 950), TRUE},
        {Version(VER_PLATFORM_WIN32_WINDOWS, 4, 90, 3000), TRUE},
        {Version(VER_PLATFORM_WIN32_NT, 4, 0, 950), TRUE},
        {Version(VER_PLATFORM_WIN32_NT, 10, 0, 19045), TRUE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.supported, Application::IsSupportedSystem(c.version))
            << c.version.dwPlatformId << " " << c.version.dwMajorVersion << "." << c.version.dwMinorVersion
            << " " << c.version.dwBuildNumber;
    }
}

TEST(Application, OnWindows95Build950TheStartStopsWithItsOwnCode) {
    TestSettings file;
    MadeUpSystem application(Version(VER_PLATFORM_WIN32_WINDOWS, 4, 0, 950));
    SetLastError(0);
    EXPECT_FALSE(application.Initialize(GetModuleHandleA(NULL), const_cast<char*>(""), SW_SHOW));
    EXPECT_EQ(0x20000003u, GetLastError());
    EXPECT_EQ(0, application.created);
    OSVERSIONINFOA kept = {};
    application.GetVersionInfo(&kept);
    EXPECT_EQ(950u, kept.dwBuildNumber);
}

TEST(Application, AFailedVersionQueryKeepsTheSystemsReason) {
    TestSettings file;
    MadeUpSystem application(Version(VER_PLATFORM_WIN32_NT, 5, 1, 2600), FALSE);
    EXPECT_FALSE(application.Initialize(GetModuleHandleA(NULL), const_cast<char*>(""), SW_SHOW));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(0, application.created);
}

TEST(Application, MissingObjectsFailWithTheOutOfMemoryCode) {
    TestSettings file;
    MadeUpSystem application(Version(VER_PLATFORM_WIN32_NT, 5, 1, 2600));
    SetLastError(0);
    EXPECT_FALSE(application.Initialize(GetModuleHandleA(NULL), const_cast<char*>(""), SW_SHOW));
    EXPECT_EQ(14u, GetLastError());
    EXPECT_EQ(1, application.created);
}

TEST(Application, StartReadsTheRememberedFilesAndTheEndWritesThemBack) {
    TestSettings file;
    WritePrivateProfileStringA("File", "AreaFileName", "C:\\areas\\hall.ara", file.Path().c_str());
    {
        MadeUpSystem application(Version(VER_PLATFORM_WIN32_NT, 5, 1, 2600));
        application.Initialize(GetModuleHandleA(NULL), const_cast<char*>(""), SW_SHOW);
    }
    std::string text = file.Contents();
    EXPECT_NE(std::string::npos, text.find("AreaFileName=C:\\areas\\hall.ara")) << text;
    EXPECT_NE(std::string::npos, text.find("MeasurementFileName=")) << text;
}

TEST(Application, PumpMessagesHandsTheQuitMessageOnToTheMainLoop) {
    Application application;
    Counter counter;
    PostMessageA(counter.Hwnd(), WM_APP, 0, 0);
    PostQuitMessage(7);
    PostMessageA(counter.Hwnd(), WM_APP, 0, 0);
    application.PumpMessages();
    EXPECT_GE(Counter::s_count, 1);
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}

TEST(Application, PumpMessagesDispatchesWhatWaitsAndReturnsWhenNothingDoes) {
    Application application;
    Counter counter;
    application.PumpMessages();  // an empty queue: back at once
    PostMessageA(counter.Hwnd(), WM_APP, 0, 0);
    PostMessageA(counter.Hwnd(), WM_APP, 0, 0);
    application.PumpMessages();
    EXPECT_EQ(2, Counter::s_count);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
}

TEST(Application, RunEndsWithTheQuitCodeOfTheLoop) {
    Application application;
    PostQuitMessage(1);
    EXPECT_EQ(1, application.Run());
}

TEST(Application, PortNumberZeroKeepsTheLastPort) {
    Application application;
    EXPECT_EQ(0u, application.GetValue4());
    application.SetValue4(3);
    application.SetValue4(0);
    EXPECT_EQ(3u, application.GetValue4());
    application.SetValue4(12);
    EXPECT_EQ(12u, application.GetValue4());
}

TEST(Application, EndProgressOfNothingDoesNothing) {
    Application application;
    EXPECT_FALSE(application.EndProgress(NULL));
}

// The application owns the progress dialogs it starts: one that no caller
// ended goes with it instead of staying on screen.
TEST(Application, AProgressDialogNeverEndedGoesWithTheApplication) {
    HWND window = NULL;
    {
        Application application;
        ProgressView* progress = application.BeginProgress(NULL);
        ASSERT_NE(progress, nullptr);
        window = progress->GetHwnd();
        ASSERT_TRUE(IsWindow(window));
    }
    EXPECT_FALSE(IsWindow(window));
}

TEST(Application, DocumentPathIsEmptyAtStart) {
    Application application;
    char path[8] = "x";
    EXPECT_TRUE(application.GetDocumentPath(path, sizeof path));
    EXPECT_STREQ("", path);
}

TEST(Application, YieldReturnsAtOnceOutsideTheNtPlatform) {
    TestSettings file;
    MadeUpSystem nine(Version(VER_PLATFORM_WIN32_WINDOWS, 4, 10, 2222));
    nine.Initialize(GetModuleHandleA(NULL), const_cast<char*>(""), SW_SHOW);
    EXPECT_FALSE(nine.Yield());
}
