#include "harness.h"

#include <commctrl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <stdexcept>

#include "../common/code_page.h"

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

void DeleteFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (wcscmp(entry.cFileName, L".") == 0 || wcscmp(entry.cFileName, L"..") == 0) continue;
            const std::wstring path = folder + entry.cFileName;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteFolder(path + L"\\");
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Equal but for the letter case of ASCII letters, as the profile functions compare names.
bool SameLetters(const std::string& a, const char* b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return i == a.size() && !b[i];
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

std::string FileBytes(const std::string& path) {
    // Shares reading and writing with the writers.
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

std::vector<std::string> FileLines(const std::string& path) {
    std::vector<std::string> lines;
    const std::string bytes = FileBytes(path);
    for (size_t start = 0; start < bytes.size();) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
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
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    *(wcsrchr(path, L'\\') + 1) = L'\0';
    return Narrow(path);
}

std::string WindowText(HWND window) {
    wchar_t text[512] = L"";
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, sizeof text / sizeof(wchar_t),
                        reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, kDefaultWaitMs, &result);
    return Narrow(text);
}

std::string ApplyLine(HWND view, COLORREF color, int style) {
    return Format("apply %llx %06lx %d",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(view)),
                  static_cast<unsigned long>(color), style);
}

// ChildProcess

ChildProcess::ChildProcess(const std::string& exe, const std::string& arguments,
                           const std::string& currentFolder) {
    std::wstring commandLine = Wide("\"" + exe + "\"");
    if (!arguments.empty()) commandLine += Wide(" " + arguments);
    const std::wstring folder = Wide(currentFolder);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(Wide(exe).c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
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
    // Once in a while Wine, busy with the processes of a case just ended, does not show a
    // new process's first window within the wait: a second start is tried before failing.
    started = false;
    for (int attempt = 0; attempt < 2 && !started; ++attempt) {
        started = StartSimDesktop(options.c_str(), &run, exe.c_str());
        if (!started) Stop(); // it may run without its desktop window
    }
    if (started) return;
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
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path = Narrow(temp) + Format("quill-e2e-%lu-%d", GetCurrentProcessId(), ++serial) + nameSuffix +
           "\\";
    CreateDirectoryW(Wide(path).c_str(), nullptr);
    const std::string bin = BuildBinFolder();
    CopyFileW(Wide(bin + "Quillmere.exe").c_str(), Wide(Exe()).c_str(), FALSE);
    if (!coreFolder.empty()) {
        CopyFileW(Wide(bin + coreFolder + "\\QuillCore.dll").c_str(),
                  Wide(File("QuillCore.dll")).c_str(), FALSE);
    }
}

AppFolder::~AppFolder() {
    DeleteFolder(Wide(path));
}

bool AppFolder::HasFile(const char* name) const {
    return GetFileAttributesW(Wide(File(name)).c_str()) != INVALID_FILE_ATTRIBUTES;
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

// Read from the file's bytes as the program stored them, not through the profile
// functions, which would decode them in the code page the test runs under. The lines are
// taken as those functions take them: the first entry of the key in a section of that
// name, letter case aside, with the blanks around key and value dropped.
std::string AppFolder::Read(const char* section, const char* key) const {
    bool inSection = false;
    for (const std::string& line : FileLines(Ini())) {
        const std::string entry = Trimmed(line);
        const size_t sectionEnd = entry.find(']');
        if (entry[0] == '[' && sectionEnd != std::string::npos) {
            inSection = SameLetters(Trimmed(entry.substr(1, sectionEnd - 1)), section);
            continue;
        }
        const size_t equals = entry.find('=');
        if (inSection && equals != std::string::npos &&
            SameLetters(Trimmed(entry.substr(0, equals)), key))
            return Trimmed(entry.substr(equals + 1));
    }
    return kNone;
}

// The profile functions keep a copy of the file that the program may have rewritten
// since: it is dropped before every read and after every write. They write in the code
// page the test runs under, so only ASCII values come out the same under every one.
void AppFolder::Write(const char* section, const char* key, const char* value) const {
    const std::wstring ini = Wide(Ini());
    WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(),
                               value ? Wide(value).c_str() : nullptr, ini.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
}

bool AppFolder::SavedCustomColors(COLORREF (&colors)[16]) const {
    const std::wstring ini = Wide(Ini());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
    return GetPrivateProfileStructW(L"Saves", L"CustColors", colors, sizeof colors, ini.c_str());
}

void AppFolder::WriteRaw(const std::string& bytes, const char* name) const {
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, Wide(Ini()).c_str());
    HANDLE file = CreateFileW(Wide(File(name)).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
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
    wchar_t data[1024] = L"";
    DWORD size = sizeof data;
    return RegGetValueW(HKEY_LOCAL_MACHINE, Wide(kRunKey).c_str(), Wide(kRunValue).c_str(),
                        RRF_RT_REG_SZ, nullptr, data, &size) == ERROR_SUCCESS
               ? Narrow(data)
               : kNone;
}

void SetRunValue(const char* data) {
    const std::wstring wide = Wide(data);
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, Wide(kRunKey).c_str(), Wide(kRunValue).c_str(), REG_SZ,
                    wide.c_str(), static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

void DeleteRunValue() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, kRunValue);
    RegCloseKey(key);
}
