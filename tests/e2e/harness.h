// End-to-end test harness: runs the real Quillmere.exe from a fresh folder with the
// recording core module (tests/fakecore), on the simulated desktop (tools/simdesk),
// and drives it with window messages. Every wait is bounded and polls.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "../../src/common/resource.h"
#include "../../tools/simdesk/simdesk_client.h"

constexpr DWORD kDefaultWaitMs = 5000;
// A start on a busy machine, Wine's own first start in a prefix included.
constexpr DWORD kStartWaitMs = 15000;
// One watchdog period of 3 s plus room for a slow machine.
constexpr DWORD kWatchdogWaitMs = 6000;

constexpr char kMainWindowTitle[] = "Quillmere  1.5";
constexpr char kAboutTitle[] = "关于 Quillmere...";
constexpr char kDialogClass[] = "#32770";
constexpr char kMenuClass[] = "#32768";
constexpr char kTrayClass[] = "_TrayIconWnd_CLASS";
constexpr char kTrayTitle[] = "TrayIconWnd";
constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Quillmere";
// What a read gives for an entry or value that is not there.
constexpr char kNone[] = "<none>";

// The DPI that the programs started by this test run see: QUILL_TEST_DPI (144 in the
// second run of some suites), else 96. UseDpi writes it into the prefix's registry, where
// Wine 8 gives it to every process started after that (this test's own keeps its DPI).
UINT TestDpi();
void UseDpi(UINT dpi);
// A size given at 96 DPI, at the DPI of the run.
inline int Scaled(int pixels) {
    return MulDiv(pixels, static_cast<int>(TestDpi()), 96);
}

void PumpMessages();
// Calls condition() every few milliseconds, pumping this thread's messages, until it is
// true or timeoutMs has passed. Returns its last answer.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = kDefaultWaitMs) {
    for (const DWORD start = GetTickCount();; Sleep(20)) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return condition();
        PumpMessages();
    }
}

// Lets messages flow for a while; only for checking that something does NOT happen.
void Pause(DWORD ms);

// Moves the pointer to a point of the screen and waits until the move has settled, for
// programs that read the pointer's position. False if it never held there.
bool MovePointer(int x, int y);

// printf into a string.
std::string Format(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
// A file's bytes, and its non-empty lines without their line ends; none when it cannot be
// read. Paths here and below are code-page-936 text (code_page.h).
std::string FileBytes(const std::string& path);
std::vector<std::string> FileLines(const std::string& path);
inline bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}
// A window's rectangle in screen coordinates.
RECT WindowRect(HWND window);
// "自定义颜色:(r,g,b)", the description the program gives a colour that has no name.
std::string CustomColorText(COLORREF color);

// Top-level windows of process `processId` of this class, with this title unless it is
// null, and visible when visibleOnly is set; the first of them, or null.
std::vector<HWND> FindProcessWindows(DWORD processId, const char* className, const char* title,
                                     bool visibleOnly = false);
HWND FindProcessWindow(DWORD processId, const char* className, const char* title,
                       bool visibleOnly = false);
// The text of any window, read with WM_GETTEXT as UTF-16 and given in code page 936.
std::string WindowText(HWND window);

// The folder of the built programs (where this test executable lives), with a backslash.
std::string BuildBinFolder();

// A program started by the tests, ended with the object if it still runs.
class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const std::string& exe, const std::string& arguments,
                 const std::string& currentFolder = "");
    ~ChildProcess() { Kill(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return handle != nullptr; }
    bool IsRunning() const { return handle && WaitForSingleObject(handle, 0) == WAIT_TIMEOUT; }
    // True when the process ended within timeoutMs; its exit code goes to *exitCode.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode);
    // The exit code once the process has ended within timeoutMs; STILL_ACTIVE before.
    DWORD ExitCode(DWORD timeoutMs = kDefaultWaitMs) {
        DWORD exitCode = STILL_ACTIVE;
        return WaitForExit(timeoutMs, &exitCode) ? exitCode : STILL_ACTIVE;
    }
    void Kill();

    HANDLE handle = nullptr;
    DWORD id = 0;
};

// The simulated shell desktop, in one of the shell's window trees.
class SimDesktop {
  public:
    // options: "/activedesktop", "/decoys", "/nodefview", "/nolistview", "/icons:N",
    // "/workerw", "/24h2", "/shadowsoff[:RRGGBB]". exe: the desktop program's path in the build folder.
    explicit SimDesktop(const std::string& options = "", const std::string& exe = "SimDesktop.exe")
        : options(options), exe(exe) {
        Start();
    }
    ~SimDesktop() { Stop(); }

