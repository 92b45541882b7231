#include "settings_record.h"

Settings settings;

namespace {

constexpr wchar_t kCustomColorDescFormat[] = L"自定义颜色:(%d,%d,%d)";

} // namespace

void ResetCustomColors() {
    for (COLORREF& color : settings.custColors) color = RGB(255, 255, 255);
}

void FormatCustomColorDesc(COLORREF color, wchar_t* desc) {
    // wsprintfW rather than swprintf throughout: MinGW's own printf family would add
    // some 17 KiB to a program of 40. Every text formatted here is short and bounded.
    wsprintfW(desc, kCustomColorDescFormat, GetRValue(color), GetGValue(color), GetBValue(color));
}
