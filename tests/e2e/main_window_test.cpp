// The main window's commands, its hide-or-exit rules, the advanced panel, the watchdog
// and the ways the program ends.
#include <doctest.h>

#include "../../core/text_style.h"
#include "harness.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// The window hides and the program does not end.
void ExpectHiddenAndRunning(Running& run) {
    CHECK(WaitUntil([&] { return !run.app.IsVisible(); }));
    Pause(300);
    CHECK(run.app.IsRunning());
}

} // namespace

TEST_CASE("the opaque and transparent commands switch the view, the buttons and the core") {
    Running run;
    const COLORREF textColor = run.desktop.TextColor();
    // A style radio applies at once only while the text is transparent.
    run.app.Click(IDC_STYLE_EMBOSSED);
    CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), textColor, StyleEmbossed));
    CHECK_FALSE(run.app.RestoreEnabled());

    run.app.Click(IDC_OPAQUE);
    CHECK(run.desktop.TextBackground() == GetSysColor(COLOR_BACKGROUND));
    CHECK(run.desktop.TextColor() == kWhite);
    CHECK(run.folder.LastCoreCall() == "undo");
    CHECK(run.app.IsChecked(IDC_OPAQUE));
    CHECK_FALSE(run.app.IsChecked(IDC_TRANSPARENT));
    CHECK(run.app.ControlText(IDC_MAIN_BUTTON) == "退出程序(&X)");
    const size_t calls = run.folder.CoreCalls().size();
    run.app.Click(IDC_STYLE_ENGRAVED);
    CHECK(run.folder.CoreCalls().size() == calls);
    CHECK(run.desktop.TextBackground() == GetSysColor(COLOR_BACKGROUND));

    // As the tray menu sends it: the identifier alone.
    run.app.SendCommand(IDC_TRANSPARENT);
    CHECK(run.desktop.TextIsTransparent());
    CHECK(run.desktop.TextColor() == textColor);
    CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), textColor, StyleEngraved));
    CHECK(run.app.IsChecked(IDC_TRANSPARENT));
    CHECK_FALSE(run.app.IsChecked(IDC_OPAQUE));
    CHECK(run.app.ControlText(IDC_MAIN_BUTTON) == "确认设置(&O)");
    CHECK(run.app.IsRunning());
}

TEST_CASE("the main button and the close box hide while transparent; minimising always hides") {
    Running run;
    SUBCASE("main button") {
        run.app.Click(IDC_MAIN_BUTTON);
    }
    SUBCASE("close box") {
        run.app.SysCommand(SC_CLOSE);
    }
    SUBCASE("close box, with the low bits set as the system menu may send it") {
        run.app.SysCommand(SC_CLOSE | 2);
    }
    CHECK(WaitUntil([&] { return !run.app.IsVisible(); }));
    // Closing again hides again: the hide did not leave the window set to exit.
    run.app.SendCommand(IDM_SHOW_WINDOW);
    REQUIRE(WaitUntil([&] { return run.app.IsVisible(); }));
    run.app.SysCommand(SC_CLOSE);
    ExpectHiddenAndRunning(run);
    // Minimising hides, transparent or opaque, and never ends the program.
    for (const bool opaque : {false, true}) {
        CAPTURE(opaque);
        run.app.SendCommand(IDM_SHOW_WINDOW);
        REQUIRE(WaitUntil([&] { return run.app.IsVisible(); }));
        if (opaque) run.app.Click(IDC_OPAQUE);
        run.app.SysCommand(SC_MINIMIZE);
        CHECK_FALSE(run.app.IsVisible());
        CHECK_FALSE(IsIconic(run.app.mainWindow));
        Pause(300);
        CHECK(run.app.IsRunning());
    }
}

