// The registered window messages by which the program side of the module talks to the
// part of it that runs inside the view's process. They carry plain values only.
#pragma once
#include <windows.h>

// Registers the three messages; false when any name came back 0 (the session's atom table
// is full). The styles are then unavailable: no hook is set and nothing is compared with 0.
bool CoreMessagesRegistered();

// True when `message` is the registered message `registered`, which is never 0.
inline bool IsCoreMessage(UINT message, UINT registered) {
    return registered != 0 && message == registered;
}

// Sent to the icon view while the hook is on its thread: attach to the view, or update
// the attachment. wParam: the label colour (COLORREF), lParam: the text style code.
UINT AttachMessage();

// Sent to the icon view right after the attach message, while the hook is still on: the
// text background the attached copy holds on the view with the label colour, and repaints.
// wParam: the background (CLR_NONE, transparent, while the effect is applied).
UINT BackgroundMessage();

// Sent to the view, and to its parent: whichever copy of the module is attached lets go,
// repaints the view plainly and gives back its reference to itself. No parameters.
UINT DetachMessage();
