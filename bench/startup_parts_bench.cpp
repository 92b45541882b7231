// Where Quillmere's start-up time goes. The program's own code (quill_app, linked here as
// the unit tests link it) starts in this process as Quillmere.exe starts it: the real core
// module from its folder, dialog 105 run by the real MainDialogProc on the simulated
// desktop. This program only watches: the calls that code makes into Windows are timed by
// kind through its imports, and the windows' paint messages through a subclass. Nothing of
// the shipped program is changed for it.
//   startup_parts_bench [runs]        (default 7)
// Each run is two fresh processes of this program in a folder of its own, taking turns:
// /quill starts as the program does, /bare shows an empty dialog of the same size with the
// same DLLs loaded (the fair floor). Prints a Markdown table of medians in milliseconds.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../src/app/app.h"
#include "../src/app/main_window.h"
#include "../src/app/session.h"
#include "../src/common/resource.h"
#include "../src/common/settings_record.h"
#include "../src/desktop/core_module.h"
#include "../src/desktop/desktop_view.h"
#include "../tests/common/import_patch.h"
#include "harness.h"

namespace {

// The parts, in the order of a start.
enum Part {
    CoreLoad,     // LoadCoreModule, before the dialog
    DialogCreate, // DialogBoxParamA to WM_INITDIALOG: the template, its controls and fonts
    SettingsFile, // the profile calls on the settings file
    SettingsCopy, // the settings file's working copy: made, read back, removed
    RunValue,     // the Run key
    ViewSearch,   // finding the desktop's icon view, and the list view messages sent to it
    CoreAttach,   // the core module's apply export: the hook into the desktop's process
    TrayWindow,   // the tray icon's hidden window: its class and the window
    TrayIcon,     // Shell_NotifyIconA
    Placement,    // SetWindowPos: the saved position, the folding of the advanced panel
    ProgramIcon,  // the program icon loaded, and the two WM_SETICON
    OtherInit,    // the rest of WM_INITDIALOG: icon, owner-draw style, timer, folding
    Show,         // from WM_INITDIALOG's end until the dialog manager has shown the window
    Paint,        // from then until the window and each of its controls has painted once
    Ready,        // from this program's entry to the window shown
    Total,        // from this program's entry to every window painted
    PartCount
};
const char* const kPartNames[PartCount] = {
    "core module loaded (LoadLibrary, exports)",
    "dialog created (to WM_INITDIALOG)",
    "settings file read (profile calls)",
    "settings file's working copy (temporary file)",
    "Run value read",
    "desktop view found and its colours set",
    "core module's attach (apply export)",
    "tray icon's hidden window (RegisterClassW, CreateWindowExW)",
    "tray icon added (Shell_NotifyIconW)",
    "window moved and folded (SetWindowPos)",
    "program icon (LoadIconA or LoadImageW, WM_SETICON)",
    "rest of WM_INITDIALOG",
    "window shown (after WM_INITDIALOG)",
    "window and controls painted once",
    "from entry to the window shown",
    "from entry to the window and controls painted",
};
constexpr char kResultFile[] = "parts.txt";
constexpr UINT_PTR kMeasuredTimer = 0x5142;
constexpr UINT kMeasureAfterInitMs = 400;
constexpr int kBareDialog = 1; // bench/bare_dialog.rc

LARGE_INTEGER frequency;
double Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * double(now.QuadPart) / double(frequency.QuadPart);
}

double spent[PartCount];
std::vector<double> recorded; // the parts of one start, kept before the exit adds to them
double entry, dialogCalled, initStart, initEnd, shown, painted;

// Adds the time of its scope to a part.
struct Timed {
    explicit Timed(Part part) : part(part), start(Now()) {}
    ~Timed() { spent[part] += Now() - start; }
    Part part;
    double start;
};

// Calls named below that this program does not import: the program's code no longer
// makes them, and what it calls instead would escape the timing.
std::vector<const char*> notImported;

