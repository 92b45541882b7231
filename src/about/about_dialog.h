// The About box.
#pragma once
#include <windows.h>

class AboutDialog {
  public:
    virtual ~AboutDialog();
    // Runs the box owned by the main window; the EndDialog result, or -1.
    INT_PTR DoModal();
};
