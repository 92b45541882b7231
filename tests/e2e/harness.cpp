#include "harness.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

namespace {

constexpr char kMainWindowTitle[] = "Quillmere  1.5";
constexpr char kDialogClass[] = "#32770";
constexpr char kErrorCaption[] = "错误";
constexpr DWORD kKillWaitMs = 3000;

struct WindowQuery {
    DWORD processId;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
    WindowQuery* query = reinterpret_cast<WindowQuery*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != query->processId) return TRUE;
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, query->className) != 0) return TRUE;
    if (WindowText(window) != query->title) return TRUE;
    query->found = window;
    return FALSE;
}

HWND FindTopLevel(DWORD processId, const char* className, const char* title) {
    WindowQuery query = {processId, className, title, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

std::string ReadWholeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(file);
    return text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    return lines;
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
    char line[96];
    snprintf(line, sizeof line, "apply %llx %06lx %d",
             static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(view)),
             static_cast<unsigned long>(color), style);
    return line;
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

ChildProcess::~ChildProcess() {
    Kill();
}

bool ChildProcess::IsRunning() const {
    return handle && WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
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

SimDesktop::SimDesktop(const std::string& options, const std::string& exe)
    : options(options), exe(exe) {
    Start();
}

SimDesktop::~SimDesktop() {
    Stop();
}

void SimDesktop::Start() {
    process = new ChildProcess(BuildBinFolder() + exe, options);
    HWND desktop = nullptr;
    WaitUntil([&] {
        desktop = FindTopLevel(process->id, "Progman", "Program Manager");
        HWND defView =
            desktop ? FindWindowExA(desktop, nullptr, "SHELLDLL_DefView", nullptr) : nullptr;
        view = defView ? GetDlgItem(defView, 1) : nullptr;
        // The variants without a view are ready once their desktop window exists.
        const bool hasView = options.find("/nodefview") == std::string::npos &&
                             options.find("/nolistview") == std::string::npos;
        return hasView ? view != nullptr : desktop != nullptr;
    });
}

void SimDesktop::Stop() {
    delete process;
    process = nullptr;
    view = nullptr;
}

void SimDesktop::Restart() {
    Stop();
    Start();
}

COLORREF SimDesktop::TextBackground() const {
    return static_cast<COLORREF>(SendMessageA(view, LVM_GETTEXTBKCOLOR, 0, 0));
}

COLORREF SimDesktop::TextColor() const {
    return static_cast<COLORREF>(SendMessageA(view, LVM_GETTEXTCOLOR, 0, 0));
}

// AppFolder

AppFolder::AppFolder(const std::string& coreFolder, const std::string& nameSuffix) {
    static int serial = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char name[MAX_PATH + 64];
    snprintf(name, sizeof name, "%squill-e2e-%lu-%d", temp, GetCurrentProcessId(), ++serial);
    path = name + nameSuffix + "\\";
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

bool AppFolder::HasFile(const char* name) const {
    return GetFileAttributesA(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> AppFolder::CoreLog() const {
    return Lines(ReadWholeFile(File("corecalls.log")));
}

std::vector<std::string> AppFolder::CoreCalls() const {
    std::vector<std::string> calls;
    for (const std::string& line : CoreLog()) {
        if (line.rfind("apply ", 0) == 0 || line == "undo") calls.push_back(line);
    }
    return calls;
}

// App

App::App(const AppFolder& folder, const std::string& arguments, const std::string& currentFolder)
    : process(folder.Exe(), arguments, currentFolder) {}

HWND App::WaitForMainWindow(DWORD timeoutMs) {
    WaitUntil(
        [this] {
            mainWindow = FindTopLevel(process.id, kDialogClass, kMainWindowTitle);
            return mainWindow != nullptr;
        },
        timeoutMs);
    return mainWindow;
}

bool App::IsChecked(int id) const {
    return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string App::ControlText(int id) const {
    return WindowText(Control(id));
}

void App::Click(int id) const {
    SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(id)));
}

void App::SendCommand(WPARAM command) const {
    SendMessageA(mainWindow, WM_COMMAND, command, 0);
}

void App::PostCommand(WPARAM command) const {
    PostMessageA(mainWindow, WM_COMMAND, command, 0);
}

void App::SysCommand(WPARAM command) const {
    SendMessageA(mainWindow, WM_SYSCOMMAND, command, 0);
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* title) {
    return FindTopLevel(processId, className, title);
}

// Message boxes

HWND FindErrorBox(DWORD processId) {
    return FindTopLevel(processId, kDialogClass, kErrorCaption);
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

void DismissMessageBox(HWND box) {
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}