// Points this program's import of `name` from `dll` at Timed_<name>, keeping the original.
#define PATCH(dll, name)                                                                           \
    const bool patched_##name = ReplaceImport(GetModuleHandleA(nullptr), dll, #name,               \
                                              reinterpret_cast<void*>(Timed_##name),               \
                                              reinterpret_cast<void**>(&real_##name)) ||           \
                                (notImported.push_back(#name), false);

// A replacement for an import of `dll`, timed into `part`.
#define TIMED_IMPORT(part, dll, result, name, params, args)                                        \
    result(WINAPI* real_##name) params;                                                            \
    result WINAPI Timed_##name params {                                                            \
        Timed timed(part);                                                                         \
        return real_##name args;                                                                   \
    }                                                                                              \
    PATCH(dll, name)

// call(), timed into `part` when `timed` is set.
template <typename Call> auto TimedIf(bool timed, Part part, Call call) {
    if (!timed) return call();
    Timed timer(part);
    return call();
}

#define KERNEL "kernel32.dll"
#define USER "user32.dll"
#define ADVAPI "advapi32.dll"
#define SHELL "shell32.dll"

// The entry time, taken before the imports below are pointed at their timed replacements.
struct Entry {
    Entry() {
        QueryPerformanceFrequency(&frequency);
        entry = Now();
    }
} atEntry;

TIMED_IMPORT(SettingsFile, KERNEL, DWORD, GetPrivateProfileStringW,
             (LPCWSTR a, LPCWSTR b, LPCWSTR c, LPWSTR d, DWORD e, LPCWSTR f), (a, b, c, d, e, f))
TIMED_IMPORT(SettingsFile, KERNEL, UINT, GetPrivateProfileIntW,
             (LPCWSTR a, LPCWSTR b, INT c, LPCWSTR d), (a, b, c, d))
TIMED_IMPORT(SettingsFile, KERNEL, BOOL, GetPrivateProfileStructW,
             (LPCWSTR a, LPCWSTR b, LPVOID c, UINT d, LPCWSTR e), (a, b, c, d, e))
TIMED_IMPORT(SettingsFile, KERNEL, BOOL, WritePrivateProfileStringW,
             (LPCWSTR a, LPCWSTR b, LPCWSTR c, LPCWSTR d), (a, b, c, d))
// At start-up only the settings file's working copy opens, reads, writes and removes files.
TIMED_IMPORT(SettingsCopy, KERNEL, DWORD, GetTempPathW, (DWORD a, LPWSTR b), (a, b))
TIMED_IMPORT(SettingsCopy, KERNEL, UINT, GetTempFileNameW,
             (LPCWSTR a, LPCWSTR b, UINT c, LPWSTR d), (a, b, c, d))
TIMED_IMPORT(SettingsCopy, KERNEL, HANDLE, CreateFileW,
             (LPCWSTR a, DWORD b, DWORD c, LPSECURITY_ATTRIBUTES d, DWORD e, DWORD f, HANDLE g),
             (a, b, c, d, e, f, g))
TIMED_IMPORT(SettingsCopy, KERNEL, DWORD, GetFileSize, (HANDLE a, LPDWORD b), (a, b))
TIMED_IMPORT(SettingsCopy, KERNEL, BOOL, ReadFile,
             (HANDLE a, LPVOID b, DWORD c, LPDWORD d, LPOVERLAPPED e), (a, b, c, d, e))
TIMED_IMPORT(SettingsCopy, KERNEL, BOOL, WriteFile,
             (HANDLE a, LPCVOID b, DWORD c, LPDWORD d, LPOVERLAPPED e), (a, b, c, d, e))
TIMED_IMPORT(SettingsCopy, KERNEL, BOOL, CloseHandle, (HANDLE a), (a))
TIMED_IMPORT(SettingsCopy, KERNEL, BOOL, DeleteFileW, (LPCWSTR a), (a))
TIMED_IMPORT(RunValue, ADVAPI, LONG, RegOpenKeyW, (HKEY a, LPCWSTR b, PHKEY c), (a, b, c))
TIMED_IMPORT(RunValue, ADVAPI, LONG, RegQueryValueExW,
             (HKEY a, LPCWSTR b, LPDWORD c, LPDWORD d, LPBYTE e, LPDWORD f), (a, b, c, d, e, f))
TIMED_IMPORT(RunValue, ADVAPI, LONG, RegCloseKey, (HKEY a), (a))
TIMED_IMPORT(ViewSearch, USER, HWND, FindWindowExA, (HWND a, HWND b, LPCSTR c, LPCSTR d),
             (a, b, c, d))
TIMED_IMPORT(ViewSearch, USER, int, GetClassNameA, (HWND a, LPSTR b, int c), (a, b, c))
TIMED_IMPORT(ViewSearch, USER, int, GetWindowTextA, (HWND a, LPSTR b, int c), (a, b, c))
// Of the messages and repaints, only those for the view and the program's icon are timed:
// every other window's are the dialog's own business.
LRESULT(WINAPI* real_SendMessageA)(HWND, UINT, WPARAM, LPARAM);
LRESULT WINAPI Timed_SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool icon = message == WM_SETICON;
    return TimedIf(icon || window == desktopView, icon ? ProgramIcon : ViewSearch,
                   [&] { return real_SendMessageA(window, message, wParam, lParam); });
}
PATCH(USER, SendMessageA)
BOOL(WINAPI* real_InvalidateRect)(HWND, const RECT*, BOOL);
BOOL WINAPI Timed_InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    return TimedIf(window == desktopView, ViewSearch,
                   [&] { return real_InvalidateRect(window, rect, erase); });
}
PATCH(USER, InvalidateRect)
TIMED_IMPORT(Placement, USER, BOOL, SetWindowPos,
             (HWND a, HWND b, int c, int d, int e, int f, UINT g), (a, b, c, d, e, f, g))
TIMED_IMPORT(ProgramIcon, USER, HICON, LoadIconA, (HINSTANCE a, LPCSTR b), (a, b))
TIMED_IMPORT(ProgramIcon, USER, HANDLE, LoadImageW,
             (HINSTANCE a, LPCWSTR b, UINT c, int d, int e, UINT f), (a, b, c, d, e, f))
TIMED_IMPORT(TrayWindow, USER, ATOM, RegisterClassW, (const WNDCLASSW* a), (a))
TIMED_IMPORT(TrayWindow, USER, HWND, CreateWindowExW,
             (DWORD a, LPCWSTR b, LPCWSTR c, DWORD d, int e, int f, int g, int h, HWND i, HMENU j,
              HINSTANCE k, LPVOID l),
             (a, b, c, d, e, f, g, h, i, j, k, l))
TIMED_IMPORT(TrayIcon, SHELL, BOOL, Shell_NotifyIconW, (DWORD a, PNOTIFYICONDATAW b), (a, b))

CoreApplyFunction realApply;
void __cdecl TimedApply(HWND view, COLORREF color, int style) {
    Timed timed(CoreAttach);
    realApply(view, color, style);
}

// Every window procedure of the dialog and its controls, each behind one that notes when
// a WM_PAINT has been handled.
struct Subclassed {
    HWND window;
    WNDPROC original;
    bool painted;
};
std::vector<Subclassed> subclassed;

LRESULT CALLBACK NotePaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    for (Subclassed& entry : subclassed) {
        if (entry.window != window) continue;
        const LRESULT result = CallWindowProcA(entry.original, window, message, wParam, lParam);
        if (message == WM_SHOWWINDOW && wParam && !shown) shown = Now();
        if (message == WM_PAINT && !entry.painted) {
            entry.painted = true;
            painted = Now();
        }
        return result;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Subclass(HWND window) {
    const LONG_PTR original = GetWindowLongPtrA(window, GWLP_WNDPROC);
    subclassed.push_back({window, reinterpret_cast<WNDPROC>(original), false});
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NotePaint));
}

BOOL CALLBACK SubclassChild(HWND child, LPARAM) {
    Subclass(child);
    return TRUE;
}

// Marks the end of initialisation, watches the paints, and ends the measurement a while
// later, when everything due has been painted.
void InitDone(HWND window) {
    initEnd = Now();
    Subclass(window);
    EnumChildWindows(window, SubclassChild, 0);
    SetTimer(window, kMeasuredTimer, kMeasureAfterInitMs, nullptr);
}

void Record() {
    spent[DialogCreate] = initStart - dialogCalled;
    double inInit = 0;
    for (Part part : {SettingsFile, SettingsCopy, RunValue, ViewSearch, CoreAttach, TrayWindow, TrayIcon,
                      Placement, ProgramIcon})
        inInit += spent[part];
    spent[OtherInit] = initEnd - initStart - inInit;
    spent[Show] = shown - initEnd;
    spent[Paint] = painted - shown;
    spent[Ready] = shown - entry;
    spent[Total] = painted - entry;
    recorded.assign(spent, spent + PartCount);
}

void WriteRecorded() {
    FILE* out = fopen(kResultFile, "w");
    if (!out) return;
    for (double ms : recorded) fprintf(out, "%.3f\n", ms);
    fclose(out);
}

INT_PTR CALLBACK WatchedMainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        initStart = Now();
        const INT_PTR result = MainDialogProc(window, message, wParam, lParam);
        InitDone(window);
        return result;
    }
    if (message == WM_TIMER && wParam == kMeasuredTimer) {
        KillTimer(window, kMeasuredTimer);
        Record();
        PostMessageA(window, WM_COMMAND, IDM_EXIT, 0); // the tray menu's exit
        return TRUE;
    }
    return MainDialogProc(window, message, wParam, lParam);
}