    // Where the tests run (built with exceptions), a desktop that does not come up throws,
    // which ends the test case; elsewhere Started() tells.
    void Start();
    bool Started() const { return started; }
    void Stop();
    // Ends the desktop and starts a new one, as a shell restart does.
    void Restart() {
        Stop();
        Start();
    }

    HWND View() const { return run.view; }
    DWORD ProcessId() const { return run.process.dwProcessId; }
    COLORREF TextBackground() const { return SendMessageA(View(), LVM_GETTEXTBKCOLOR, 0, 0); }
    COLORREF TextColor() const { return SendMessageA(View(), LVM_GETTEXTCOLOR, 0, 0); }
    bool TextIsTransparent() const { return TextBackground() == CLR_NONE; }

    // Moves SHELLDLL_DefView with the view into a new top-level "WorkerW", as the shell
    // does when it builds its wallpaper layer.
    bool MoveToWorker() const { return SendSimDesktopRequest(View(), kRequestMoveToWorker) == 1; }
    // Has SHELLDLL_DefView's own procedure run a modal loop, and waits until it runs;
    // EndModalLoop ends it and waits until it has returned.
    bool StartModalLoop() const { return ModalLoop(kDefViewStartModalLoop, 2); }
    bool EndModalLoop() const { return ModalLoop(kDefViewEndModalLoop, 1); }
    // Has the desktop put back the label colours of a shell with label shadows off, and
    // repaint: after `message` sent to SHELLDLL_DefView (WM_SETTINGCHANGE, WM_SYSCOLORCHANGE,
    // WM_THEMECHANGED; with "/shadowsoff"), or, for 0, by request without any message there,
    // as after an unlock or a resume.
    bool ResetLabelColors(UINT message) const {
        if (!message) return SendSimDesktopRequest(View(), kRequestResetLabelColors) == 1;
        return SendMessageA(GetParent(View()), message, 0, 0) == 0;
    }

  private:
    bool ModalLoop(UINT message, LRESULT depth) const;
    std::string options;
    std::string exe;
    SimDesktopRun run = {};
    bool started = false;
};

// The coreFolder of AppFolder that holds the real core module: the build folder itself.
constexpr char kRealCore[] = ".";

// A fresh folder holding Quillmere.exe and, unless coreFolder is empty, the QuillCore.dll
// of build folder coreFolder ("fake", "fake-noundo"); its name ends with nameSuffix.
// Deleted with the object.
class AppFolder {
  public:
    explicit AppFolder(const std::string& coreFolder = "fake", const std::string& nameSuffix = "");
    ~AppFolder();

    std::string File(const char* name) const { return path + name; }
    std::string Exe() const { return File("Quillmere.exe"); }
    bool HasFile(const char* name) const;

    // What the recording core module has logged so far: every line, only the apply and
    // undo lines, and the lines that start with `prefix`.
    std::vector<std::string> CoreLog() const { return FileLines(File("corecalls.log")); }
    std::vector<std::string> CoreCalls() const;
    std::vector<std::string> Lines(const std::string& prefix) const;
    std::string LastCoreCall() const;                      // "" before any
    std::string LastLine(const std::string& prefix) const; // "" when none
    int CountLines(const std::string& prefix) const { return Lines(prefix).size(); }

    // The settings file beside the program, read and written as the test's own.
    std::string Ini() const { return File("Quillmere.ini"); }
    std::string Read(const char* section, const char* key) const; // kNone when absent
    std::string Saved(const char* key) const { return Read("Saves", key); }
    void Write(const char* section, const char* key, const char* value) const;
    void Store(const char* key, const std::string& value) const {
        Write("Saves", key, value.c_str());
    }
    bool SavedCustomColors(COLORREF (&colors)[16]) const;
    // Marks the first run as done, so the Run value is left alone.
    void NotFirstRun() const { Write("Main", "BeFirst", "0"); }
    // Writes the settings file, or another file of the folder, byte for byte.
    void WriteRaw(const std::string& bytes, const char* name = "Quillmere.ini") const;
    std::vector<std::string> RawLines() const { return FileLines(Ini()); } // non-empty lines

    std::string path; // ends with a backslash
};

