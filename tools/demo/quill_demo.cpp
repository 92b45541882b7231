// QuillDemo: pictures of the simulated desktop's icon labels, opaque and then transparent
// in each of the four text styles, drawn by the real core module: on an ordinary desktop,
// then on one that composes the view with per-pixel alpha ("alpha-" pictures). Writes .bmp
// files into the current folder; tools/demo.sh turns them into the pictures of the README.
#include <windows.h>
#include <stdio.h>

#include "../simdesk/simdesk_client.h"

namespace {

constexpr COLORREF kLabelColor = RGB(255, 236, 120);

struct Picture {
    const char* file;
    int style;
};

struct Desktop {
    const char* options;
    const char* filePrefix;
};

const Desktop kDesktops[] = {{"", ""}, {"/alpha", "alpha-"}};

const Picture kStylePictures[] = {
    {"2-normal.bmp", 0}, {"3-shadow.bmp", 1}, {"4-embossed.bmp", 4000}, {"5-engraved.bmp", 4001}};

bool Capture(HWND view, const char* prefix, const char* name) {
    char file[MAX_PATH];
    snprintf(file, sizeof file, "%s%s", prefix, name);
    const bool written = CaptureViewToFile(view, file);
    printf("%s %s\n", written ? "wrote" : "FAILED", file);
    return written;
}

bool TakePictures(HWND view, const CoreExports& core, const char* prefix) {
    bool ok = Capture(view, prefix, "1-opaque.bmp");
    SetTransparentLabels(view, kLabelColor);
    for (const Picture& picture : kStylePictures) {
        core.apply(view, kLabelColor, picture.style);
        ok = Capture(view, prefix, picture.file) && ok;
    }
    core.undo();
    return ok;
}

} // namespace

int main() {
    CoreExports core = {};
    if (!LoadCore(&core)) {
        printf("QuillCore.dll not found beside QuillDemo.exe\n");
        return 1;
    }
    bool ok = true;
    for (const Desktop& each : kDesktops) {
        SimDesktopRun desktop;
        if (StartSimDesktop(each.options, &desktop) && desktop.view) {
            ok = TakePictures(desktop.view, core, each.filePrefix) && ok;
        } else {
            printf("the simulated desktop %s did not start\n", each.options);
            ok = false;
        }
        StopSimDesktop(&desktop);
    }
    FreeLibrary(core.module);
    return ok ? 0 : 1;
}
