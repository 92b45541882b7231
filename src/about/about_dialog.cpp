#include "about_dialog.h"

// The About box is not built yet: opening it shows nothing.
AboutDialog::~AboutDialog() {}

INT_PTR AboutDialog::DoModal() {
    return -1;
}