// A Quillmere process and its main window.
class App {
  public:
    App(const AppFolder& folder, const std::string& arguments = "",
        const std::string& currentFolder = "")
        : process(folder.Exe(), arguments, currentFolder) {}

    // Waits until the main window exists (visible or not); null after timeoutMs.
    HWND WaitForMainWindow(DWORD timeoutMs = kDefaultWaitMs);
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
        return process.WaitForExit(timeoutMs, exitCode);
    }
    DWORD ExitCode(DWORD timeoutMs = kDefaultWaitMs) { return process.ExitCode(timeoutMs); }
    bool IsRunning() const { return process.IsRunning(); }

    HWND Control(int id) const { return GetDlgItem(mainWindow, id); }
    bool IsVisible() const { return IsWindowVisible(mainWindow) != FALSE; }
    bool IsChecked(int id) const {
        return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    bool RestoreEnabled() const { return IsWindowEnabled(Control(IDC_RESTORE)) != FALSE; }
    std::string ControlText(int id) const { return WindowText(Control(id)); }
    // A click as the control would report it, sent (so handled when this returns).
    void Click(int id) const {
        SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(id)));
    }
    // A user's click on a check box: the box changes, then the dialog hears of it.
    void ClickCheckBox(int id, bool checked) const {
        SendMessageA(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        Click(id);
    }
    void SendCommand(WPARAM command) const { SendMessageA(mainWindow, WM_COMMAND, command, 0); }
    void PostCommand(WPARAM command) const { PostMessageA(mainWindow, WM_COMMAND, command, 0); }
    void SysCommand(WPARAM command) const { SendMessageA(mainWindow, WM_SYSCOMMAND, command, 0); }
    HWND TrayWindow() const { return FindProcessWindow(process.id, kTrayClass, kTrayTitle); }

    ChildProcess process;
    HWND mainWindow = nullptr;
};

// The fixture of the end-to-end tests: the program started from a fresh folder on a fresh
// simulated desktop and settled, its main window there (visible, unless the arguments
// hold AUTOSET) and the desktop text transparent. `prepare` runs before the start; the
// folder's name ends with folderSuffix.
struct Running {
    using Prepare = std::function<void(const SimDesktop&, const AppFolder&)>;
    explicit Running(const std::string& arguments = "", const std::string& desktopOptions = "",
                     const Prepare& prepare = nullptr, const std::string& coreFolder = "fake",
                     const std::string& folderSuffix = "");

    // The tray menu's exit command, which saves; expects exit code 0.
    void ExitAndWait();
    // The main button while the text is transparent hides the window and saves; returns
    // once the save has ended (the entry written last is taken out first).
    void SaveByMainButton();

    // A visible dialog of the program other than its main window, with this title unless it
    // is null; or null. WaitForDialog waits for one and ends the case without it.
    HWND Dialog(const char* title = nullptr) const;
    HWND WaitForDialog(const char* title = nullptr) const;
    // The program's tray window, waited for; the case ends without it.
    HWND WaitForTray() const;
    // The main window hidden by its minimise command; the tray window, waited for.
    HWND HideToTray();
    // The colour menu opened by the arrow button, waited for; the case ends without it.
    HWND OpenColorMenu();
    // The program's open popup menu, or null.
    HWND PopupMenu() const { return FindProcessWindow(app.process.id, kMenuClass, nullptr, true); }

    SimDesktop desktop;
    AppFolder folder;
    App app;
};

// A message box of process `processId` with the caption "错误", or null.
inline HWND FindErrorBox(DWORD processId) {
    return FindProcessWindow(processId, kDialogClass, "错误");
}
// The box's message text.
std::string MessageBoxText(HWND box);
// Presses the box's OK button.
inline void DismissMessageBox(HWND box) {
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}
// Waits for the error box of `app` and checks its text; the case ends without the box.
HWND ExpectErrorBox(const App& app, const char* text);

// "apply <view> <colour> <style>" as the recording core module logs it.
std::string ApplyLine(HWND view, COLORREF color, int style);

// The program's value in the machine's Run key: its data, or kNone.
std::string RunValueData();
void SetRunValue(const char* data);
// Deletes the value; puts the Run key back first if a test left it deleted.
void DeleteRunValue();
// No value of the program before the test, and none after it.
struct RunValueCleanup {
    RunValueCleanup() { DeleteRunValue(); }
    ~RunValueCleanup() { DeleteRunValue(); }
};
