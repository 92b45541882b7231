// Small owners for GDI objects, so that every object created for one drawing request is
// selected out and deleted on the same path. Declare the created object before the
// selection that uses it: the selection then ends first and the object is no longer
// selected into any device context when it is deleted.
#pragma once
#include <windows.h>

// A pen, brush or font created here and deleted when the scope ends.
class CreatedGdiObject {
  public:
    explicit CreatedGdiObject(HGDIOBJ object) : object(object) {}
    ~CreatedGdiObject() {
        if (object) DeleteObject(object);
    }
    CreatedGdiObject(const CreatedGdiObject&) = delete;
    CreatedGdiObject& operator=(const CreatedGdiObject&) = delete;
    HGDIOBJ Get() const { return object; }
    HBRUSH Brush() const { return static_cast<HBRUSH>(object); }

  private:
    HGDIOBJ object;
};

// An object selected into a device context; the object it replaced goes back at the end.
class SelectedGdiObject {
  public:
    SelectedGdiObject(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    ~SelectedGdiObject() {
        if (previous) SelectObject(dc, previous);
    }
    SelectedGdiObject(const SelectedGdiObject&) = delete;
    SelectedGdiObject& operator=(const SelectedGdiObject&) = delete;

  private:
    HDC dc;
    HGDIOBJ previous;
};

// A window's device context borrowed with GetDC and given back with ReleaseDC.
class WindowDC {
  public:
    explicit WindowDC(HWND window) : window(window), dc(GetDC(window)) {}
    ~WindowDC() {
        if (dc) ReleaseDC(window, dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc; }

  private:
    HWND window;
    HDC dc;
};
