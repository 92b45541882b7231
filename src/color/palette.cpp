#include "palette.h"

const PaletteEntry palette[kPaletteSize] = {
    {false, RGB(0, 0, 0), "黑色"},         {false, RGB(165, 42, 0), "棕色"},
    {false, RGB(0, 64, 64), "暗黄绿色"},   {false, RGB(0, 85, 0), "暗绿色"},
    {false, RGB(0, 0, 139), "暗蓝色"},     {false, RGB(75, 0, 130), "靛青"},
    {false, RGB(40, 40, 40), "暗灰色"},    {false, RGB(139, 0, 0), "暗红色"},
    {false, RGB(255, 104, 32), "橘色"},    {false, RGB(139, 139, 0), "暗黄色"},
    {false, RGB(0, 147, 0), "绿色"},       {false, RGB(0, 0, 255), "蓝色"},
    {false, RGB(123, 123, 192), "蓝灰色"}, {false, RGB(102, 102, 102), "灰色40%"},
    {false, RGB(255, 0, 0), "红色"},       {false, RGB(255, 173, 91), "亮橘色"},
    {false, RGB(60, 179, 113), "海绿色"},  {false, RGB(125, 158, 192), "亮蓝色"},
    {false, RGB(128, 0, 128), "紫色"},     {false, RGB(127, 127, 127), "灰色50%"},
    {false, RGB(255, 192, 203), "粉红色"}, {false, RGB(255, 215, 0), "金色"},
    {false, RGB(255, 255, 0), "黄色"},     {false, RGB(0, 255, 0), "亮绿色"},
    {false, RGB(192, 255, 255), "天蓝色"}, {false, RGB(192, 192, 192), "亮灰色"},
    {false, RGB(255, 228, 225), "玫瑰色"}, {false, RGB(210, 180, 140), "黄褐色"},
    {false, RGB(255, 255, 224), "亮黄色"}, {false, RGB(230, 230, 250), "淡紫色"},
    {false, RGB(255, 255, 255), "白色"},
};

COLORREF PaletteColor(const PaletteEntry& entry) {
    return entry.isSysColor ? GetSysColor(static_cast<int>(entry.value)) : entry.value;
}
