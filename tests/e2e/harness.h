// End-to-end test harness: runs the real Quillmere.exe from a fresh folder with the
// recording core module (tests/fakecore), on the simulated desktop (tools/simdesk),
// and drives it with window messages. Every wait is bounded and polls.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

constexpr DWORD kDefaultWaitMs = 5000;
// One watchdog period of 3 s plus room for a slow machine.
constexpr DWORD kWatchdogWaitMs = 6000;

// Calls condition() every few milliseconds, pumping this thread's messages, until it is
// true or timeoutMs has passed. Returns its last answer.
template <typename Condition> bool WaitUntil(Condition condition, DWORD timeoutMs = kDefaultWaitMs);

// Lets messages flow for a while; for checking that something does NOT happen.
void Pause(DWORD ms);

// The folder of the built programs (where this test executable lives), with a backslash.
std::string BuildBinFolder();

// A program started by the tests, ended with the object if it still runs.
class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const std::string& exe, const std::string& arguments,
                 const std::string& currentFolder = "");
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return handle != nullptr; }
    bool IsRunning() const;
    // True when the process ended within timeoutMs; its exit code goes to *exitCode.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode);
    void Kill();

    HANDLE handle = nullptr;
    DWORD id = 0;
};

// The simulated shell desktop: "Progman" / "SHELLDLL_DefView" / list view 1.
class SimDesktop {
  public:
    // options: "/activedesktop", "/decoys", "/nodefview", "/nolistview", "/icons:N".
    // exe: the desktop program's path in the build folder.
    explicit SimDesktop(const std::string& options = "", const std::string& exe = "SimDesktop.exe");
    ~SimDesktop();

    void Start();
    void Stop();
    // Ends the desktop and starts a new one, as a shell restart does.
    void Restart();

    HWND View() const { return view; }
    COLORREF TextBackground() const;
    COLORREF TextColor() const;
    bool TextIsTransparent() const { return TextBackground() == CLR_NONE; }

  private:
    std::string options;
    std::string exe;
    ChildProcess* process = nullptr;
    HWND view = nullptr;
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
    // The lines that the recording core module has logged so far.
    std::vector<std::string> CoreLog() const;
    // Only the apply and undo lines.
    std::vector<std::string> CoreCalls() const;

    std::string path; // ends with a backslash
};

// A Quillmere process and its main window.
class App {
  public:
    App(const AppFolder& folder, const std::string& arguments = "",
        const std::string& currentFolder = "");

    // Waits until the main window exists (visible or not); null after timeoutMs.
    HWND WaitForMainWindow(DWORD timeoutMs = kDefaultWaitMs);
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
        return process.WaitForExit(timeoutMs, exitCode);
    }
    bool IsRunning() const { return process.IsRunning(); }

    HWND Control(int id) const { return GetDlgItem(mainWindow, id); }
    bool IsVisible() const { return IsWindowVisible(mainWindow) != FALSE; }
    bool IsChecked(int id) const;
    std::string ControlText(int id) const;
    // A click as the control would report it, sent (so handled when this returns).
    void Click(int id) const;
    void SendCommand(WPARAM command) const;
    void PostCommand(WPARAM command) const;
    void SysCommand(WPARAM command) const;

    ChildProcess process;
    HWND mainWindow = nullptr;
};

// A top-level window of process `processId` with this class and title, or null.
HWND FindProcessWindow(DWORD processId, const char* className, const char* title);

// A message box of process `processId` with the caption "错误", or null.
HWND FindErrorBox(DWORD processId);
// The box's message text.
std::string MessageBoxText(HWND box);
// Presses the box's OK button.
void DismissMessageBox(HWND box);

// The text of any window, read with WM_GETTEXT.
std::string WindowText(HWND window);

// "apply <view> <colour> <style>" as the recording core module logs it.
std::string ApplyLine(HWND view, COLORREF color, int style);

#include "harness_wait.h"
