#include "harness.h"

#include <commctrl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <stdexcept>

namespace {

constexpr DWORD kKillWaitMs = 3000;

struct WindowQuery {
    DWORD processId;
    const char* className;
    const char* title;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
    WindowQuery& query = *reinterpret_cast<WindowQuery*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (processId == query.processId && strcmp(className, query.className) == 0 &&
        (!query.visibleOnly || IsWindowVisible(window)) &&
        (!query.title || WindowText(window) == query.title))
        query.found.push_back(window);
    return TRUE;
}

bool StartsWith(const std::string& line, const std::string& prefix) {
    return line.compare(0, prefix.size(), prefix) == 0;
}

void DeleteFolder(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (strcmp(entry.cFileName, ".") == 0 || strcmp(entry.cFileName, "..") == 0) continue;
            const std::string path = folder + entry.cFileName;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteFolder(path + "\\");
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void Pause(DWORD ms) {
    WaitUntil([] { return false; }, ms);
}

bool MovePointer(int x, int y) {
    SetCursorPos(x, y);
    // Wine lets a process that reads an older mouse event put its position back for a
    // moment; the move has settled once the position has held for 100 ms.
    DWORD heldSince = GetTickCount();
    return WaitUntil([&] {
        POINT now;
        GetCursorPos(&now);
        if (now.x != x || now.y != y) heldSince = GetTickCount();
        return GetTickCount() - heldSince >= 100;
    });
}

UINT TestDpi() {
    char value[16] = "";
    const UINT dpi = GetEnvironmentVariableA("QUILL_TEST_DPI", value, sizeof value) ? atoi(value) : 0;
    return dpi ? dpi : 96;
}

void UseDpi(UINT dpi) {
    const DWORD pixels = dpi;
    RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &pixels,
                    sizeof pixels);
}

std::string Format(const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

std::vector<std::string> FileLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path, std::ios::binary); // shares reading and writing with the writers
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

std::string CustomColorText(COLORREF color) {
    return Format("自定义颜色:(%d,%d,%d)", GetRValue(color), GetGValue(color), GetBValue(color));
}

std::string BuildBinFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    *(strrchr(path, '\\') + 1) = '\0';
    return path;
}

std::string WindowText(HWND window) {
    char text[512] = "";
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, kDefaultWaitMs, &result);
    return text;
}

std::string ApplyLine(HWND view, COLORREF color, int style) {
    return Format("apply %llx %06lx %d",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(view)),
                  static_cast<unsigned long>(color), style);
}

// ChildProcess

ChildProcess::ChildProcess(const std::string& exe, const std::string& arguments,
                           const std::string& currentFolder) {
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        handle = info.hProcess;
        id = info.dwProcessId;
    }
}

bool ChildProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!handle) return false;
    const bool ended = WaitUntil([this] { return !IsRunning(); }, timeoutMs);
    if (ended && exitCode) GetExitCodeProcess(handle, exitCode);
    return ended;
}

void ChildProcess::Kill() {
    if (!handle) return;
    if (IsRunning()) {
        TerminateProcess(handle, 1);
        WaitForSingleObject(handle, kKillWaitMs);
    }
    CloseHandle(handle);
    handle = nullptr;
}

// SimDesktop

void SimDesktop::Start() {
    started = StartSimDesktop(options.c_str(), &run, exe.c_str());
    if (started) return;
    Stop(); // it may run without its desktop window
#if __cpp_exceptions
    throw std::runtime_error("the simulated desktop did not start: " + exe + " " + options);
#endif
}

void SimDesktop::Stop() {
    StopSimDesktop(&run);
    started = false;
}

bool SimDesktop::ModalLoop(UINT message, LRESULT depth) const {
    PostMessageA(GetParent(View()), message, 0, 0);
    return WaitUntil([&] { return SendSimDesktopRequest(View(), kRequestModalDepth) == depth; });
}

