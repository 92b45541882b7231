// The colour menu, the preview and the arrow button as the recording core module sees
// them from inside the program: menu handles and paint device contexts cannot be read
// from another process. Lines logged:
//   colormenu <items> <owner-drawn> <separators> <first id> <last id>  (a popup opens)
//   measure <id> <width> <height>    (a menu item's WM_MEASUREITEM, after it was answered)
//   drawmenu <id> <selected 0/1>     (a menu item's WM_DRAWITEM)
//   arrow pushed|normal|other        (control 1016 painted; compared with reference images)
//   preview <colour in hex> [same|different]
//                                    (control 1004 painted: the colour at its top-left pixel;
//                                    with a file "previewtext.txt" beside this DLL, whether the
//                                    painting equals that text drawn the preview's way)
#include <windows.h>

#include "../../src/common/resource.h"
#include "../common/canvas.h"
#include "../common/code_page.h"

void Log(const char* format, ...) __attribute__((format(gnu_printf, 1, 2))); // fakecore.cpp
bool BesideModule(const wchar_t* name, wchar_t (&path)[MAX_PATH]);           // fakecore.cpp

namespace {

void LogMenu(HMENU menu) {
    const int count = GetMenuItemCount(menu);
    int ownerDrawn = 0, separators = 0;
    UINT firstId = 0, lastId = 0;
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID;
        if (!GetMenuItemInfoA(menu, i, TRUE, &info)) continue;
        if (info.fType & MFT_SEPARATOR) {
            ++separators;
            continue;
        }
        ownerDrawn += (info.fType & MFT_OWNERDRAW) != 0;
        if (i == 0) firstId = info.wID;
        lastId = info.wID;
    }
    Log("colormenu %d %d %d %u %u", count, ownerDrawn, separators, firstId, lastId);
}

const char* ArrowLook(const DRAWITEMSTRUCT* item) {
    const int width = item->rcItem.right - item->rcItem.left;
    const int height = item->rcItem.bottom - item->rcItem.top;
    Canvas drawn(width, height, 0), normal(width, height, 0), pushed(width, height, 0);
    BitBlt(drawn.Dc(), 0, 0, width, height, item->hDC, item->rcItem.left, item->rcItem.top,
           SRCCOPY);
    RECT all = {0, 0, width, height};
    DrawFrameControl(normal.Dc(), &all, DFC_SCROLL, DFCS_SCROLLDOWN);
    DrawFrameControl(pushed.Dc(), &all, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED);
    if (drawn.SameAs(pushed)) return "pushed";
    if (drawn.SameAs(normal)) return "normal";
    return "other";
}

// The expected description, written by the test into "previewtext.txt" beside this DLL.
bool ReadExpectedText(char* text, DWORD size) {
    wchar_t path[MAX_PATH];
    if (!BesideModule(L"previewtext.txt", path)) return false;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD read = 0;
    ReadFile(file, text, size - 1, &read, nullptr);
    CloseHandle(file);
    text[read] = '\0';
    return true;
}

// Whether the preview as painted equals the expected text in the inverse colour, centred
// on the fill in the control's font.
const char* PreviewMatch(const DRAWITEMSTRUCT* item, COLORREF fill, const char* expected) {
    const int width = item->rcItem.right - item->rcItem.left;
    const int height = item->rcItem.bottom - item->rcItem.top;
    Canvas drawn(width, height, 0), reference(width, height, fill);
    BitBlt(drawn.Dc(), 0, 0, width, height, item->hDC, item->rcItem.left, item->rcItem.top,
           SRCCOPY);
    RECT all = {0, 0, width, height};
    HGDIOBJ previousFont = SelectObject(reference.Dc(), GetCurrentObject(item->hDC, OBJ_FONT));
    SetTextColor(reference.Dc(), fill ^ 0x00FFFFFF);
    SetBkMode(reference.Dc(), TRANSPARENT);
    wchar_t wideExpected[80];
    ToWide(expected, wideExpected, 80);
    DrawTextW(reference.Dc(), wideExpected, -1, &all,
              DT_SINGLELINE | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
    SelectObject(reference.Dc(), previousFont);
    return drawn.SameAs(reference) ? "same" : "different";
}

void LogDrawItem(const DRAWITEMSTRUCT* item) {
    if (item->CtlType == ODT_MENU) {
        Log("drawmenu %u %d", item->itemID, (item->itemState & ODS_SELECTED) != 0);
    } else if (item->CtlID == IDC_DROPDOWN) {
        Log("arrow %s", ArrowLook(item));
    } else if (item->CtlID == IDC_PREVIEW) {
        const COLORREF corner = GetPixel(item->hDC, item->rcItem.left, item->rcItem.top);
        char expected[80];
        const char* match =
            ReadExpectedText(expected, sizeof expected) ? PreviewMatch(item, corner, expected) : "";
        Log("preview %06lx%s%s", static_cast<unsigned long>(corner), *match ? " " : "", match);
    }
}

} // namespace

// Called by the hook after each message that a window of the program's thread handled.
void WatchColorMessages(const CWPRETSTRUCT* message) {
    switch (message->message) {
    case WM_INITMENUPOPUP: LogMenu(reinterpret_cast<HMENU>(message->wParam)); break;
    case WM_MEASUREITEM: {
        const MEASUREITEMSTRUCT* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(message->lParam);
        if (item->CtlType == ODT_MENU)
            Log("measure %u %u %u", item->itemID, item->itemWidth, item->itemHeight);
        break;
    }
    case WM_DRAWITEM: LogDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(message->lParam)); break;
    }
}
