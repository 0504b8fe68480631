#include "mainwindow/MainFrame.h"

#include "resources/MenuIds.h"

// The Help menu: the help file, the firmware update and the About box.

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
    return 0;
}

LRESULT MainFrame::OnUpdateFirmwareNonBoot(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUpdateFirmwareBoot(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnAbout(WORD, WORD, LPARAM) {
    return 0;
}
