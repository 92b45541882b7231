// SimDesktop: a stand-in for the shell's desktop, used by the tests and by `make run`.
//
// Wine has no shell desktop, so this program builds the same window chain Quillmere looks
// for: a "Progman" top-level window titled "Program Manager", its "SHELLDLL_DefView" child,
// and inside that an icon list view with control id 1 holding a few labelled icons.
// Command-line switches (case-insensitive, any order) build the odd layouts Quillmere must
// cope with:
//   /activedesktop  also put an "Internet Explorer_Server" window behind the list view
//   /decoys         also create look-alike top-level windows above the real desktop
//   /nodefview      leave out the SHELLDLL_DefView window
//   /nolistview     leave out the list view
//   /icons:N        show N numbered icons instead of the default set
//   /workerw        the tree of a shell with a wallpaper layer: SHELLDLL_DefView in a
//                   top-level "WorkerW" with no title, an empty "WorkerW" beside it, and
//                   "Progman" without SHELLDLL_DefView
//   /24h2           the tree of Windows 11 24H2: "Progman" holds SHELLDLL_DefView and a
//                   child "WorkerW"
//   /alpha          the icon view painted onto a 32-bpp surface with per-pixel alpha and
//                   composed over the wallpaper, as HDR or a changing slideshow has newer
//                   shells show it (simdesk_surface.h)
//   /shadowsoff[:RRGGBB]  as a shell with icon label shadows off: after its own handling of
//                   WM_SETTINGCHANGE, WM_SYSCOLORCHANGE and WM_THEMECHANGED, SHELLDLL_DefView
//                   gives the labels the desktop colour (or the wallpaper colour given, in
//                   hex) as their background, black or white text by its brightness, and
//                   repaints them
//   /textcallback   as the shell keeps them: the list view holds no label texts and asks
//                   SHELLDLL_DefView for them (LVN_GETDISPINFO) whenever it needs one
//   /ready          once the desktop is shown, create the file "SimDesktop.ready" in the
//                   current folder, for scripts that wait for it
//   /traycorner     keep Wine's own notification-area window ("Wine System Tray", which
//                   Wine shows at the top left when it runs without a desktop of its own)
//                   in the bottom right corner, where it hides no label: for pictures
// An unknown switch ends the program at once with exit code 2, so a mistyped test fails
// loudly instead of running against the wrong layout.
// Tests may ask the desktop's top-level windows for captures, repaints, changes of the
// window tree and that reset of the label colours without any message to SHELLDLL_DefView, and SHELLDLL_DefView for a modal loop (simdesk_requests.h).
// Close it with WM_CLOSE to the "Progman" window, or just terminate the process.

#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "simdesk_requests.h"
#include "simdesk_surface.h"

