#ifndef TESTS_FRAMEWORK_TESTSETTINGS_H
#define TESTS_FRAMEWORK_TESTSETTINGS_H

#include <string>

// A settings file of the test's own beside the test program (tests run in
// parallel from one folder), made the process-wide settings file and
// deleted at the end.
class TestSettings {
public:
    TestSettings();
    ~TestSettings();
    const std::string& Path() const { return m_path; }
    std::string Contents() const;

private:
    std::string m_path;
};

#endif
