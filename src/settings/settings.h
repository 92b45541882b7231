// The settings record and its file next to the executable.
#pragma once
#include <windows.h>

constexpr int kColorDescSize = 64;
constexpr int kCustomColorCount = 16;

struct Settings {
    COLORREF textColor;                     // colour of the desktop icon text
    char textColorDesc[kColorDescSize];     // the colour's display name, code page 936
    int textStyle;                          // a TextStyle code
    COLORREF custColors[kCustomColorCount]; // the colour dialog's custom colours
    bool showTrayIcon;                      // the notification-area icon is wanted
};

// The one settings record of the process.
extern Settings settings;

// Makes all custom colours white, as they are before any settings are read.
void ResetCustomColors();

// Writes "自定义颜色:(r,g,b)" for a colour into a kColorDescSize buffer.
void FormatCustomColorDesc(COLORREF color, char* desc);

// Reads the settings file and shows the settings in the main window: the style radios,
// both check boxes and the tray icon; moves the window to the stored position when
// moveWindow is set. The first run also registers the program to start with Windows.
// Disables the Restore button.
void LoadSettings(bool moveWindow);

// Writes the settings and the main window's position, then disables the Restore button.
// Nothing without an initialised main window.
void SaveSettings();
