#include "about_dialog.h"

#include <shellapi.h>
#include <windowsx.h>

#include "../common/program.h"
#include "../common/resource.h"

WNDPROC aboutOrigProc;

namespace {

constexpr COLORREF kLinkColor = RGB(0, 0, 255);
constexpr wchar_t kMailtoPrefix[] = L"mailto:";
// Remembers the link's underlined font on the link control itself, so that every box,
// even one opened from the tray while another is still open, deletes its own font.
constexpr char kUnderlineFontProperty[] = "QuillmereUnderlineFont";

HWND LinkControl(HWND dialog) {
    return GetDlgItem(dialog, IDC_ABOUT_LINK);
}

// The link reacts on its whole window rectangle, not only where its text is drawn.
bool IsOverLink(HWND dialog, POINT screenPoint) {
    RECT link;
    return GetWindowRect(LinkControl(dialog), &link) && PtInRect(&link, screenPoint);
}

void UnderlineLink(HWND dialog) {
    HWND link = LinkControl(dialog);
    const HFONT linkFont = reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0));
    LOGFONTW underlined;
    if (!linkFont || GetObjectW(linkFont, sizeof underlined, &underlined) != sizeof underlined) {
        return;
    }
    underlined.lfUnderline = TRUE;
    HFONT underlineFont = CreateFontIndirectW(&underlined);
    if (!underlineFont) return;
    SetPropA(link, kUnderlineFontProperty, underlineFont);
    SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(underlineFont), TRUE);
}

// The link gets the box's own font back before its underlined copy is deleted, so it
// never holds a deleted font.
void ReleaseUnderlineFont(HWND dialog) {
    HWND link = LinkControl(dialog);
    HFONT underlineFont = static_cast<HFONT>(RemovePropA(link, kUnderlineFontProperty));
    if (!underlineFont) return;
    SendMessageA(link, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), FALSE);
    DeleteObject(underlineFont);
}

BOOL OnAboutInitDialog(HWND dialog) {
    // The wide calls keep the box a Unicode window, so its texts never pass through the
    // system's code page.
    aboutOrigProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(dialog, GWLP_WNDPROC));
    SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AboutSubclassProc));
    UnderlineLink(dialog);
    return FALSE; // no initial focus: Enter and Esc still reach the box through its loop
}

// The link is a plain static text, which lets the mouse through to the box; only the
// cursor position decides, whatever window and hit-test code the message names.
BOOL OnAboutSetCursor(HWND dialog) {
    POINT cursor;
    if (!GetCursorPos(&cursor) || !IsOverLink(dialog, cursor)) return FALSE;
    HCURSOR hand = LoadCursorA(appInstance, MAKEINTRESOURCEA(IDC_HAND_CURSOR));
    if (!hand) return FALSE;
    SetCursor(hand);
    return TRUE; // keeps the default handling from putting the arrow back
}

// Opens the user's mail program on the address that the link shows. Failures, such as
// no mail program registered for mailto:, are not reported; the box stays open.
void OpenMailProgram(HWND dialog) {
    wchar_t target[128] = L"";
    lstrcpyW(target, kMailtoPrefix);
    const int prefixLength = lstrlenW(kMailtoPrefix);
    GetWindowTextW(LinkControl(dialog), target + prefixLength,
                   sizeof target / sizeof(wchar_t) - prefixLength);
    ShellExecuteW(dialog, L"open", target, nullptr, nullptr, SW_SHOWDEFAULT);
}

BOOL OnAboutLButtonDown(HWND dialog, LPARAM lParam) {
    POINT click = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(dialog, &click);
    if (IsOverLink(dialog, click)) OpenMailProgram(dialog);
    return FALSE;
}

// The OK button and the Enter key send IDOK; the Esc key and the close box IDCANCEL.
BOOL OnAboutCommand(HWND dialog, WPARAM wParam) {
    if (wParam == IDOK || wParam == IDCANCEL) EndDialog(dialog, static_cast<INT_PTR>(wParam));
    return TRUE;
}

} // namespace

AboutDialog::~AboutDialog() {}

INT_PTR AboutDialog::DoModal(HWND owner) {
    return DialogBoxParamW(appInstance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutDlgProc, 0);
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnAboutInitDialog(dialog);
    case WM_SETCURSOR: return OnAboutSetCursor(dialog);
    case WM_LBUTTONDOWN: return OnAboutLButtonDown(dialog, lParam);
    case WM_COMMAND: return OnAboutCommand(dialog, wParam);
    case WM_DESTROY: ReleaseUnderlineFont(dialog); return FALSE;
    }
    return FALSE;
}

// Runs after the dialog manager has chosen the default colours, so the link's blue wins.
// On a DPI change the dialog manager gives its controls the box's font at the new DPI, but
// not the link, which has a font of its own: once it is done, the link's underlined copy
// is made again from the new font.
LRESULT CALLBACK AboutSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(aboutOrigProc, window, message, wParam, lParam);
    if (message == WM_CTLCOLORSTATIC &&
        GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_ABOUT_LINK) {
        SetTextColor(reinterpret_cast<HDC>(wParam), kLinkColor);
    } else if (message == WM_DPICHANGED) {
        ReleaseUnderlineFont(window);
        UnderlineLink(window);
    }
    return result;
}
