// Reads DIALOG and DIALOGEX templates out of a built executable, for checking them.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct DialogItem {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    std::string className; // "BUTTON", "STATIC", ... for the predefined class atoms
    std::string text;      // code page 936; "#<n>" for a resource ordinal
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0, exStyle = 0;
    short cx = 0, cy = 0;
    std::string title;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::string font;
    std::vector<DialogItem> items;
};

// Loads dialog `id` (Chinese, PRC) from Quillmere.exe beside the test program.
bool LoadDialogTemplate(int id, DialogTemplate* dialog);
