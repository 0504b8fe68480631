#include "mainwindow/program/ProgramEntry.h"

#include "framework/ErrorCodes.h"
#include "framework/IniFile.h"
#include "framework/LanguageResource.h"
#include "mainwindow/program/Application.h"
#include "mainwindow/program/ErrorBox.h"

#include <memory>
#include <new>

namespace {

const char kSettingsFile[] = "zorcfg.ini";

int FailStart() {
    SetLastError(kErrorMissingCollaborator);
    ErrorBox::ShowLastError();
    return 0;
}

}  // namespace

int ProgramEntry(HINSTANCE instance, LPSTR commandLine, int showCommand) {
    IniFile settings;
    if (!settings.SetFileName(kSettingsFile)) return FailStart();
    LanguageResource languages;
    if (languages.Enumerate(instance) == 0) return FailStart();
    std::unique_ptr<Application> application(new (std::nothrow) Application);
    if (application == NULL) return FailStart();

    int exitCode = 0;
    if (!application->Initialize(instance, commandLine, showCommand)) {
        ErrorBox::ShowLastError();
    } else {
        exitCode = application->Run();
        if (exitCode == 0) ErrorBox::ShowLastError();
    }
    // The destructors write the settings back, before the language goes.
    application.reset();
    languages.Release();
    return exitCode;
}
