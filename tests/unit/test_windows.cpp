#include "test_windows.h"

#include <stdio.h>

#include "../../src/desktop/core_module.h"

std::vector<std::string> coreCalls;

namespace {

void __cdecl RecordApply(HWND view, COLORREF color, int style) {
    char line[96];
    snprintf(line, sizeof line, "apply %p %06lx %d", static_cast<void*>(view),
             static_cast<unsigned long>(color), style);
    coreCalls.push_back(line);
}

void __cdecl RecordUndo() {
    coreCalls.push_back("undo");
}

} // namespace

TestWindow::TestWindow(const char* className, const char* title, HWND parent, int id, DWORD style)
    : handle(CreateWindowExA(0, className, title, style | (parent ? WS_CHILD : WS_POPUP), 0, 0, 200,
                             100, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleA(nullptr), nullptr)) {}

TestWindow::~TestWindow() {
    DestroyWindow(handle);
}

const char* TestClass(const char* name) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass); // fails harmlessly when the class exists already
    return name;
}

void RecordCoreCalls() {
    coreCalls.clear();
    coreApply = RecordApply;
    coreUndo = RecordUndo;
}
