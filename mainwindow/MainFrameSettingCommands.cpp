#include "mainwindow/MainFrame.h"

#include "resources/MenuIds.h"

// The Setting menu: the connection speed; the detection sound switch (F11);
// the display language, whose commands the frame registers per language
// module found at start-up.

void MainFrame::AddSettingCommands() {
    static const CommandEntry kCommands[] = {
        {ID_SETTING_AUTO_RECOGNITION, &MainFrame::OnAutoRecognition},
        {ID_SETTING_SOUND, &MainFrame::OnSound},
    };
    AddCommandTable(kCommands);
    AddCommandRange(ID_SETTING_19200, ID_SETTING_115200, &MainFrame::OnBaudRate);
}

LRESULT MainFrame::OnAutoRecognition(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnBaudRate(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnSound(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnLanguage(WORD, WORD, LPARAM) {
    return 0;
}