namespace {

const char kDesktopClass[] = "Progman";
const char kDesktopTitle[] = "Program Manager";
const char kDecoyClass[] = "ProgmanDecoy";
const char kDecoyLowerCaseTitle[] = "program manager";
const char kDefViewClass[] = "SHELLDLL_DefView";
const char kWebLayerClass[] = "Internet Explorer_Server";
const char kWorkerClass[] = "WorkerW";

const int kListViewId = 1; // the id Quillmere looks up with GetDlgItem
const int kWebLayerId = 2; // any id but the list view's
const int kMaxIcons = 10000;
const int kExitStartFailed = 1;
const int kExitBadOption = 2;
const size_t kMaxSwitchLength = 63; // longer than any valid switch

const COLORREF kWallpaperTeal = RGB(0x00, 0x80, 0x80);
const COLORREF kLabelWhite = RGB(0xFF, 0xFF, 0xFF);

// Marks in GWLP_USERDATA. The real desktop window and the "WorkerW" windows cling to the
// bottom; only the real desktop ends the program. The lower-case decoy shares the desktop's
// class and window procedure but does neither.
const LONG_PTR kRealDesktopMark = 1;
const LONG_PTR kWorkerMark = 2;

struct Options {
    bool activeDesktop = false;
    bool decoys = false;
    bool noDefView = false;
    bool noListView = false;
    bool workerTree = false;
    bool tree24H2 = false;
    bool alphaSurface = false;
    bool signalReady = false;
    bool trayInCorner = false;
    bool shadowsOff = false;
    bool textCallback = false;
    COLORREF wallpaper = CLR_NONE; // CLR_NONE: the labels' reset takes the desktop colour
    int iconCount = -1;            // -1: the default named set
};

struct NamedIcon {
    const char* label;
    LPCSTR stockIcon;
};

// The default set looks like a freshly installed Chinese desktop.
const NamedIcon kDefaultIcons[] = {
    {"我的电脑", IDI_WINLOGO},  {"我的文档", IDI_APPLICATION}, {"回收站", IDI_WARNING},
    {"网上邻居", IDI_QUESTION}, {"记事本", IDI_APPLICATION},   {"说明.txt", IDI_INFORMATION},
};
const int kDefaultIconCount = sizeof(kDefaultIcons) / sizeof(kDefaultIcons[0]);

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Returns the text after the program name, which may be quoted and contain blanks.
const char* SkipProgramName(const char* cmdLine) {
    const char* p = cmdLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && !IsBlank(*p)) ++p;
    }
    return p;
}

// Copies the next blank-separated word into word, which holds kMaxSwitchLength characters;
// false when none is left. A word too long to fit comes back empty, so it is rejected
// rather than matched by its truncated beginning.
bool NextWord(const char*& cursor, char* word) {
    while (IsBlank(*cursor)) ++cursor;
    if (!*cursor) return false;
    size_t length = 0;
    bool tooLong = false;
    for (; *cursor && !IsBlank(*cursor); ++cursor) {
        if (length < kMaxSwitchLength)
            word[length++] = *cursor;
        else
            tooLong = true;
    }
    word[tooLong ? 0 : length] = '\0';
    return true;
}

bool ParseIconCount(const char* text, int* count) {
    char* end = nullptr;
    long value = strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > kMaxIcons) return false;
    *count = static_cast<int>(value);
    return true;
}

// "RRGGBB" in hex, as colours are written on the web.
bool ParseWallpaperColor(const char* text, COLORREF* color) {
    char* end = nullptr;
    const unsigned long rgb = strtoul(text, &end, 16);
    if (strlen(text) != 6 || *end != '\0') return false;
    *color = RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
    return true;
}

bool ApplySwitch(const char* word, Options* options) {
    const char iconsPrefix[] = "/icons:";
    const size_t iconsPrefixLength = sizeof(iconsPrefix) - 1;
    const char shadowsOffSwitch[] = "/shadowsoff";
    const size_t shadowsOffLength = sizeof(shadowsOffSwitch) - 1;
    if (_strnicmp(word, shadowsOffSwitch, shadowsOffLength) == 0) {
        const char* rest = word + shadowsOffLength;
        options->shadowsOff = true;
        return *rest == '\0' || (*rest == ':' && ParseWallpaperColor(rest + 1, &options->wallpaper));
    }
    if (lstrcmpiA(word, "/activedesktop") == 0)
        options->activeDesktop = true;
    else if (lstrcmpiA(word, "/decoys") == 0)
        options->decoys = true;
    else if (lstrcmpiA(word, "/nodefview") == 0)
        options->noDefView = true;
    else if (lstrcmpiA(word, "/nolistview") == 0)
        options->noListView = true;
    else if (lstrcmpiA(word, "/workerw") == 0)
        options->workerTree = true;
    else if (lstrcmpiA(word, "/24h2") == 0)
        options->tree24H2 = true;
    else if (lstrcmpiA(word, "/alpha") == 0)
        options->alphaSurface = true;
    else if (lstrcmpiA(word, "/textcallback") == 0)
        options->textCallback = true;
    else if (lstrcmpiA(word, "/ready") == 0)
        options->signalReady = true;
    else if (lstrcmpiA(word, "/traycorner") == 0)
        options->trayInCorner = true;
    else if (_strnicmp(word, iconsPrefix, iconsPrefixLength) == 0)
        return ParseIconCount(word + iconsPrefixLength, &options->iconCount);
    else
        return false;
    return true;
}

