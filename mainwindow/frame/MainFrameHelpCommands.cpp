#include "mainwindow/frame/MainFrame.h"

#include "dialogs/AboutDlg.h"
#include "framework/LanguageResource.h"
#include "mainwindow/frame/FrameHost.h"
#include "mainwindow/frame/HtmlHelpControl.h"
#include "mainwindow/frame/ProgramFile.h"
#include "resources/HelpIds.h"
#include "resources/MenuIds.h"

#include <string>

// The Help menu: the help file, the firmware update and the About box.

namespace {

const char kHelpTopic[] = "index.html";
// Not from the string table: the same text in every language.
const char kUpdateNeeds19200[] = "Please set baudrate 19200 when you write firmware.";
const int kUpdateRate = 0;  // the device type of 19200 baud
const DWORD kNonBootPart = 0;
const DWORD kBootPart = 1;

// Loaded on the first help request; its help windows live in it until the
// program ends.
HtmlHelpControl& HelpControl() {
    static HtmlHelpControl control;
    return control;
}

// The current language's help file in the program's folder; "" when the
// language has none.
std::string HelpFilePath(int languageIndex) {
    LanguageInfo info;
    std::string path;
    if (!LanguageResource().GetInfo(LanguageResource::kFirstId + languageIndex, &info) ||
        info.helpFile[0] == '\0' || !ProgramFile::PathOf(info.helpFile, &path))
        return std::string();
    return path;
}

}  // namespace

void MainFrame::AddHelpCommands() {
    static const CommandEntry kCommands[] = {
        {ID_HELP_SEARCH, &MainFrame::OnHelpTopic},
        {ID_HELP_UPDATE, &MainFrame::OnUpdateFirmwareNonBoot},
        {ID_HELP_UPDATE_BOOT, &MainFrame::OnUpdateFirmwareBoot},
        {ID_HELP_ABOUT, &MainFrame::OnAbout},
    };
    AddCommandTable(kCommands);
}

LRESULT MainFrame::OnHelpTopic(WORD, WORD, LPARAM) {
    const std::string file = HelpFilePath(m_settings.language);
    const bool present = !file.empty() && GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!present || HelpControl().DisplayTopic(GetHwnd(), file.c_str(), kHelpTopic) == NULL)
        ShowBox(LoadText(IDS_HELP_NOT_FOUND), MB_ICONERROR);
    return 0;
}

LRESULT MainFrame::OnUpdateFirmwareNonBoot(WORD, WORD, LPARAM) {
    StartFirmwareUpdate(kNonBootPart);
    return 0;
}

LRESULT MainFrame::OnUpdateFirmwareBoot(WORD, WORD, LPARAM) {
    StartFirmwareUpdate(kBootPart);
    return 0;
}

// The update runs at 19200 baud only. The part is stored before the
// question, so the application has it for the update that follows.
void MainFrame::StartFirmwareUpdate(DWORD part) {
    if (m_settings.deviceType != kUpdateRate) {
        ShowBox(kUpdateNeeds19200, MB_ICONERROR);
        return;
    }
    if (m_application != NULL) m_application->SetValue3(part);
    const int answer = ShowBox(LoadText(IDS_FIRMWARE_WARNING), MB_OKCANCEL | MB_ICONWARNING);
    if (answer == IDOK && m_application != NULL) m_application->OpenUpdateFile();
}

LRESULT MainFrame::OnAbout(WORD, WORD, LPARAM) {
    OpenTool(m_aboutDlg.get());
    return 0;
}
