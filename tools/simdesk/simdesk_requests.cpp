// The test requests of SimDesktop (see simdesk_requests.h), kept apart from the desktop.
#include "simdesk_requests.h"

#include "simdesk_surface.h"

namespace {

constexpr WORD kBitmapFileType = 0x4D42; // "BM"
constexpr WORD kBitsPerPixel = 24;

int RowBytes(int width) {
    return (width * kBitsPerPixel / 8 + 3) & ~3;
}


// The view paints itself, custom draw included, into a bitmap of this process, composed
// over the wallpaper when the desktop draws it with per-pixel alpha.
bool CaptureView(HWND view, const char* path) {
    RECT client;
    GetClientRect(view, &client);
    BITMAPINFO bitmap = {};
    BITMAPINFOHEADER& info = bitmap.bmiHeader;
    info.biSize = sizeof info;
    info.biWidth = client.right;
    info.biHeight = client.bottom; // bottom-up, as .bmp files usually are
    info.biPlanes = 1;
    info.biBitCount = kBitsPerPixel;
    info.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP image = CreateDIBSection(nullptr, &bitmap, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!image) return false;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldImage = SelectObject(dc, image);
    RenderView(view, dc);
    GdiFlush();
    const bool written = WriteBitmapFile(path, info, bits);
    SelectObject(dc, oldImage);
    DeleteDC(dc);
    DeleteObject(image);
    return written;
}

LRESULT RepaintView(HWND view, DWORD count) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (DWORD i = 0; i < count; ++i) {
        RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    GdiFlush();
    QueryPerformanceCounter(&end);
    const LONGLONG micro = (end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart;
    return static_cast<LRESULT>(micro > 0 ? micro : 1);
}

// The data of WM_COPYDATA comes from another process: never trust its length.
const char* PathOf(const COPYDATASTRUCT* request) {
    const char* text = static_cast<const char*>(request->lpData);
    if (!text || request->cbData == 0 || request->cbData > MAX_PATH) return nullptr;
    return text[request->cbData - 1] == '\0' ? text : nullptr;
}

} // namespace

bool WriteBitmapFile(const char* path, const BITMAPINFOHEADER& info, const void* bits) {
    const DWORD imageSize = static_cast<DWORD>(RowBytes(info.biWidth) * info.biHeight);
    BITMAPFILEHEADER file = {};
    file.bfType = kBitmapFileType;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    HANDLE out = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
              WriteFile(out, &info, sizeof info, &written, nullptr) &&
              WriteFile(out, bits, imageSize, &written, nullptr);
    CloseHandle(out);
    return ok;
}

LRESULT HandleSimDesktopRequest(HWND view, const COPYDATASTRUCT* request) {
    if (!view) return 0;
    switch (request->dwData) {
    case kRequestCapture: {
        const char* path = PathOf(request);
        return path && CaptureView(view, path) ? 1 : 0;
    }
    case kRequestRepaint:
        if (request->cbData != sizeof(DWORD)) return 0;
        return RepaintView(view, *static_cast<const DWORD*>(request->lpData));
    }
    return 0;
}