bool ParseCommandLine(const char* cmdLine, Options* options) {
    const char* cursor = SkipProgramName(cmdLine);
    char word[kMaxSwitchLength + 1];
    while (NextWord(cursor, word)) {
        if (!ApplySwitch(word, options)) return false;
    }
    return true;
}

// The desktop's one icon view and the SHELLDLL_DefView that holds it, wherever it is.
HWND defView;
HWND iconView;
Options options;

// The label of the icon inserted at `index`: from the default set, or numbered.
void LabelOf(int index, char* label, int size) {
    if (options.iconCount < 0)
        lstrcpynA(label, kDefaultIcons[index].label, size);
    else
        snprintf(label, size, "图标 %d", index + 1);
}

// The list view asks for a label it does not hold; in UTF-16, as the shell is asked (with
// /textcallback SHELLDLL_DefView answers NFR_UNICODE).
void GiveLabelText(NMLVDISPINFOW* request) {
    LVITEMW& item = request->item;
    if (!(item.mask & LVIF_TEXT) || item.cchTextMax <= 0) return;
    char label[32];
    LabelOf(static_cast<int>(item.lParam), label, sizeof label);
    if (!MultiByteToWideChar(CP_ACP, 0, label, -1, item.pszText, item.cchTextMax))
        item.pszText[0] = L'\0';
}

// SHELLDLL_DefView's modal loops: how many run, and whether the innermost is to end.
int modalDepth;
bool modalEndRequested;

LONG_PTR MarkOf(HWND hwnd) {
    return GetWindowLongPtrA(hwnd, GWLP_USERDATA);
}

