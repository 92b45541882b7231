// The settings record: what the user chose, kept in the settings file between runs.
#pragma once
#include <windows.h>

constexpr int kColorDescSize = 64;
constexpr int kCustomColorCount = 16;

struct Settings {
    COLORREF textColor;                     // colour of the desktop icon text
    wchar_t textColorDesc[kColorDescSize];  // the colour's display name; the settings
                                            // file stores it in code page 936
    int textStyle;                          // a TextStyle code
    COLORREF custColors[kCustomColorCount]; // the colour dialog's custom colours
    bool showTrayIcon;                      // the notification-area icon is wanted
};

// The one settings record of the process.
extern Settings settings;

// Makes all custom colours white, as they are before any settings are read.
void ResetCustomColors();

// Writes "自定义颜色:(r,g,b)" for a colour into a kColorDescSize buffer: the description of
// a colour that has no name.
void FormatCustomColorDesc(COLORREF color, wchar_t* desc);
