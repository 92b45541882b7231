// The yardstick for the program benchmarks: an empty dialog shown by DialogBoxParamA,
// built with the same toolchain and flags as Quillmere. Esc or the close box ends it.
#include <windows.h>

namespace {

INT_PTR CALLBACK BareDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(window, 0);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    DialogBoxParamA(instance, MAKEINTRESOURCEA(1), nullptr, BareDialogProc, 0);
    return 0;
}