// Both container windows simply stretch every direct child over their client area.
void FillWithChildren(HWND parent) {
    RECT client;
    GetClientRect(parent, &client);
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        SetWindowPos(child, nullptr, 0, 0, client.right, client.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

HWND CreateTopLevel(const char* className, const char* title, LONG_PTR mark) {
    HWND window = CreateWindowExA(0, className, title, WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window) SetWindowLongPtrA(window, GWLP_USERDATA, mark);
    return window;
}

// Shown only once complete, at the bottom and without taking the focus from anyone.
void ShowAtBottom(HWND window) {
    SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// As the shell builds its wallpaper layer: SHELLDLL_DefView, list view and all, moves into
// a new top-level "WorkerW", and an empty one is put beside it.
HWND MoveIconsToWorker() {
    HWND worker = CreateTopLevel(kWorkerClass, "", kWorkerMark);
    HWND wallpaper = CreateTopLevel(kWorkerClass, "", kWorkerMark);
    if (!worker || !wallpaper || !defView) return nullptr;
    SetParent(defView, worker);
    FillWithChildren(worker);
    ShowAtBottom(wallpaper);
    ShowAtBottom(worker);
    return worker;
}

// What a shell with label shadows off puts back on its icon view: boxes in the colour under
// the labels, with text that stands out from it.
void ResetLabelColors() {
    if (!iconView) return;
    const COLORREF background =
        options.wallpaper != CLR_NONE ? options.wallpaper : GetSysColor(COLOR_BACKGROUND);
    const int brightness =
        (GetRValue(background) * 299 + GetGValue(background) * 587 + GetBValue(background) * 114) /
        1000;
    ListView_SetTextBkColor(iconView, background);
    ListView_SetTextColor(iconView, brightness >= 128 ? RGB(0, 0, 0) : RGB(255, 255, 255));
    RedrawWindow(iconView, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT HandleTreeRequest(const COPYDATASTRUCT* request) {
    switch (request->dwData) {
    case kRequestMoveToWorker: return MoveIconsToWorker() ? 1 : 0;
    case kRequestResetLabelColors: ResetLabelColors(); return iconView ? 1 : 0;
    case kRequestModalDepth: return modalDepth + 1;
    }
    return HandleSimDesktopRequest(iconView, request);
}

LRESULT CALLBACK DesktopProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_WINDOWPOSCHANGING:
        // The desktop lies under everything, so the dialogs under test stay visible.
        // Under Wine the X stacking order wins over this: start the desktop before the
        // windows that must show above it. With unmanaged X windows a click on it also
        // raises it for good, as Wine never lowers an X window.
        if (MarkOf(hwnd) != 0) reinterpret_cast<WINDOWPOS*>(lParam)->hwndInsertAfter = HWND_BOTTOM;
        break;
    case WM_SIZE: FillWithChildren(hwnd); return 0;
    case WM_COPYDATA: return HandleTreeRequest(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_DESTROY:
        if (MarkOf(hwnd) == kRealDesktopMark) PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// As a context menu or a drag does: a message loop inside the window procedure, with the
// procedure's caller (a subclass, say) waiting on the stack until it ends.
void RunModalLoop() {
    ++modalDepth;
    MSG msg;
    while (!modalEndRequested) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    modalEndRequested = false;
    --modalDepth;
}

// WM_NOTIFY from the list view, NM_CUSTOMDRAW included, goes to DefWindowProc, which
// answers 0 (CDRF_DODEFAULT); Quillmere subclasses this window to draw the labels itself.
LRESULT CALLBACK DefViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE: FillWithChildren(hwnd); return 0;
    case kDefViewStartModalLoop: RunModalLoop(); return 0;
    case kDefViewEndModalLoop: modalEndRequested = modalDepth > 0; return 0;
    case WM_NOTIFYFORMAT:
        if (options.textCallback) return NFR_UNICODE;
        break;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->code == LVN_GETDISPINFOW)
            GiveLabelText(reinterpret_cast<NMLVDISPINFOW*>(lParam));
        break;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED: {
        const LRESULT result = DefWindowProcA(hwnd, msg, wParam, lParam);
        if (options.shadowsOff) ResetLabelColors();
        return result;
    }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC proc, HBRUSH background) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0;
}

bool RegisterClasses(HINSTANCE instance) {
    // A system colour brush: nothing to create, nothing to delete.
    HBRUSH desktopBrush = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BACKGROUND + 1));
    return RegisterWindowClass(instance, kDesktopClass, DesktopProc, desktopBrush) &&
           RegisterWindowClass(instance, kDefViewClass, DefViewProc, desktopBrush) &&
           RegisterWindowClass(instance, kWebLayerClass, DefWindowProcA, desktopBrush) &&
           RegisterWindowClass(instance, kWorkerClass, DesktopProc, desktopBrush) &&
           // Never shown, so never painted.
           RegisterWindowClass(instance, kDecoyClass, DefWindowProcA, nullptr);
}

HWND CreateChild(HWND parent, const char* className, DWORD style, int id) {
    RECT client;
    GetClientRect(parent, &client);
    return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 0, 0, client.right,
                           client.bottom, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

// The list view owns the image list (no LVS_SHAREIMAGELISTS) and destroys it with itself.
void AttachIcons(HWND listView, int itemCount) {
    const int cx = GetSystemMetrics(SM_CXICON);
    const int cy = GetSystemMetrics(SM_CYICON);
    HIMAGELIST images = ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, kDefaultIconCount, 0);
    for (const NamedIcon& icon : kDefaultIcons) {
        // Stock icons are shared: adding copies them, and they must not be destroyed.
        ImageList_AddIcon(images, LoadIconA(nullptr, icon.stockIcon));
    }
    ListView_SetImageList(listView, images, LVSIL_NORMAL);
    ListView_SetItemCount(listView, itemCount);
}

// The item keeps where it was inserted in lParam, from which its label follows.
void InsertIcon(HWND listView, int index, int image) {
    char label[32];
    LabelOf(index, label, sizeof label);
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = options.textCallback ? LPSTR_TEXTCALLBACKA : label;
    item.iImage = image;
    item.lParam = index;
    SendMessageA(listView, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void FillIcons(HWND listView, int iconCount) {
    const int count = iconCount < 0 ? kDefaultIconCount : iconCount;
    AttachIcons(listView, count);
    for (int i = 0; i < count; ++i) InsertIcon(listView, i, i % kDefaultIconCount);
}

// Labels start opaque, as on a desktop Quillmere has not touched yet.
HWND CreateIconView(HWND defView, int iconCount) {
    HWND listView = CreateChild(defView, WC_LISTVIEWA, LVS_ICON | LVS_AUTOARRANGE, kListViewId);
    ListView_SetBkColor(listView, kWallpaperTeal);
    ListView_SetTextBkColor(listView, GetSysColor(COLOR_BACKGROUND));
    ListView_SetTextColor(listView, kLabelWhite);
    FillIcons(listView, iconCount);
    return listView;
}

// A layer that lies below its siblings; WS_CLIPSIBLINGS keeps it from painting over them.
void CreateBottomLayer(HWND parent, const char* className, int id) {
    HWND layer = CreateChild(parent, className, WS_CLIPSIBLINGS, id);
    SetWindowPos(layer, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND CreateDesktop(const Options& options) {
    HWND desktop = CreateTopLevel(kDesktopClass, kDesktopTitle, kRealDesktopMark);
    if (!desktop) return nullptr;
    if (!options.noDefView) {
        defView = CreateChild(desktop, kDefViewClass, WS_CLIPCHILDREN, 0);
        if (!options.noListView) iconView = CreateIconView(defView, options.iconCount);
        if (iconView && options.alphaSurface &&
            !ComposeViewOverWallpaper(iconView, kWallpaperTeal))
            return nullptr;
        // The active desktop's web layer lies below the icons.
        if (options.activeDesktop) CreateBottomLayer(defView, kWebLayerClass, kWebLayerId);
    }
    if (options.tree24H2) CreateBottomLayer(desktop, kWorkerClass, 0);
    ShowAtBottom(desktop);
    if (options.workerTree && !MoveIconsToWorker()) return nullptr;
    return desktop;
}

// Invisible look-alikes placed above the real desktop, so a search that walks the
// top-level windows from the first one meets them before it. One has the right title but
// the wrong class, the other the right class but the title in lower case.
void CreateDecoys() {
    struct Decoy {
        const char* className;
        const char* title;
    };
    const Decoy decoys[] = {{kDecoyClass, kDesktopTitle}, {kDesktopClass, kDecoyLowerCaseTitle}};
    for (const Decoy& d : decoys) {
        HWND decoy = CreateWindowExA(0, d.className, d.title, WS_POPUP, 0, 0, 0, 0, nullptr,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowPos(decoy, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void SignalReady() {
    HANDLE file = CreateFileA("SimDesktop.ready", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

// Wine shows its tray window when the first icon arrives, and again at its place for each
// new icon: it is looked for and moved on every tick.
const UINT kTrayCornerIntervalMs = 250;

void CALLBACK KeepTrayInCorner(HWND, UINT, UINT_PTR, DWORD) {
    HWND tray = FindWindowA("__winex11_standalone_tray", nullptr); // Wine's X11 driver's
    RECT rect;
    if (!tray || !GetWindowRect(tray, &rect)) return;
    const int x = GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left);
    const int y = GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top);
    if (rect.left != x || rect.top != y)
        SetWindowPos(tray, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!ParseCommandLine(GetCommandLineA(), &options)) return kExitBadOption;

    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    if (!InitCommonControlsEx(&icc) || !RegisterClasses(instance)) return kExitStartFailed;
    if (!CreateDesktop(options)) return kExitStartFailed;
    if (options.decoys) CreateDecoys();
    if (options.signalReady) SignalReady();
    if (options.trayInCorner) SetTimer(nullptr, 0, kTrayCornerIntervalMs, KeepTrayInCorner);
    return RunMessageLoop();
}
