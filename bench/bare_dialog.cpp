// The yardstick for the program benchmarks: an empty dialog shown by DialogBoxParamA,
// built with the same toolchain and flags as Quillmere. Esc or the close box ends it.
// With /dlls it first loads the system DLLs that Quillmere imports beyond the dialog's
// own, which tells their share of Quillmere's start-up time and memory.
#include <windows.h>
#include <string.h>

namespace {

INT_PTR CALLBACK BareDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(window, 0);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    if (strstr(arguments, "/dlls")) {
        const char* const dlls[] = {"advapi32.dll", "comdlg32.dll", "gdi32.dll", "shell32.dll"};
        for (const char* dll : dlls) LoadLibraryA(dll);
    }
    DialogBoxParamA(instance, MAKEINTRESOURCEA(1), nullptr, BareDialogProc, 0);
    return 0;
}
