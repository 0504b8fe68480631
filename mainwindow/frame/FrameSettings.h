#ifndef MAINWINDOW_FRAME_FRAMESETTINGS_H
#define MAINWINDOW_FRAME_FRAMESETTINGS_H

#include <windows.h>

class IniFile;

// The main frame's values in the settings file: sections "Window" and
// "Device". Values read from the file are checked, so a hand-edited or
// damaged file never gives an unknown device type, a show command the frame
// cannot save back, or a window nobody can see.
struct FrameSettings {
    static const int kDefaultRight = 512;
    static const int kDefaultBottom = 384;
    static const int kAutoRecognition = 65535;

    FrameSettings();

    void SetDefaults();
    // Reads both sections and checks the values against the virtual screen.
    void Load(IniFile* settings);
    void Save(IniFile* settings) const;
    // Replaces what the program cannot use by its default. screen: the
    // desktop that the window must touch.
    void Check(const RECT& screen);

    static BOOL IsKnownDeviceType(int type);
    static RECT VirtualScreen();

    int toolbarVisible;
    int statusbarVisible;
    RECT window;      // the normal (restored) window rectangle
    int showCommand;  // 1 normal, 3 maximised
    int language;     // the language's command id minus 0x8200
    int comPort;      // 0 = none
    int deviceType;   // 0, 1, 2 (baud index) or 65535 (automatic recognition)
};

#endif
