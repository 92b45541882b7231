// QuillDemo: pictures of the simulated desktop's icon labels, opaque and then transparent
// in each of the four text styles, drawn by the real core module. Writes .bmp files into
// the current folder; tools/demo.sh turns them into the pictures of the README.
#include <windows.h>
#include <stdio.h>

#include "../simdesk/simdesk_client.h"

namespace {

constexpr COLORREF kLabelColor = RGB(255, 236, 120);

struct Picture {
    const char* file;
    int style;
};

const Picture kStylePictures[] = {
    {"2-normal.bmp", 0}, {"3-shadow.bmp", 1}, {"4-embossed.bmp", 4000}, {"5-engraved.bmp", 4001}};

bool Capture(HWND view, const char* file) {
    const bool written = CaptureViewToFile(view, file);
    printf("%s %s\n", written ? "wrote" : "FAILED", file);
    return written;
}

int TakePictures(HWND view, const CoreExports& core) {
    bool ok = Capture(view, "1-opaque.bmp");
    SetTransparentLabels(view, kLabelColor);
    for (const Picture& picture : kStylePictures) {
        core.apply(view, kLabelColor, picture.style);
        ok = Capture(view, picture.file) && ok;
    }
    core.undo();
    return ok ? 0 : 1;
}

} // namespace

int main() {
    CoreExports core = {};
    if (!LoadCore(&core)) {
        printf("QuillCore.dll not found beside QuillDemo.exe\n");
        return 1;
    }
    SimDesktopRun desktop;
    int result = 1;
    if (StartSimDesktop("", &desktop) && desktop.view)
        result = TakePictures(desktop.view, core);
    else
        printf("the simulated desktop did not start\n");
    FreeLibrary(core.module);
    StopSimDesktop(&desktop);
    return result;
}
