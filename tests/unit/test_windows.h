// Windows made by the unit tests, guards for the globals they set, and a recorder in place
// of the core module.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "../../src/common/message_filter.h"
#include "../../src/desktop/core_module.h"

// A window destroyed with the object.
class TestWindow {
  public:
    TestWindow(const char* className, const char* title, HWND parent = nullptr, int id = 0,
               DWORD style = 0);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    operator HWND() const { return handle; }
    HWND handle;
};

// Registers a plain window class once per name for the duration of the test run.
const char* TestClass(const char* name);

// The type, state and id of the item of `menu` at `position`.
MENUITEMINFOA MenuItemAt(HMENU menu, UINT position);

// Gives a global a value for the guard's lifetime and puts the old one back after it, also
// when a failed REQUIRE ends the case.
template <typename T> class ScopedSet {
  public:
    template <typename U> ScopedSet(T& global, U value) : global(global), saved(global) {
        global = value;
    }
    ~ScopedSet() { global = saved; }
    ScopedSet(const ScopedSet&) = delete;
    ScopedSet& operator=(const ScopedSet&) = delete;

  private:
    T& global;
    const T saved;
};

// A plain window in the main window's place: sharedMainWindow while it lives.
struct MainWindowStandIn : TestWindow {
    MainWindowStandIn();
    ScopedSet<HWND> shared;
};

// A top-level window with a "SHELLDLL_DefView" child that holds list view `viewId`.
struct FakeShell {
    FakeShell(const char* className, const char* title, int viewId = 1)
        : top(TestClass(className), title), defView(TestClass("SHELLDLL_DefView"), "", top),
          view(WC_LISTVIEWA, "", defView, viewId) {}
    TestWindow top, defView, view;
};

// The core module's exports replaced, while the object lives, by recorders that append
// "undo" or ApplyLine(...) to coreCalls, which starts empty.
struct CoreRecorder {
    CoreRecorder();
    ScopedSet<CoreApplyFunction> apply;
    ScopedSet<CoreUndoFunction> undo;
};
extern std::vector<std::string> coreCalls;
std::string ApplyLine(HWND view, COLORREF color, int style);

// The system's message filter replaced, while the object lives, by a recorder of the
// window and message of each call that lets a message through.
struct FilterRecorder {
    using Allowed = std::pair<HWND, UINT>;
    FilterRecorder();
    ~FilterRecorder();
    ScopedSet<MessageFilterFunction> filter;
    std::vector<Allowed> allowed;
};
