#include "view_capture.h"

#include <doctest.h>

#include <commctrl.h>
#include <stdio.h>
#include <string.h>
#include <tlhelp32.h>

#include "../../src/common/resource.h"
#include "harness.h"

namespace {

std::string TempFile() {
    static int serial = 0;
    char folder[MAX_PATH], path[MAX_PATH + 64];
    GetTempPathA(MAX_PATH, folder);
    snprintf(path, sizeof path, "%squill-view-%lu-%d.bmp", folder, GetCurrentProcessId(), ++serial);
    return path;
}

bool ReadFileBytes(const std::string& path, std::vector<BYTE>* bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const DWORD size = GetFileSize(file, nullptr);
    bytes->resize(size);
    DWORD read = 0;
    const bool ok = size && ReadFile(file, bytes->data(), size, &read, nullptr) && read == size;
    CloseHandle(file);
    return ok;
}

// Only what the simulated desktop writes: 24-bit, uncompressed, bottom-up.
ViewImage DecodeBitmap(const std::vector<BYTE>& bytes) {
    ViewImage image;
    if (bytes.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return image;
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    memcpy(&file, bytes.data(), sizeof file);
    memcpy(&info, bytes.data() + sizeof file, sizeof info);
    if (info.biBitCount != 24 || info.biCompression != BI_RGB || info.biHeight <= 0) return image;
    const size_t rowBytes = (static_cast<size_t>(info.biWidth) * 3 + 3) & ~static_cast<size_t>(3);
    if (file.bfOffBits + rowBytes * info.biHeight > bytes.size()) return image;
    image.width = info.biWidth;
    image.height = info.biHeight;
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        const BYTE* row = bytes.data() + file.bfOffBits + rowBytes * (image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            const BYTE* bgr = row + x * 3;
            image.pixels[static_cast<size_t>(y) * image.width + x] = RGB(bgr[2], bgr[1], bgr[0]);
        }
    }
    return image;
}

bool IsBackground(const ViewImage& image, int x, int y, COLORREF background) {
    return image.Contains(x, y) && image.At(x, y) == background;
}

} // namespace

ViewImage CaptureView(HWND view) {
    const std::string path = TempFile();
    ViewImage image;
    std::vector<BYTE> bytes;
    if (CaptureViewToFile(view, path.c_str()) && ReadFileBytes(path, &bytes)) {
        image = DecodeBitmap(bytes);
    }
    DeleteFileA(path.c_str());
    return image;
}

CopyPixels CountCopyPixels(const ViewImage& plain, const ViewImage& styled, COLORREF label,
                           COLORREF background, const std::vector<StyleCopy>& copies,
                           size_t which) {
    CopyPixels count;
    const StyleCopy& copy = copies[which];
    for (int y = 0; y < plain.height; ++y) {
        for (int x = 0; x < plain.width; ++x) {
            if (plain.At(x, y) != label) continue;
            const int cx = x + copy.dx, cy = y + copy.dy;
            if (!IsBackground(plain, cx, cy, background)) continue;
            bool reachedByOther = false;
            for (size_t i = 0; i < copies.size(); ++i) {
                if (i == which) continue;
                // Another copy reaches (cx, cy) from the label pixel at its own offset back.
                const int ox = cx - copies[i].dx, oy = cy - copies[i].dy;
                if (plain.Contains(ox, oy) && !IsBackground(plain, ox, oy, background))
                    reachedByOther = true;
            }
            if (reachedByOther) continue;
            ++count.candidates;
            if (styled.At(cx, cy) == copy.color) ++count.matching;
        }
    }
    return count;
}

int CountChangedLabelPixels(const ViewImage& plain, const ViewImage& styled, COLORREF label) {
    int changed = 0;
    for (size_t i = 0; i < plain.pixels.size(); ++i)
        changed += plain.pixels[i] == label && styled.pixels[i] != label;
    return changed;
}

int CountStrayChanges(const ViewImage& plain, const ViewImage& styled, COLORREF background,
                      const std::vector<StyleCopy>& copies) {
    int stray = 0;
    for (int y = 0; y < plain.height; ++y) {
        for (int x = 0; x < plain.width; ++x) {
            if (plain.At(x, y) == styled.At(x, y)) continue;
            bool explained = false;
            for (const StyleCopy& copy : copies) {
                const int ox = x - copy.dx, oy = y - copy.dy;
                if (plain.Contains(ox, oy) && !IsBackground(plain, ox, oy, background))
                    explained = true;
            }
            stray += !explained;
        }
    }
    return stray;
}

std::vector<StyleCopy> CopiesOfStyle(int style) {
    if (style == StyleEmbossed) return {{-1, -1, kWhite}, {1, 1, kBlack}};
    if (style == StyleEngraved) return {{-1, -1, kBlack}, {1, 1, kWhite}};
    return {{1, 1, kBlack}};
}

void CheckStyled(const ViewImage& plain, const ViewImage& styled, int style, COLORREF label) {
    // Far fewer than the labels of the default icons give: a style drawn nowhere fails.
    constexpr int kMinCopyPixels = 50;
    REQUIRE_FALSE(styled.Empty());
    const std::vector<StyleCopy> copies = CopiesOfStyle(style);
    for (size_t i = 0; i < copies.size(); ++i) {
        CAPTURE(i);
        const CopyPixels found = CountCopyPixels(plain, styled, label, kWallpaper, copies, i);
        CHECK(found.candidates > kMinCopyPixels);
        CHECK(found.matching == found.candidates);
    }
    CHECK(CountChangedLabelPixels(plain, styled, label) == 0);
    CHECK(CountStrayChanges(plain, styled, kWallpaper, copies) == 0);
}

ViewImage PlainLabels(const App& app, HWND view) {
    app.Click(IDC_STYLE_NORMAL);
    return CaptureView(view);
}

void CheckStyleRadios(const App& app, HWND view, const ViewImage& plain, const ViewImage& opaque,
                      COLORREF label) {
    const struct {
        int radio;
        int style;
    } radios[] = {{IDC_STYLE_SHADOW, StyleShadow},
                  {IDC_STYLE_EMBOSSED, StyleEmbossed},
                  {IDC_STYLE_ENGRAVED, StyleEngraved}};
    for (const auto& each : radios) {
        CAPTURE(each.style);
        app.Click(each.radio);
        CheckStyled(plain, CaptureView(view), each.style, label);
    }
    app.SendCommand(IDC_OPAQUE);
    CHECK(CaptureView(view) == opaque);
    app.SendCommand(IDC_TRANSPARENT);
    CheckStyled(plain, CaptureView(view), StyleEngraved, label);
}

int ThreadCount(DWORD processId) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == processId;
    CloseHandle(snapshot);
    return count;
}

bool RunningOnWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}
