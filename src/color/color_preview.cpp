#include "color_preview.h"

// The colour dialog is not offered yet.
void ChooseCustomColor() {}

BOOL OnPreviewDoubleClick() {
    return FALSE;
}
