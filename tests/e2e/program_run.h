// The real program with a core module on the simulated desktop, for the end-to-end tests
// that look at the view's pixels.
#pragma once
#include "harness.h"
#include "view_capture.h"

// The program started from `folder`, waited for until it has made the labels of
// `desktop` transparent.
struct ProgramRun {
    ProgramRun(const AppFolder& folder, const SimDesktop& desktop);
    // Ends the program with its exit command and waits for it.
    void ExitAndWait();
    App app;
};

// The labels as the program makes them transparent, in the normal style.
ViewImage PlainLabels(const ProgramRun& run, HWND view);

// Clicks each style radio and checks that the view shows that style at once; then the
// opaque command must give back `opaque` and the transparent one the last style.
void CheckStyleRadios(const ProgramRun& run, HWND view, const ViewImage& plain,
                      const ViewImage& opaque, COLORREF label);
