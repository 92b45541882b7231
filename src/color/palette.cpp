#include "palette.h"

const PaletteEntry palette[kPaletteSize] = {
    {false, RGB(0, 0, 0), L"黑色"},         {false, RGB(165, 42, 0), L"棕色"},
    {false, RGB(0, 64, 64), L"暗黄绿色"},   {false, RGB(0, 85, 0), L"暗绿色"},
    {false, RGB(0, 0, 139), L"暗蓝色"},     {false, RGB(75, 0, 130), L"靛青"},
    {false, RGB(40, 40, 40), L"暗灰色"},    {false, RGB(139, 0, 0), L"暗红色"},
    {false, RGB(255, 104, 32), L"橘色"},    {false, RGB(139, 139, 0), L"暗黄色"},
    {false, RGB(0, 147, 0), L"绿色"},       {false, RGB(0, 0, 255), L"蓝色"},
    {false, RGB(123, 123, 192), L"蓝灰色"}, {false, RGB(102, 102, 102), L"灰色40%"},
    {false, RGB(255, 0, 0), L"红色"},       {false, RGB(255, 173, 91), L"亮橘色"},
    {false, RGB(60, 179, 113), L"海绿色"},  {false, RGB(125, 158, 192), L"亮蓝色"},
    {false, RGB(128, 0, 128), L"紫色"},     {false, RGB(127, 127, 127), L"灰色50%"},
    {false, RGB(255, 192, 203), L"粉红色"}, {false, RGB(255, 215, 0), L"金色"},
    {false, RGB(255, 255, 0), L"黄色"},     {false, RGB(0, 255, 0), L"亮绿色"},
    {false, RGB(192, 255, 255), L"天蓝色"}, {false, RGB(192, 192, 192), L"亮灰色"},
    {false, RGB(255, 228, 225), L"玫瑰色"}, {false, RGB(210, 180, 140), L"黄褐色"},
    {false, RGB(255, 255, 224), L"亮黄色"}, {false, RGB(230, 230, 250), L"淡紫色"},
    {false, RGB(255, 255, 255), L"白色"},
};

COLORREF PaletteColor(const PaletteEntry& entry) {
    return entry.isSysColor ? GetSysColor(static_cast<int>(entry.value)) : entry.value;
}
