// The About box (dialog 107): the program's name, version and terms, and the contact
// address drawn as a link that opens the user's mail program.
#pragma once
#include <windows.h>

class AboutDialog {
  public:
    virtual ~AboutDialog();
    // Runs the box, owned by `owner` (the main window, even while it is hidden).
    // Returns the EndDialog result (IDOK or IDCANCEL), or -1 when the box could not be made.
    INT_PTR DoModal(HWND owner);
};

// The box's window procedure as the dialog manager made it, before AboutSubclassProc
// replaced it; written at every opening of the box.
extern WNDPROC aboutOrigProc;

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AboutSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
