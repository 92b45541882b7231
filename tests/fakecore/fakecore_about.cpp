// The recording core module's view of the About box. Called by the window hook of
// fakecore.cpp after each message sent to a window of the program's thread, it appends
// to the same "corecalls.log":
//   about link font underlined=<0|1> text=<text width> width=<control width> height=<font height>
//   about link colour <COLORREF in hex>     (each new colour that the link is drawn in)
//   about text colour <COLORREF in hex>     (the same for the box's other texts)
//   about cursor <hand|other>               (after each WM_SETCURSOR to the box)
//   about end <EndDialog result>
//   about font deleted=<0|1>                (when the box is destroyed)
// EndDialog is seen by replacing the program's import of it with a recording wrapper.
#include <windows.h>
#include <string.h>

#include "../common/code_page.h"
#include "../common/import_patch.h"
#include "../e2e/harness.h"

void Log(const char* format, ...) __attribute__((format(gnu_printf, 1, 2))); // fakecore.cpp

namespace {

// Each box's link font, kept on the box, so that with two boxes open each is checked for
// its own font when it goes.
constexpr char kLinkFontProperty[] = "FakeCoreLinkFont";

using EndDialogFunction = BOOL(WINAPI*)(HWND, INT_PTR);
EndDialogFunction realEndDialog;

COLORREF lastLinkColour; // the last colours logged, so that repaints add no lines
COLORREF lastTextColour;

bool IsAboutBox(HWND window) {
    char className[16] = "", title[64] = "";
    wchar_t wideTitle[64] = L"";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextW(window, wideTitle, 64);
    ToNarrow(wideTitle, title, sizeof title);
    return strcmp(className, kDialogClass) == 0 && strcmp(title, kAboutTitle) == 0;
}

BOOL WINAPI RecordEndDialog(HWND dialog, INT_PTR result) {
    if (IsAboutBox(dialog)) Log("about end %lld", static_cast<long long>(result));
    return realEndDialog(dialog, result);
}

// Points the executable's import of user32's EndDialog at RecordEndDialog.
void RecordEndDialogCalls() {
    if (realEndDialog) return;
    void* original = nullptr;
    if (ReplaceImport(GetModuleHandleA(nullptr), "user32.dll", "EndDialog",
                      reinterpret_cast<void*>(&RecordEndDialog), &original))
        realEndDialog = reinterpret_cast<EndDialogFunction>(original);
}

void LogLinkFont(HWND box) {
    HWND link = GetDlgItem(box, IDC_ABOUT_LINK);
    const HFONT linkFont = reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0));
    SetPropA(box, kLinkFontProperty, linkFont);
    LOGFONTA font = {};
    GetObjectA(linkFont, sizeof font, &font);

    char text[128] = "";
    GetWindowTextA(link, text, sizeof text);
    HDC dc = GetDC(link);
    HGDIOBJ oldFont = SelectObject(dc, linkFont);
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
    SelectObject(dc, oldFont);
    ReleaseDC(link, dc);
    RECT client;
    GetClientRect(link, &client);

    Log("about link font underlined=%d text=%ld width=%ld height=%ld", font.lfUnderline, extent.cx,
        client.right, font.lfHeight);
}

void LogColour(const char* what, COLORREF colour, COLORREF* last) {
    if (colour == *last) return;
    *last = colour;
    Log("about %s colour %06lx", what, static_cast<unsigned long>(colour));
}

void LogCursor() {
    HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_HAND_CURSOR));
    Log("about cursor %s", hand && GetCursor() == hand ? "hand" : "other");
}

} // namespace

void WatchAboutBox(const CWPRETSTRUCT* message) {
    // Only these messages ask for the box's title, which is itself a message to the box.
    const UINT id = message->message;
    if (id != WM_INITDIALOG && id != WM_CTLCOLORSTATIC && id != WM_SETCURSOR && id != WM_DESTROY)
        return;
    if (!IsAboutBox(message->hwnd)) return;

    switch (message->message) {
    case WM_INITDIALOG:
        RecordEndDialogCalls();
        lastLinkColour = lastTextColour = CLR_INVALID;
        LogLinkFont(message->hwnd);
        break;
    case WM_CTLCOLORSTATIC: {
        const COLORREF colour = GetTextColor(reinterpret_cast<HDC>(message->wParam));
        const bool link = GetDlgCtrlID(reinterpret_cast<HWND>(message->lParam)) == IDC_ABOUT_LINK;
        LogColour(link ? "link" : "text", colour, link ? &lastLinkColour : &lastTextColour);
        break;
    }
    case WM_SETCURSOR: LogCursor(); break;
    case WM_DESTROY: {
        HGDIOBJ linkFont = RemovePropA(message->hwnd, kLinkFontProperty);
        Log("about font deleted=%d", linkFont && GetObjectType(linkFont) == 0);
        break;
    }
    }
}
