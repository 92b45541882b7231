#include "autostart.h"

// The Run value is not written yet: the check box only reflects the user's choice.
void SetAutoStart(bool) {}
