// The resources of the built Quillmere.exe: main dialog 105, About dialog 107, tray menu
// 110, program icon 103 and the link's hand cursor 137.
#include <doctest.h>

#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include "../../src/app/app.h"
#include "../../src/app/main_window.h"
#include "../../src/common/resource.h"
#include "../../src/common/settings_record.h"
#include "../common/canvas.h"
#include "../common/program_resources.h"
#include "test_windows.h"

namespace {

// Walks resource bytes: dialog templates (WORD-aligned records, DWORD-aligned items,
// UTF-16 strings) and the headers of icons and cursors.
class Reader {
  public:
    explicit Reader(const BYTE* data) : start(data), at(data) {}
    template <typename T> T Get() {
        T value;
        memcpy(&value, at, sizeof value);
        at += sizeof value;
        return value;
    }
    void AlignDword() { at += (4 - (at - start) % 4) % 4; }
    // A DIALOG's style then extended style; a DIALOGEX's help id, extended style, style.
    void Styles(bool extended, DWORD* style, DWORD* exStyle) {
        if (extended) Get<DWORD>();
        *(extended ? exStyle : style) = Get<DWORD>();
        *(extended ? style : exStyle) = Get<DWORD>();
    }
    // A string, an ordinal (0xFFFF then a WORD, given as "#<n>") or nothing (a zero WORD).
    std::string StringOrOrdinal() {
        if (Get<WORD>() == 0xFFFF) return "#" + std::to_string(Get<WORD>());
        at -= sizeof(WORD);
        return String();
    }
    std::string String() { // in code page 936
        std::wstring wide;
        for (WORD c; (c = Get<WORD>()) != 0;) wide += static_cast<wchar_t>(c);
        char narrow[512] = "";
        WideCharToMultiByte(936, 0, wide.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
        return narrow;
    }

  private:
    const BYTE* start;
    const BYTE* at;
};

struct DialogItem {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    std::string className; // "BUTTON", "STATIC", ... for the predefined class atoms
    std::string text;
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

std::string PredefinedClass(const std::string& name) {
    const char* const kNames[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    for (int atom = 0; atom < 6; ++atom)
        if (name == "#" + std::to_string(0x80 + atom)) return kNames[atom];
    return name;
}

DialogTemplate ParseDialog(const BYTE* data) {
    DialogTemplate dialog;
    Reader in(data);
    dialog.extended = in.Get<WORD>() == 1 && in.Get<WORD>() == 0xFFFF;
    if (!dialog.extended) in = Reader(data);
    in.Styles(dialog.extended, &dialog.style, &dialog.exStyle);
    dialog.items.resize(in.Get<WORD>());
    in.Get<DWORD>(); // x, y
    dialog.cx = in.Get<short>();
    dialog.cy = in.Get<short>();
    in.StringOrOrdinal(); // menu
    in.StringOrOrdinal(); // class
    dialog.title = in.String();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = in.Get<WORD>();
        if (dialog.extended) {
            dialog.weight = in.Get<WORD>();
            dialog.italic = in.Get<BYTE>();
            dialog.charset = in.Get<BYTE>();
        }
        dialog.font = in.String();
    }
    for (DialogItem& item : dialog.items) {
        in.AlignDword();
        in.Styles(dialog.extended, &item.style, &item.exStyle);
        for (short* field : {&item.x, &item.y, &item.cx, &item.cy}) *field = in.Get<short>();
        item.id = dialog.extended ? static_cast<int>(in.Get<DWORD>()) : in.Get<short>();
        item.className = PredefinedClass(in.StringOrOrdinal());
        item.text = in.StringOrOrdinal();
        for (WORD extra = in.Get<WORD>(); extra > 0; --extra) in.Get<BYTE>();
    }
    return dialog;
}

// Dialog `id` (Chinese, PRC) of Quillmere.exe beside the test program; the case ends without it.
DialogTemplate LoadDialogTemplate(int id) {
    ProgramResources program;
    const BYTE* data = program.Find(RT_DIALOG, id);
    REQUIRE(data);
    return ParseDialog(data);
}

struct ExpectedItem {
    int id;
    const char* className;
    const char* text; // null: not checked here
    DWORD style;
    short x, y, cx, cy;
};

// Every control in template order: id, class, text, style, no extended style, rectangle.
template <size_t count>
void CheckDialogItems(const DialogTemplate& dialog, const ExpectedItem (&expected)[count]) {
    REQUIRE(dialog.items.size() == count);
    for (size_t i = 0; i < count; ++i) {
        const DialogItem& item = dialog.items[i];
        CAPTURE(i);
        CHECK(item.id == expected[i].id);
        CHECK(item.className == expected[i].className);
        if (expected[i].text) CHECK(item.text == expected[i].text);
        CHECK(item.style == expected[i].style);
        CHECK(item.exStyle == 0);
        CHECK(item.x == expected[i].x);
        CHECK(item.y == expected[i].y);
        CHECK(item.cx == expected[i].cx);
        CHECK(item.cy == expected[i].cy);
    }
}

// Dialog 105 in template (tab) order.
const ExpectedItem kMainItems[] = {
    {IDC_COLOR_BUTTON, "BUTTON", "文字颜色(&C)...", 0x50010000, 7, 7, 68, 19},
    {IDC_DROPDOWN, "BUTTON", "▼", 0x5000000B, 75, 7, 14, 19},
    {IDC_PREVIEW, "STATIC", "", 0x50021000, 91, 7, 117, 19},
    {IDC_MAIN_BUTTON, "BUTTON", "确认设置(&O)", 0x50010001, 7, 30, 52, 19},
    {IDC_RESTORE, "BUTTON", "还原设置", 0x50010000, 61, 30, 52, 19},
    {IDC_ABOUT, "BUTTON", "关于...", 0x50010000, 115, 30, 46, 19},
    {IDC_ADVANCED, "BUTTON", "高级(&V)>>", 0x50010000, 164, 30, 44, 19},
    {IDC_COLLAPSED_MARK, "STATIC", "", 0x40000012, 7, 57, 201, 3},
    {-1, "BUTTON", "桌面文字状态(&T)", 0x50020007, 7, 61, 201, 66},
    {IDC_OPAQUE, "BUTTON", "不透明(&R)", 0x50021009, 20, 73, 88, 19},
    {IDC_TRANSPARENT, "BUTTON", "透明化(&S)", 0x50001009, 108, 73, 88, 19},
    {IDC_STYLE_NORMAL, "BUTTON", "正常字样", 0x50020009, 20, 95, 48, 10},
    {IDC_STYLE_SHADOW, "BUTTON", "阴影字", 0x50000009, 20, 112, 40, 10},
    {IDC_STYLE_EMBOSSED, "BUTTON", "浮雕字", 0x50000009, 75, 112, 40, 10},
    {IDC_STYLE_ENGRAVED, "BUTTON", "凹刻字", 0x50000009, 130, 112, 40, 10},
    {-1, "BUTTON", "选项(&O)", 0x50000007, 7, 131, 201, 36},
    {IDC_AUTOSTART, "BUTTON", "启动Windows时设置桌面文字为透明(&A)", 0x50010003, 13, 141, 185, 10},
    {IDC_TRAY_CHECK, "BUTTON", "在任务栏显示小图标(&I)", 0x50010003, 13, 153, 186, 10},
    {IDC_EXPANDED_MARK, "STATIC", "", 0x40000010, 7, 175, 196, 1},
};

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

struct MenuEntry {
    UINT id;          // 0 for the separator
    const char* text; // empty for the separator
};

// Menu 110: each popup's text and its items.
const std::pair<const char*, std::vector<MenuEntry>> kTrayMenu[] = {
    {"任务栏弹出式菜单",
     {{IDM_SHOW_WINDOW, "显示主窗口(&M)"},
      {IDC_TRANSPARENT, "桌面文字变透明(&T)"},
      {IDC_OPAQUE, "桌面文字恢复为不透明(&R)"},
      {IDC_ABOUT, "关于(&A) ..."},
      {0, ""},
      {IDM_EXIT, "退出程序(&X)"}}},
    {"扩展(只为了有一个ID号)", {{IDM_HIDE_WINDOW, "隐藏主窗口"}}},
};

std::string ItemText(HMENU menu, UINT position) {
    char text[128] = "";
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

#pragma pack(push, 2)
struct GroupHeader {
    WORD reserved, type, count;
};
struct IconGroupEntry { // one image of an icon group resource
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

BITMAPINFOHEADER ImageHeader(const BYTE* image) {
    return Reader(image).Get<BITMAPINFOHEADER>();
}

// Pixel (x, y) of a monochrome cursor image (after its hotspot prefix): left clear, inverted,
// or drawn black or white. Rows are stored bottom-up, XOR mask first.
enum Pixel { Clear, Inverted, Black, White };
Pixel PixelAt(const BYTE* image, int x, int y) {
    const BITMAPINFOHEADER header = ImageHeader(image);
    const int size = header.biWidth;
    const int stride = (size + 31) / 32 * 4;
    const BYTE* xorMask = image + header.biSize + 2 * sizeof(RGBQUAD);
    const BYTE* andMask = xorMask + stride * size;
    const int at = (size - 1 - y) * stride + x / 8;
    const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
    const bool drawn = (andMask[at] & bit) == 0, set = (xorMask[at] & bit) != 0;
    return drawn ? (set ? White : Black) : (set ? Inverted : Clear);
}

// The first icon group of the executable, which Explorer shows as the file's icon.
BOOL CALLBACK TakeFirstName(HMODULE, LPCSTR, LPSTR name, LPARAM first) {
    *reinterpret_cast<LPSTR*>(first) = name;
    return FALSE;
}
ULONG_PTR FirstIconGroup(HMODULE module) {
    LPSTR first = nullptr;
    EnumResourceNamesA(module, RT_GROUP_ICON, TakeFirstName, reinterpret_cast<LONG_PTR>(&first));
    return reinterpret_cast<ULONG_PTR>(first);
}

// An icon's picture on a ground of a colour it does not use, at its own size.
constexpr COLORREF kIconGround = RGB(255, 0, 255);
struct IconPicture : Canvas {
    IconPicture(HICON icon, int size) : Canvas(size, size, kIconGround) {
        DrawIconEx(Dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    }
};

int IconSize(HICON icon) {
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) return 0;
    BITMAP colour = {};
    GetObjectA(info.hbmColor, sizeof colour, &colour);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return colour.bmWidth == colour.bmHeight ? colour.bmWidth : -1;
}

HICON WindowIcon(HWND window, WPARAM type) {
    return reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, type, 0));
}

} // namespace

TEST_CASE("the manifest: per-monitor DPI aware, common controls 6, Windows Vista to 11") {
    ProgramResources program;
    DWORD size = 0; // the process's manifest is resource 1
    const char* manifest = reinterpret_cast<const char*>(
        program.Find(RT_MANIFEST, 1, &size));
    REQUIRE(manifest);
    const std::string text(manifest, size);
    CHECK(text.find(">PerMonitorV2, PerMonitor</dpiAwareness>") != std::string::npos);
    CHECK(text.find(">true/pm</dpiAware>") != std::string::npos);
    CHECK(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"") !=
          std::string::npos);
    // Vista, 7, 8, 8.1, and 10, which 11 shares.
    for (const char* system :
         {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
          "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
          "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) {
        CAPTURE(system);
        CHECK(text.find(std::string("<supportedOS Id=\"{") + system + "}\"/>") !=
              std::string::npos);
    }
}

TEST_CASE("main dialog 105 is built exactly as designed") {
    const DialogTemplate dialog = LoadDialogTemplate(IDD_MAIN);
    CHECK(dialog.extended);
    CHECK(dialog.style == 0x10CA0040);
    CHECK(dialog.exStyle == WS_EX_CLIENTEDGE);
    CHECK(dialog.cx == 215);
    CHECK(dialog.cy == 194);
    CHECK(dialog.title == "Quillmere  1.5");
    CHECK(dialog.pointSize == 9);
    CHECK(dialog.weight == 0);
    CHECK(dialog.italic == 0);
    CHECK(dialog.charset == 1);
    CHECK(dialog.font == "宋体");
    CheckDialogItems(dialog, kMainItems);
}

TEST_CASE("About dialog 107 is built exactly as designed") {
    const DialogTemplate dialog = LoadDialogTemplate(IDD_ABOUT);
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
    const size_t at = address.find('@');
    REQUIRE(at != std::string::npos);
    CHECK(at > 0); // a name before the domain
    CHECK(address.substr(at) == "@example.com");
    CHECK(address.find(' ') == std::string::npos);
    CHECK_FALSE(dialog.items[3].text.empty());
    CHECK_FALSE(dialog.items[8].text.empty());
}

TEST_CASE("tray menu 110 holds the two popups exactly as designed") {
    ProgramResources product;
    REQUIRE(product.module != nullptr);
    CHECK(product.Find(RT_MENU, IDR_TRAY_MENU) != nullptr);
    HMENU menu = LoadMenuA(product.module, MAKEINTRESOURCEA(IDR_TRAY_MENU));
    REQUIRE(menu != nullptr);
    REQUIRE(GetMenuItemCount(menu) == 2);
    for (UINT popup = 0; popup < 2; ++popup) {
        CAPTURE(popup);
        CHECK(ItemText(menu, popup) == kTrayMenu[popup].first);
        const std::vector<MenuEntry>& items = kTrayMenu[popup].second;
        HMENU submenu = GetSubMenu(menu, popup);
        REQUIRE(submenu != nullptr);
        REQUIRE(GetMenuItemCount(submenu) == static_cast<int>(items.size()));
        for (UINT i = 0; i < items.size(); ++i) {
            CAPTURE(i);
            const bool separator = items[i].id == 0;
            const MENUITEMINFOA item = MenuItemAt(submenu, i);
            CHECK(((item.fType & MFT_SEPARATOR) != 0) == separator);
            if (separator) continue;
            CHECK(item.wID == items[i].id);
            CHECK(ItemText(submenu, i) == items[i].text);
            // Enabled, unchecked and not the default: the program decides those each time.
            CHECK((item.fState & (MFS_CHECKED | MFS_DISABLED | MFS_DEFAULT)) == 0);
        }
    }
    DestroyMenu(menu);
}

TEST_CASE("icon 103 holds a 32 x 32 and a 16 x 16 image of 16 colours") {
    ProgramResources program;
    REQUIRE(program.module);
    const BYTE* group = program.Find(RT_GROUP_ICON, IDI_APP);
    REQUIRE(group);
    Reader in(group);
    const GroupHeader header = in.Get<GroupHeader>();
    CHECK(header.type == 1);
    REQUIRE(header.count == 2);

    for (int size : {32, 16}) {
        CAPTURE(size);
        const IconGroupEntry entry = in.Get<IconGroupEntry>();
        CHECK(entry.width == size);
        CHECK(entry.height == size);
        CHECK(entry.colorCount == 16);
        CHECK(entry.bitCount == 4);
        DWORD bytes = 0;
        const BYTE* image = program.Find(RT_ICON, entry.id, &bytes);
        REQUIRE(image);
        CHECK(bytes == entry.bytes);
        const BITMAPINFOHEADER bitmap = ImageHeader(image);
        CHECK(bitmap.biWidth == size);
        CHECK(bitmap.biHeight == 2 * size); // colour image and mask
        CHECK(bitmap.biBitCount == 4);

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

TEST_CASE("icon 1, the file's icon, holds eight sizes of 32-bit images, each its own PNG") {
    ProgramResources program;
    REQUIRE(program.module);
    CHECK(FirstIconGroup(program.module) == IDI_APP_SIZES);
    const BYTE* group = program.Find(RT_GROUP_ICON, IDI_APP_SIZES);
    REQUIRE(group);
    Reader in(group);
    REQUIRE(in.Get<GroupHeader>().count == 8);
    std::vector<std::vector<BYTE>> images;
    for (int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
        CAPTURE(size);
        const IconGroupEntry entry = in.Get<IconGroupEntry>();
        CHECK(entry.width == size % 256); // 0 stands for 256
        CHECK(entry.bitCount == 32);
        DWORD bytes = 0;
        const BYTE* image = program.Find(RT_ICON, entry.id, &bytes);
        REQUIRE(image);
        CHECK(memcmp(image, "\x89PNG", 4) == 0);
        images.emplace_back(image, image + bytes);

        // Loaded at its size, the icon is that image, with its corners left clear.
        HICON icon = static_cast<HICON>(
            LoadImageA(program.module, MAKEINTRESOURCEA(IDI_APP_SIZES), IMAGE_ICON, size, size, 0));
        REQUIRE(icon);
        CHECK(IconSize(icon) == size);
        IconPicture picture(icon, size);
        if (size >= 32) CHECK(picture.Pixel(0, 0) == kIconGround); // smaller: partly covered
        CHECK(picture.Pixel(size / 2, size / 2) != kIconGround);
        DestroyIcon(icon);
    }
    // Drawn for each size: no two images alike.
    for (size_t i = 1; i < images.size(); ++i) CHECK(images[i] != images[i - 1]);
}

TEST_CASE("the window's icons: icon 103 at 96 DPI, above it icon 1 at the DPI's sizes") {
    ProgramResources program;
    REQUIRE(program.module);
    ScopedSet<HINSTANCE> instance(appInstance, program.module);
    ScopedSet<bool> noTray(settings.showTrayIcon, false);
    MainWindowStandIn main;
    auto changeDpi = [&](WORD dpi) { MainDialogProc(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), 0); };

    changeDpi(144);
    HICON smallIcon = WindowIcon(main, ICON_SMALL), bigIcon = WindowIcon(main, ICON_BIG);
    CHECK(IconSize(smallIcon) == 24);
    CHECK(IconSize(bigIcon) == 48);
    CHECK(appIcon == smallIcon); // the tray's picture too
    // The 24-pixel image itself, not another size scaled.
    const BYTE* group = program.Find(RT_GROUP_ICON, IDI_APP_SIZES);
    REQUIRE(group);
    const int id = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group), TRUE, 24, 24, 0);
    DWORD bytes = 0;
    BYTE* image = const_cast<BYTE*>(program.Find(RT_ICON, id, &bytes));
    REQUIRE(image);
    HICON own = CreateIconFromResourceEx(image, bytes, TRUE, 0x00030000, 24, 24, 0);
    REQUIRE(own);
    CHECK(IconPicture(smallIcon, 24).SameAs(IconPicture(own, 24)));
    DestroyIcon(own);

