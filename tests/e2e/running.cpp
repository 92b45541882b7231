// The fixture of the end-to-end tests (harness.h), and the helpers that end a case when
// what they wait for does not come; apart from the harness, which the benchmarks share.
#include <doctest.h>

#include <ctype.h>

#include "harness.h"

namespace {

const AppFolder& Prepared(const SimDesktop& desktop, const AppFolder& folder,
                          const Running::Prepare& prepare) {
    if (prepare) prepare(desktop, folder);
    return folder;
}

bool StartsHidden(std::string arguments) {
    for (char& c : arguments) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return arguments.find("AUTOSET") != std::string::npos;
}

} // namespace

Running::Running(const std::string& arguments, const std::string& desktopOptions,
                 const Prepare& prepare, const std::string& coreFolder,
                 const std::string& folderSuffix)
    : desktop(desktopOptions), folder(coreFolder, folderSuffix),
      app(Prepared(desktop, folder, prepare), arguments) {
    REQUIRE(app.WaitForMainWindow(kStartWaitMs));
    if (!StartsHidden(arguments)) REQUIRE(WaitUntil([&] { return app.IsVisible(); }, kStartWaitMs));
    REQUIRE(WaitUntil([&] { return desktop.TextIsTransparent(); }, kStartWaitMs));
}

void Running::ExitAndWait() {
    app.PostCommand(IDM_EXIT);
    REQUIRE(app.ExitCode() == 0);
}

void Running::SaveByMainButton() {
    folder.Write("Saves", "ShadowDist", nullptr);
    app.Click(IDC_MAIN_BUTTON);
    REQUIRE(WaitUntil([&] { return !app.IsVisible(); }));
    REQUIRE(WaitUntil([&] { return folder.Saved("ShadowDist") != kNone; }));
}

HWND Running::Dialog(const char* title) const {
    for (HWND dialog : FindProcessWindows(app.process.id, kDialogClass, title, true))
        if (dialog != app.mainWindow) return dialog;
    return nullptr;
}

HWND Running::WaitForDialog(const char* title) const {
    HWND dialog = nullptr;
    // A dialog's first window in a process takes as long as a start on a busy machine.
    REQUIRE(WaitUntil([&] { return (dialog = Dialog(title)) != nullptr; }, kStartWaitMs));
    return dialog;
}

HWND Running::WaitForTray() const {
    HWND tray = nullptr;
    REQUIRE(WaitUntil([&] { return (tray = app.TrayWindow()) != nullptr; }));
    return tray;
}

HWND Running::HideToTray() {
    HWND tray = WaitForTray();
    app.SysCommand(SC_MINIMIZE);
    REQUIRE_FALSE(app.IsVisible());
    return tray;
}

HWND Running::OpenColorMenu() {
    app.PostCommand(IDC_DROPDOWN);
    HWND menu = nullptr;
    REQUIRE(WaitUntil([&] { return (menu = PopupMenu()) != nullptr; }));
    return menu;
}

HWND ExpectErrorBox(const App& app, const char* text) {
    HWND box = nullptr;
    REQUIRE(WaitUntil([&] { return (box = FindErrorBox(app.process.id)) != nullptr; }));
    CHECK(MessageBoxText(box) == text);
    return box;
}
