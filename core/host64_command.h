// QuillHost64.exe, the 64-bit helper that puts the 64-bit module into a 64-bit shell for
// the 32-bit one: its file names, its command line and its exit codes, shared by the
// 32-bit module that starts it and the helper that reads them.
//
//   QuillHost64.exe <view> <colour> <style>
//
//   view    the icon view's window handle, 1 to 8 hexadecimal digits: window handles are
//           32-bit values, the same in processes of either bitness
//   colour  the label colour (COLORREF, 0x00BBGGRR), 1 to 8 hexadecimal digits
//   style   the text style code in decimal, with a minus sign when negative
//
// Exactly these three, separated by blanks, after the program's (possibly quoted) path.
#pragma once
#include <windows.h>

constexpr wchar_t kHost64FileName[] = L"QuillHost64.exe";
constexpr wchar_t kCore64FileName[] = L"QuillCore64.dll";

// Exit codes of the helper.
constexpr DWORD kHost64Applied = 0;    // the module's apply export ran
constexpr DWORD kHost64BadCommand = 1; // missing, extra or bad argument, not the icon view,
                                       // or not a plain colour
constexpr DWORD kHost64NoCore = 2;     // no usable QuillCore64.dll beside the helper

struct Host64Request {
    HWND view;
    COLORREF textColor;
    int textStyle;
};

// Room for a command line: a quoted path of MAX_PATH characters and the three arguments.
constexpr int kHost64CommandLength = MAX_PATH + 40;

// Writes the helper's command line for `request`, starting with its quoted path `exe`.
void FormatHost64Command(const wchar_t* exe, const Host64Request& request,
                         wchar_t (&commandLine)[kHost64CommandLength]);

// Reads a whole command line as GetCommandLineW gives it; false when it is not exactly
// the program's path and the three arguments above. Does not look at the window.
bool ParseHost64Command(const wchar_t* commandLine, Host64Request* request);

// The full path of `fileName` in the folder of `module` (null: this process's program);
// false when the path does not fit MAX_PATH.
bool PathBesideModule(HMODULE module, const wchar_t* fileName, wchar_t (&path)[MAX_PATH]);