INT_PTR CALLBACK WatchedBareDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        initStart = Now();
        InitDone(window);
    } else if (message == WM_TIMER && wParam == kMeasuredTimer) {
        Record();
        EndDialog(window, 0);
    }
    return message == WM_INITDIALOG;
}

int StartAsProgram() {
    commandArgs = L"";
    appInstance = GetModuleHandleA(nullptr);
    ResetCustomColors();
    double start = Now();
    HMODULE coreModule = LoadCoreModule();
    spent[CoreLoad] = Now() - start;
    if (!coreModule) return 1;
    realApply = coreApply;
    coreApply = TimedApply;
    dialogCalled = Now();
    DialogBoxParamW(appInstance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, WatchedMainDialogProc, 0);
    ShutDown(coreModule);
    WriteRecorded();
    return 0;
}

int StartBare() {
    dialogCalled = Now();
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kBareDialog), nullptr,
                    WatchedBareDialogProc, 0);
    WriteRecorded();
    return 0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Runs this program in `folder` with `mode`; the parts it wrote, or none.
std::vector<double> RunOnce(const AppFolder& folder, const char* exe, const char* mode) {
    DeleteFileA(folder.File(kResultFile).c_str());
    ChildProcess child(folder.File(exe), mode, folder.path);
    if (!child.WaitForExit(30000, nullptr)) return {};
    std::vector<double> parts;
    for (const std::string& line : FileLines(folder.File(kResultFile)))
        parts.push_back(atof(line.c_str()));
    if (parts.size() != PartCount) parts.clear();
    return parts;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "/quill") return StartAsProgram();
    if (mode == "/bare") return StartBare();
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    for (const char* name : notImported) fprintf(stderr, "%s is not imported.\n", name);
    if (!notImported.empty()) return 1;

    SimDesktop desktop;
    if (!desktop.View()) {
        fprintf(stderr, "The simulated desktop did not start.\n");
        return 1;
    }
    const char* const exe = "startup_parts_bench.exe";
    AppFolder folder("");
    CopyFileA((BuildBinFolder() + exe).c_str(), folder.File(exe).c_str(), FALSE);
    CopyFileA((BuildBinFolder() + "QuillCore.dll").c_str(), folder.File("QuillCore.dll").c_str(),
              FALSE);
    folder.NotFirstRun();                         // the Run value is read, never written
    if (RunOnce(folder, exe, "/quill").empty()) { // writes the settings, untimed
        fprintf(stderr, "The program's start did not finish.\n");
        return 1;
    }
    std::vector<std::vector<double>> quill(PartCount), bare(PartCount);
    for (int run = 0; run < runs; ++run) {
        const std::vector<double> q = RunOnce(folder, exe, "/quill");
        const std::vector<double> b = RunOnce(folder, exe, "/bare");
        if (q.empty() || b.empty()) {
            fprintf(stderr, "Run %d did not finish.\n", run + 1);
            return 1;
        }
        for (int part = 0; part < PartCount; ++part) {
            quill[part].push_back(q[part]);
            bare[part].push_back(b[part]);
        }
    }
    printf("Start-up by part, medians of %d runs in ms, from the process's entry (the process\n"
           "start and its DLLs, the same for both, come before it). The bare dialog has the\n"
           "program's DLLs loaded too.\n\n",
           runs);
    printf("| part | Quillmere | bare dialog |\n|---|---|---|\n");
    for (int part = 0; part < PartCount; ++part) {
        const bool bareHasIt = part == DialogCreate || part >= OtherInit;
        if (bareHasIt)
            printf("| %s | %.1f | %.1f |\n", kPartNames[part], Median(quill[part]),
                   Median(bare[part]));
        else
            printf("| %s | %.1f | |\n", kPartNames[part], Median(quill[part]));
    }
    return 0;
}
