// The named colours of the colour menu.
#pragma once
#include <windows.h>

// One named colour.
struct PaletteEntry {
    bool isSysColor;     // value is a system colour index (for GetSysColor), not a colour
    DWORD value;         // a COLORREF unless isSysColor is set
    const wchar_t* name; // display name: menu label and colour description
};

constexpr unsigned kPaletteSize = 31;

// The named colours in menu order; entry i is menu command IDM_COLOR_FIRST + i.
extern const PaletteEntry palette[kPaletteSize];

// The colour an entry stands for, a system colour being read now.
COLORREF PaletteColor(const PaletteEntry& entry);
