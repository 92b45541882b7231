// The registered window messages by which the program side of the module talks to the
// part of it that runs inside the view's process. Both carry plain values only.
#pragma once
#include <windows.h>

// Sent to the icon view while the hook is on its thread: attach to the view, or update
// the attachment. wParam: the label colour (COLORREF), lParam: the text style code.
UINT AttachMessage();

// Sent to the view's parent: whichever copy of the module has subclassed it lets go,
// repaints the view plainly and gives back its reference to itself. No parameters.
UINT DetachMessage();