// AppFolder

AppFolder::AppFolder(const std::string& coreFolder, const std::string& nameSuffix) {
    static int serial = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path = Format("%squill-e2e-%lu-%d", temp, GetCurrentProcessId(), ++serial) + nameSuffix + "\\";
    CreateDirectoryA(path.c_str(), nullptr);
    const std::string bin = BuildBinFolder();
    CopyFileA((bin + "Quillmere.exe").c_str(), Exe().c_str(), FALSE);
    if (!coreFolder.empty()) {
        CopyFileA((bin + coreFolder + "\\QuillCore.dll").c_str(), File("QuillCore.dll").c_str(),
                  FALSE);
    }
}

AppFolder::~AppFolder() {
    DeleteFolder(path);
}

std::vector<std::string> AppFolder::CoreCalls() const {
    std::vector<std::string> calls;
    for (const std::string& line : CoreLog()) {
        if (StartsWith(line, "apply ") || line == "undo") calls.push_back(line);
    }
    return calls;
}

std::vector<std::string> AppFolder::Lines(const std::string& prefix) const {
    std::vector<std::string> lines;
    for (const std::string& line : CoreLog())
        if (StartsWith(line, prefix)) lines.push_back(line);
    return lines;
}

std::string AppFolder::LastCoreCall() const {
    const std::vector<std::string> calls = CoreCalls();
    return calls.empty() ? "" : calls.back();
}

std::string AppFolder::LastLine(const std::string& prefix) const {
    const std::vector<std::string> lines = Lines(prefix);
    return lines.empty() ? "" : lines.back();
}

// The profile functions keep a copy of the file that the program may have rewritten
// since: it is dropped before every read and after every write.
std::string AppFolder::Read(const char* section, const char* key) const {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, Ini().c_str());
    char value[512] = "";
    GetPrivateProfileStringA(section, key, kNone, value, sizeof value, Ini().c_str());
    return value;
}

void AppFolder::Write(const char* section, const char* key, const char* value) const {
    WritePrivateProfileStringA(section, key, value, Ini().c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, Ini().c_str());
}

bool AppFolder::SavedCustomColors(COLORREF (&colors)[16]) const {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, Ini().c_str());
    return GetPrivateProfileStructA("Saves", "CustColors", colors, sizeof colors, Ini().c_str());
}

void AppFolder::WriteRaw(const std::string& bytes, const char* name) const {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, Ini().c_str());
    HANDLE file = CreateFileA(File(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

HWND App::WaitForMainWindow(DWORD timeoutMs) {
    WaitUntil(
        [this] {
            mainWindow = FindProcessWindow(process.id, kDialogClass, kMainWindowTitle);
            return mainWindow != nullptr;
        },
        timeoutMs);
    return mainWindow;
}

// Windows

std::vector<HWND> FindProcessWindows(DWORD processId, const char* className, const char* title,
                                     bool visibleOnly) {
    WindowQuery query = {processId, className, title, visibleOnly, {}};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* title,
                       bool visibleOnly) {
    const std::vector<HWND> found = FindProcessWindows(processId, className, title, visibleOnly);
    return found.empty() ? nullptr : found.front();
}

std::string MessageBoxText(HWND box) {
    // The text is the one static control whose text is not empty (the icon's is).
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = "";
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") != 0) continue;
        const std::string text = WindowText(child);
        if (!text.empty()) return text;
    }
    return "";
}

// The Run value

std::string RunValueData() {
    char data[1024] = "";
    DWORD size = sizeof data;
    return RegGetValueA(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, RRF_RT_REG_SZ, nullptr, data,
                        &size) == ERROR_SUCCESS
               ? data
               : kNone;
}

void SetRunValue(const char* data) {
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, REG_SZ, data,
                    static_cast<DWORD>(strlen(data) + 1));
}

void DeleteRunValue() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, kRunValue);
    RegCloseKey(key);
}