TEST_CASE("the main button and the close box end the program while opaque") {
    Running run;
    run.app.Click(IDC_OPAQUE);
    SUBCASE("main button") {
        run.app.PostCommand(IDC_MAIN_BUTTON);
    }
    SUBCASE("close box") {
        PostMessageA(run.app.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    REQUIRE(run.app.ExitCode() == 0);
    CHECK(run.folder.LastCoreCall() == "undo");
}

TEST_CASE("the advanced panel folds between the two markers") {
    Running run;
    const RECT before = WindowRect(run.app.mainWindow);
    CHECK(before.bottom == WindowRect(run.app.Control(IDC_COLLAPSED_MARK)).top);

    run.app.Click(IDC_ADVANCED);
    const RECT expanded = WindowRect(run.app.mainWindow);
    CHECK(expanded.bottom == WindowRect(run.app.Control(IDC_EXPANDED_MARK)).bottom);
    CHECK(expanded.top == before.top);
    CHECK(expanded.left == before.left);
    CHECK(expanded.right == before.right);
    CHECK(run.app.ControlText(IDC_ADVANCED) == "<<标准(&V)");

    run.app.Click(IDC_ADVANCED);
    const RECT folded = WindowRect(run.app.mainWindow);
    CHECK(folded.bottom - folded.top == before.bottom - before.top);
    CHECK(run.app.ControlText(IDC_ADVANCED) == "高级(&V)>>");
}

TEST_CASE("the watchdog and the commands act on the view the shell has now") {
    Running run;
    SUBCASE("the watchdog makes a restarted desktop transparent, after the user chose so") {
        run.desktop.Restart();
        REQUIRE_FALSE(run.desktop.TextIsTransparent());
    }
    SUBCASE("the watchdog makes a restarted desktop transparent, even after he chose opaque") {
        run.app.Click(IDC_OPAQUE);
        run.desktop.Restart();
        REQUIRE_FALSE(run.desktop.TextIsTransparent());
    }
    SUBCASE("a view the shell moves into a WorkerW is still the one the commands act on") {
        REQUIRE(run.desktop.MoveToWorker());
        run.app.Click(IDC_OPAQUE);
        CHECK(run.desktop.TextBackground() == GetSysColor(COLOR_BACKGROUND));
        run.app.Click(IDC_TRANSPARENT);
        CHECK(run.desktop.TextIsTransparent()); // at once, not by the watchdog
    }
    CHECK(WaitUntil([&] { return run.desktop.TextIsTransparent(); }, kWatchdogWaitMs));
    // The view gets the colour the program kept, not the one a new view had before.
    CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), run.desktop.TextColor(), 0));

    // The state buttons still show what the user chose, but the main button follows the view:
    // transparent, it confirms rather than exits.
    run.app.Click(IDC_MAIN_BUTTON);
    ExpectHiddenAndRunning(run);
}

TEST_CASE("the watchdog makes the text transparent again after the shell took it back, only "
          "while transparent is the user's choice") {
    Running run("", "/shadowsoff");
    const std::string apply = run.folder.LastCoreCall();
    const size_t calls = run.folder.CoreCalls().size();
    REQUIRE(run.desktop.ResetLabelColors(WM_SETTINGCHANGE));
    REQUIRE_FALSE(run.desktop.TextIsTransparent());
    CHECK(WaitUntil([&] { return run.desktop.TextIsTransparent(); }, kWatchdogWaitMs));
    CHECK(run.folder.CoreCalls().size() == calls + 1);
    CHECK(run.folder.LastCoreCall() == apply);

    run.app.Click(IDC_OPAQUE);
    REQUIRE(run.desktop.ResetLabelColors(0));
    Pause(kWatchdogWaitMs);
    CHECK_FALSE(run.desktop.TextIsTransparent());
    CHECK(run.folder.LastCoreCall() == "undo");
}

TEST_CASE("the watchdog keeps looking while there is no desktop") {
    Running run;
    run.desktop.Stop();
    CHECK(WaitUntil([&] { return run.folder.LastCoreCall().rfind("apply 0 ", 0) == 0; },
                    kWatchdogWaitMs));
    CHECK(run.app.IsRunning());
    run.desktop.Start();
    CHECK(WaitUntil([&] { return run.desktop.TextIsTransparent(); }, kWatchdogWaitMs));
}

TEST_CASE("the program's end keeps the transparent text unless Active Desktop is on") {
    std::string options;
    SUBCASE("without Active Desktop the view stays transparent") {}
    SUBCASE("with Active Desktop the text becomes white on the desktop colour") {
        options = "/activedesktop";
    }
    Running run("", options);
    run.app.SendCommand(IDM_EXIT);
    REQUIRE(run.app.ExitCode() == 0);
    CHECK(run.folder.LastCoreCall() == "undo");
    if (options.empty()) {
        CHECK(run.desktop.TextIsTransparent());
    } else {
        CHECK(run.desktop.TextBackground() == GetSysColor(COLOR_BACKGROUND));
        CHECK(run.desktop.TextColor() == kWhite);
    }
}

TEST_CASE("the end of the Windows session") {
    Running run;
    SUBCASE("a real end saves, undoes the effect and gives up the single-instance marker") {
        run.app.Click(IDC_STYLE_ENGRAVED);
        REQUIRE(run.folder.Saved("ShadowDist") == kNone);
        SendMessageA(run.app.mainWindow, WM_ENDSESSION, TRUE, 0);
        CHECK(run.folder.Saved("ShadowDist") == std::to_string(StyleEngraved));
        CHECK(run.folder.LastCoreCall() == "undo");
        CHECK(run.app.IsRunning());
        App next(run.folder);
        CHECK(next.WaitForMainWindow() != nullptr);
        next.process.Kill();
    }
    SUBCASE("a cancelled end changes nothing") {
        SendMessageA(run.app.mainWindow, WM_ENDSESSION, FALSE, 0);
        CHECK(run.folder.LastCoreCall().rfind("apply ", 0) == 0);
        CHECK(run.desktop.TextIsTransparent());
        App next(run.folder);
        REQUIRE(next.ExitCode() == 0);
    }
    CHECK(run.app.IsRunning());
}
