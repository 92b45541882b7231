// The About box's template, the program icon and the link's hand cursor, read from the
// built Quillmere.exe.
#include <doctest.h>

#include <string.h>

#include <string>

#include "../../src/common/resource.h"
#include "../common/program_resources.h"
#include "expected_dialog.h"

namespace {

constexpr DWORD kChildVisible = WS_CHILD | WS_VISIBLE;
constexpr DWORD kText = kChildVisible | WS_GROUP | SS_LEFT;

// Dialog 107 in template order.
const ExpectedItem kAboutItems[] = {
    {-1, "STATIC", "#103", kChildVisible | SS_ICON, 7, 7, 20, 20},
    {-1, "STATIC", "Quillmere", kText, 38, 7, 145, 10},
    {-1, "STATIC", "版本:1.5 （中文版）", kText, 38, 24, 166, 10},
    {-1, "STATIC", nullptr, kText, 38, 35, 166, 10},
    {-1, "STATIC", "E-mail:", kText, 38, 45, 30, 10},
    {IDC_ABOUT_LINK, "STATIC", nullptr, kText, 70, 45, 73, 8},
    {-1, "BUTTON", "说明", kChildVisible | BS_GROUPBOX, 7, 55, 197, 68},
    {-1, "STATIC", "　　本软件能使您桌面上的文字变为透明，使之与背景配合得更完美。", kText, 15, 66,
     180, 18},
    {-1, "STATIC", nullptr, kText, 13, 87, 180, 33},
    {IDOK, "BUTTON", "了解(&O)", kChildVisible | WS_TABSTOP | BS_DEFPUSHBUTTON, 79, 127, 53, 17},
};

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

#pragma pack(push, 2)
struct GroupEntry { // one image of an icon or cursor group resource
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct CursorGroupEntry {
    WORD width, height, planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

struct GroupHeader {
    WORD reserved, type, count;
};

BITMAPINFOHEADER ImageHeader(const BYTE* image) {
    BITMAPINFOHEADER header;
    memcpy(&header, image, sizeof header);
    return header;
}

// Whether pixel (x, y) of a monochrome cursor image (after its hotspot prefix) is
// drawn, and if so whether it is white. Rows are stored bottom-up, XOR mask first.
struct CursorPixel {
    bool drawn, white;
};
CursorPixel ReadCursorPixel(const BYTE* image, int x, int y) {
    const BITMAPINFOHEADER header = ImageHeader(image);
    const int size = header.biWidth;
    const int stride = (size + 31) / 32 * 4;
    const BYTE* xorMask = image + header.biSize + 2 * sizeof(RGBQUAD);
    const BYTE* andMask = xorMask + stride * size;
    const int row = size - 1 - y;
    const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
    return {(andMask[row * stride + x / 8] & bit) == 0, (xorMask[row * stride + x / 8] & bit) != 0};
}

} // namespace

TEST_CASE("About dialog 107 is built exactly as designed") {
    DialogTemplate dialog;
    REQUIRE(LoadDialogTemplate(IDD_ABOUT, &dialog));
    CHECK_FALSE(dialog.extended);
    CHECK(dialog.style ==
          (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT));
    CHECK(dialog.exStyle == 0);
    CHECK(dialog.cx == 211);
    CHECK(dialog.cy == 151);
    CHECK(dialog.title == "关于 Quillmere...");
    CHECK(dialog.pointSize == 9);
    CHECK(dialog.font == "宋体");

    CheckDialogItems(dialog, kAboutItems);

    // Our own wording: an address on the reserved example domain, and real texts.
    const std::string address = dialog.items[5].text;
    CHECK(EndsWith(address, "@example.com"));
    CHECK(address.find(' ') == std::string::npos);
    CHECK(address.size() > strlen("@example.com"));
    CHECK_FALSE(dialog.items[3].text.empty());
    CHECK_FALSE(dialog.items[8].text.empty());
}

TEST_CASE("icon 103 holds a 32 x 32 and a 16 x 16 image of 16 colours") {
    ProgramResources program;
    REQUIRE(program.module);
    const BYTE* group = program.Find(MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, IDI_APP);
    REQUIRE(group);
    GroupHeader header;
    memcpy(&header, group, sizeof header);
    CHECK(header.type == 1);
    REQUIRE(header.count == 2);

    const int sizes[] = {32, 16};
    for (int i = 0; i < 2; ++i) {
        GroupEntry entry;
        memcpy(&entry, group + sizeof header + i * sizeof entry, sizeof entry);
        CAPTURE(i);
        CHECK(entry.width == sizes[i]);
        CHECK(entry.height == sizes[i]);
        CHECK(entry.colorCount == 16);
        CHECK(entry.bitCount == 4);
        DWORD bytes = 0;
        const BYTE* image = program.Find(MAKEINTRESOURCEA(3) /* RT_ICON */, entry.id, &bytes);
        REQUIRE(image);
        CHECK(bytes == entry.bytes);
        const BITMAPINFOHEADER bitmap = ImageHeader(image);
        CHECK(bitmap.biWidth == sizes[i]);
        CHECK(bitmap.biHeight == 2 * sizes[i]); // colour image and mask
        CHECK(bitmap.biBitCount == 4);
    }

    for (int size : sizes) {
        HICON icon = static_cast<HICON>(
            LoadImageA(program.module, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, size, size, 0));
        REQUIRE(icon);
        ICONINFO info = {};
        REQUIRE(GetIconInfo(icon, &info));
        BITMAP colour = {};
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        CHECK(colour.bmWidth == size);
        CHECK(colour.bmHeight == size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST_CASE("cursor 137 is a 32 x 32 monochrome hand pointing at its hotspot (13, 9)") {
    ProgramResources program;
    REQUIRE(program.module);
    const BYTE* group = program.Find(MAKEINTRESOURCEA(12) /* RT_GROUP_CURSOR */, IDC_HAND_CURSOR);
    REQUIRE(group);
    GroupHeader header;
    memcpy(&header, group, sizeof header);
    CHECK(header.type == 2);
    REQUIRE(header.count == 1);
    CursorGroupEntry entry;
    memcpy(&entry, group + sizeof header, sizeof entry);
    CHECK(entry.bitCount == 1);

    const BYTE* image = program.Find(MAKEINTRESOURCEA(1) /* RT_CURSOR */, entry.id);
    REQUIRE(image);
    WORD hotspot[2];
    memcpy(hotspot, image, sizeof hotspot);
    CHECK(hotspot[0] == 13);
    CHECK(hotspot[1] == 9);
    const BYTE* bitmap = image + sizeof hotspot;
    const BITMAPINFOHEADER bits = ImageHeader(bitmap);
    CHECK(bits.biWidth == 32);
    CHECK(bits.biHeight == 64);
    CHECK(bits.biBitCount == 1);

    SUBCASE("it loads as a cursor with that hotspot") {
        HCURSOR cursor = static_cast<HCURSOR>(LoadImageA(
            program.module, MAKEINTRESOURCEA(IDC_HAND_CURSOR), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
        REQUIRE(cursor);
        ICONINFO info = {};
        REQUIRE(GetIconInfo(cursor, &info));
        CHECK_FALSE(info.fIcon);
        CHECK(info.xHotspot == 13);
        CHECK(info.yHotspot == 9);
        CHECK(info.hbmColor == nullptr); // monochrome: the mask bitmap holds both masks
        BITMAP mask = {};
        GetObjectA(info.hbmMask, sizeof mask, &mask);
        CHECK(mask.bmWidth == 32);
        CHECK(mask.bmHeight == 64);
        DeleteObject(info.hbmMask);
        DestroyCursor(cursor);
    }
    SUBCASE("the hotspot is the top of the black outline of the fingertip") {
        const CursorPixel tip = ReadCursorPixel(bitmap, 13, 9);
        CHECK(tip.drawn);
        CHECK_FALSE(tip.white);
        for (int y = 0; y < 9; ++y) CHECK_FALSE(ReadCursorPixel(bitmap, 13, y).drawn);
        const CursorPixel inside = ReadCursorPixel(bitmap, 13, 11);
        CHECK(inside.drawn);
        CHECK(inside.white);
    }
    SUBCASE("white hand, black cuff at the bottom") {
        int white = 0, blackBottomRow = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) white += ReadCursorPixel(bitmap, x, y).white;
        for (int x = 0; x < 32; ++x) {
            const CursorPixel pixel = ReadCursorPixel(bitmap, x, 30);
            blackBottomRow += pixel.drawn && !pixel.white;
        }
        CHECK(white > 100);
        CHECK(blackBottomRow >= 8);
    }
}
