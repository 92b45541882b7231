#include "test_windows.h"

#include <stdio.h>

#include "../../src/app/app.h"

std::vector<std::string> coreCalls;

std::string ApplyLine(HWND view, COLORREF color, int style) {
    char line[96];
    snprintf(line, sizeof line, "apply %p %06lx %d", static_cast<void*>(view),
             static_cast<unsigned long>(color), style);
    return line;
}

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

MENUITEMINFOA MenuItemAt(HMENU menu, UINT position) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
    GetMenuItemInfoA(menu, position, TRUE, &info);
    return info;
}

MainWindowStandIn::MainWindowStandIn()
    : TestWindow(TestClass("QuillTestMain"), "main"), shared(sharedMainWindow, handle) {}

CoreRecorder::CoreRecorder()
    : apply(coreApply, [](HWND view, COLORREF color,
                          int style) { coreCalls.push_back(ApplyLine(view, color, style)); }),
      undo(coreUndo, [] { coreCalls.push_back("undo"); }) {
    coreCalls.clear();
}

namespace {

FilterRecorder* filterRecorder;

BOOL WINAPI RecordFilter(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT) {
    if (action == MSGFLT_ALLOW) filterRecorder->allowed.push_back({window, message});
    return TRUE;
}

} // namespace

FilterRecorder::FilterRecorder() : filter(changeMessageFilter, RecordFilter) {
    filterRecorder = this;
}

FilterRecorder::~FilterRecorder() {
    filterRecorder = nullptr;
}