    changeDpi(96);
    HICON icon103 = LoadIconA(program.module, MAKEINTRESOURCEA(IDI_APP));
    CHECK(WindowIcon(main, ICON_SMALL) == appIcon);
    CHECK(WindowIcon(main, ICON_BIG) == appIcon);
    CHECK(IconSize(appIcon) == 32);
    CHECK(IconPicture(appIcon, 32).SameAs(IconPicture(icon103, 32)));
    // The icons made for 144 DPI are gone with it.
    ICONINFO gone = {};
    CHECK_FALSE(GetIconInfo(smallIcon, &gone));
}

TEST_CASE("cursor 137 is a 32 x 32 monochrome hand pointing at its hotspot (13, 9)") {
    ProgramResources program;
    REQUIRE(program.module);
    const BYTE* group = program.Find(RT_GROUP_CURSOR, IDC_HAND_CURSOR);
    REQUIRE(group);
    Reader in(group);
    const GroupHeader header = in.Get<GroupHeader>();
    CHECK(header.type == 2);
    REQUIRE(header.count == 1);
    const CursorGroupEntry entry = in.Get<CursorGroupEntry>();
    CHECK(entry.bitCount == 1);

    const BYTE* image = program.Find(RT_CURSOR, entry.id);
    REQUIRE(image);
    Reader hotspot(image);
    CHECK(hotspot.Get<WORD>() == 13);
    CHECK(hotspot.Get<WORD>() == 9);
    const BYTE* bitmap = image + 2 * sizeof(WORD);
    const BITMAPINFOHEADER bits = ImageHeader(bitmap);
    CHECK(bits.biWidth == 32);
    CHECK(bits.biHeight == 64);
    CHECK(bits.biBitCount == 1);

    // The hotspot is the top of the black outline of the fingertip.
    CHECK(PixelAt(bitmap, 13, 9) == Black);
    for (int y = 0; y < 9; ++y) CHECK(PixelAt(bitmap, 13, y) == Clear);
    CHECK(PixelAt(bitmap, 13, 11) == White);
    // A white hand, a black cuff at the bottom.
    int white = 0, blackBottomRow = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) white += PixelAt(bitmap, x, y) == White;
    for (int x = 0; x < 32; ++x) blackBottomRow += PixelAt(bitmap, x, 30) == Black;
    CHECK(white > 100);
    CHECK(blackBottomRow >= 8);

    // It loads as a cursor with that hotspot.
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
