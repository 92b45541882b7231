// What the simulated desktop's icon view draws, as pixels, and a look at its process:
// the e2e tests of the real core module use these.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "../common/module_count.h"

#include "../../core/text_style.h"

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The icon view's client area as it paints itself, read back from a .bmp file.
struct ViewImage {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels; // row by row from the top

    bool Empty() const { return pixels.empty(); }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool operator==(const ViewImage& other) const {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
};

// Asks the simulated desktop that owns `view` to render it; empty when that failed.
ViewImage CaptureView(HWND view);

// One copy of the label text that a style draws: moved by (dx, dy), in `color`.
struct StyleCopy {
    int dx;
    int dy;
    COLORREF color;
};

// How a styled image differs from the plain one, for one copy of a style: `candidates`
// are the pixels at the copy's offset from a fully covered label pixel where the plain
// image shows bare background and no other copy reaches; `matching` those in the copy's
// colour.
struct CopyPixels {
    int candidates = 0;
    int matching = 0;
};
CopyPixels CountCopyPixels(const ViewImage& plain, const ViewImage& styled, COLORREF label,
                           COLORREF background, const std::vector<StyleCopy>& copies, size_t which);
// Fully covered label pixels of the plain image that the styled one shows otherwise.
int CountChangedLabelPixels(const ViewImage& plain, const ViewImage& styled, COLORREF label);
// Pixels that changed but lie at none of the copies' offsets from a non-background pixel.
int CountStrayChanges(const ViewImage& plain, const ViewImage& styled, COLORREF background,
                      const std::vector<StyleCopy>& copies);

constexpr COLORREF kWallpaper = RGB(0, 128, 128); // the simulated desktop's icon view

// The copies that a text style draws under each label.
std::vector<StyleCopy> CopiesOfStyle(int style);
// Checks that every copy of the style is there in full, that the labels in colour `label`
// keep it, and that nothing else changed.
void CheckStyled(const ViewImage& plain, const ViewImage& styled, int style, COLORREF label);

class App;
// The labels as the program makes them transparent, in the normal style.
ViewImage PlainLabels(const App& app, HWND view);
// Clicks each style radio and checks that the view shows that style at once; then the
// opaque command must give back `opaque` and the transparent one the last style.
void CheckStyleRadios(const App& app, HWND view, const ViewImage& plain, const ViewImage& opaque,
                      COLORREF label);

// The number of threads of process `processId`.
int ThreadCount(DWORD processId);
bool RunningOnWine();
