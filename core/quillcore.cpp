// QuillCore.dll: the core module that draws the text style of the desktop icon labels.
// For now it keeps the latest arguments only; nothing is drawn yet.
#include <windows.h>

#define QUILLCORE_EXPORT extern "C" __declspec(dllexport)

namespace {

// The arguments of the latest apply; a null view means no effect is in force.
struct Effect {
    HWND view;
    COLORREF textColor;
    int textStyle;
};

Effect currentEffect;

} // namespace

// Apply: may come again and again without undo in between; the latest call is in force.
QUILLCORE_EXPORT void __cdecl Quillmere(HWND view, COLORREF textColor, int textStyle) {
    if (!view) return;
    currentEffect = Effect{view, textColor, textStyle};
}

// Undo: harmless twice in a row or without an apply before it.
QUILLCORE_EXPORT void __cdecl Unquillmere() {
    currentEffect = Effect{};
}
