#ifndef TESTS_FRAMEWORK_PROGRAMCOPY_H
#define TESTS_FRAMEWORK_PROGRAMCOPY_H

#include <windows.h>

#include <initializer_list>
#include <string>

// A private program folder in the temporary folder: a copy of the probe
// program (framework_probe.exe) and the chosen test language modules. The
// probe's tests run there, since the settings file and the module scan use
// the program's own folder. Removed with everything in it at the end.
class ProgramCopy {
public:
    explicit ProgramCopy(std::initializer_list<const char*> modules);
    ~ProgramCopy();

    bool Ready() const { return m_ready; }
    const std::string& Folder() const { return m_folder; }
    // Runs the probe's tests matching filter, from another working folder;
    // the exit code (0 = all passed), their output in *output.
    DWORD Run(const char* filter, std::string* output);
    std::string ReadFile(const char* name) const;

private:
    std::string m_source;  // the folder of the test programs
    std::string m_folder;  // the copy, with its backslash
    bool m_ready = false;
};

#endif
