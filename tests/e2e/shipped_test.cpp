// The files that ship beside the 32-bit program for 64-bit shells, on a 64-bit simulated
// desktop: QuillHost64.exe started as the 32-bit core module starts it and undone as that
// module undoes, the helper's command line, and the version resources of the download.
// Where this machine runs 32-bit code these tests are 32-bit and also run the 32-bit
// program with the download's files on the 64-bit desktop.
#include <doctest.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "../../core/core_messages.h"
#include "../../core/host64_command.h"
#include "../../core/host64_launch.h"
#include "../../src/common/resource.h"
#include "../common/import_patch.h"
#include "harness.h"
#include "view_capture.h"

namespace {

constexpr COLORREF kLabel = RGB(255, 255, 0);
// The 64-bit simulated desktop: the build's own, or the 32-bit build's copy of it.
constexpr const char* kDesktop64 = sizeof(void*) == 8 ? "SimDesktop.exe" : "x64\\SimDesktop.exe";
const char* const kShippedFiles[] = {"Quillmere.exe", "QuillCore.dll", "QuillCore64.dll",
                                     "QuillHost64.exe"};

std::string Shipped(const char* name) {
    return BuildBinFolder() + QUILL_SHIPPED_FOLDER + name;
}

// A 64-bit desktop with transparent labels in kLabel, and their image without a style.
struct Desktop64 {
    Desktop64() { Reset(); }
    void Reset() {
        SetTransparentLabels(desktop.View(), kLabel);
        plain = CaptureView(desktop.View());
        REQUIRE_FALSE(plain.Empty());
    }
    SimDesktop desktop{"", kDesktop64};
    ViewImage plain;
};

DWORD RunHost(const std::string& arguments) {
    return ChildProcess(BuildBinFolder() + "QuillHost64.exe", arguments).ExitCode();
}

std::string Hex(HWND window) {
    char text[16];
    snprintf(text, sizeof text, "%lx", HandleToULong(window));
    return text;
}

// The machine that IsWow64Process2, as looked up by the module's launching code, reports.
USHORT nativeMachine;
using GetProcAddressFunction = FARPROC(WINAPI*)(HMODULE, LPCSTR);
GetProcAddressFunction realGetProcAddress;

BOOL WINAPI IsWow64Process2OnMachine(HANDLE, USHORT* processMachine, USHORT* machine) {
    *processMachine = IMAGE_FILE_MACHINE_I386;
    *machine = nativeMachine;
    return TRUE;
}

FARPROC WINAPI GetProcAddressOnMachine(HMODULE module, LPCSTR name) {
    if (HIWORD(name) && strcmp(name, "IsWow64Process2") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(IsWow64Process2OnMachine));
    return realGetProcAddress(module, name);
}

} // namespace

TEST_CASE("the helper draws each style in a 64-bit desktop, and undo reaches it, also after "
          "the desktop restarted") {
    Desktop64 run;
    for (int round = 0; round < 2; ++round) {
        CAPTURE(round);
        if (round == 1) {
            run.desktop.Restart();
            run.Reset();
        }
        HWND view = run.desktop.View();
        for (int style : {StyleShadow, StyleEmbossed, StyleEngraved}) {
            CAPTURE(style);
            CHECK(ApplyThroughHost64(nullptr, view, kLabel, style));
            CheckStyled(run.plain, CaptureView(view), style, kLabel);
        }
        // The helper has ended; the attached copy holds itself.
        const int attached = ModuleLoadCount64(run.desktop.ProcessId(), "QuillCore64.dll");
        REQUIRE(attached > 0);
        // What the 32-bit module's undo sends, from a process with no module attached.
        SendMessageA(GetParent(view), DetachMessage(), 0, 0);
        CHECK(CaptureView(view) == run.plain);
        // The 64-bit copy lets go of its own reference too.
        CHECK(WaitUntil([&] {
            return ModuleLoadCount64(run.desktop.ProcessId(), "QuillCore64.dll") < attached;
        }));
    }
}

TEST_CASE("the helper refuses a bad command line and leaves the desktop alone") {
    Desktop64 run;
    const std::string view = Hex(run.desktop.View());
    HWND gone = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    const std::string bad[] = {
        "",
        view + " ffff00",
        view + " ffff00 1 1",
        view + " ffzf00 1",
        view + " 1ffff0000 1",
        view + " 1ffff00 1", // not a plain colour
        view + " ffff00 1x",
        view + " ffff00 2147483648",
        Hex(gone) + " ffff00 1",
        Hex(GetParent(run.desktop.View())) + " ffff00 1", // a window, but no list view
    };
    for (const std::string& arguments : bad) {
        CAPTURE(arguments);
        CHECK(RunHost(arguments) == kHost64BadCommand);
        CHECK(CaptureView(run.desktop.View()) == run.plain);
    }
    CHECK(RunHost(view + " ffff -2") == kHost64Applied);
    CheckStyled(run.plain, CaptureView(run.desktop.View()), StyleShadow, kLabel);
}

// ARM64 Windows runs 32-bit programs under WOW64 as AMD64 Windows does, and its 64-bit
// shell is ARM64 code, which QuillCore64.dll is not.
TEST_CASE("the helper is started only where the machine is AMD64") {
    Desktop64 run;
    void* original = nullptr;
    REQUIRE(ReplaceImport(GetModuleHandleA(nullptr), "kernel32.dll", "GetProcAddress",
                          reinterpret_cast<void*>(GetProcAddressOnMachine), &original));
    realGetProcAddress = reinterpret_cast<GetProcAddressFunction>(original);
    for (USHORT machine : {IMAGE_FILE_MACHINE_ARM64, IMAGE_FILE_MACHINE_AMD64}) {
        CAPTURE(machine);
        nativeMachine = machine;
        const bool amd64 = machine == IMAGE_FILE_MACHINE_AMD64;
        CHECK(ApplyThroughHost64(nullptr, run.desktop.View(), kLabel, StyleShadow) == amd64);
        if (amd64)
            CheckStyled(run.plain, CaptureView(run.desktop.View()), StyleShadow, kLabel);
        else
            CHECK(ModuleLoadCount64(run.desktop.ProcessId(), "QuillCore64.dll") == 0);
    }
    ReplaceImport(GetModuleHandleA(nullptr), "kernel32.dll", "GetProcAddress", original,
                  &original);
}

TEST_CASE("each shipped file carries version 1.5 of Quillmere, its own name and a Chinese "
          "description, for Chinese (PRC) in code page 936") {
    for (const char* name : kShippedFiles) {
        const std::string file = name;
        CAPTURE(file);
        const std::string path = Shipped(name);
        DWORD ignored = 0;
        std::vector<BYTE> data(GetFileVersionInfoSizeA(path.c_str(), &ignored));
        REQUIRE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
        const auto value = [&](const char* key) {
            void* found = nullptr;
            UINT size = 0;
            return VerQueryValueA(data.data(), key, &found, &size) ? found : nullptr;
        };
        const auto text = [&](const char* key) {
            const char* found = static_cast<const char*>(value(key));
            return std::string(found ? found : "");
        };
        const VS_FIXEDFILEINFO* fixed = static_cast<VS_FIXEDFILEINFO*>(value("\\"));
        const WORD* translation = static_cast<WORD*>(value("\\VarFileInfo\\Translation"));
        REQUIRE(fixed);
        REQUIRE(translation);
        CHECK(fixed->dwFileVersionMS == MAKELONG(5, 1));
        CHECK(fixed->dwProductVersionMS == MAKELONG(5, 1));
        CHECK(translation[0] == 0x0804);
        CHECK(translation[1] == 936);
        const std::string block = "\\StringFileInfo\\080403a4\\";
        CHECK(text((block + "ProductName").c_str()) == "Quillmere");
        CHECK(text((block + "FileVersion").c_str()) == "1.5");
        CHECK(text((block + "ProductVersion").c_str()) == "1.5");
        CHECK(text((block + "OriginalFilename").c_str()) == file);
        // In code page 936 Chinese characters are two bytes, the first 0x81 or above.
        const std::string description = text((block + "FileDescription").c_str());
        CHECK(std::count_if(description.begin(), description.end(),
                            [](char c) { return static_cast<BYTE>(c) >= 0x81; }) >= 4);
    }
}

#ifndef _WIN64
namespace {

// A fresh folder with the download's files but `missing`.
struct ShippedFolder : AppFolder {
    explicit ShippedFolder(const char* missing = "") : AppFolder("") {
        for (const char* name : kShippedFiles) {
            if (strcmp(name, missing) != 0)
                CopyFileA(Shipped(name).c_str(), File(name).c_str(), FALSE);
        }
    }
};

// The program from `folder`, waited for until it has made the labels transparent.
struct ShippedRun {
    ShippedRun(const AppFolder& folder, const SimDesktop& desktop) : app(folder) {
        REQUIRE(app.WaitForMainWindow(kStartWaitMs));
        REQUIRE(WaitUntil([&] { return desktop.TextIsTransparent(); }, kStartWaitMs));
    }
    void ExitAndWait() {
        app.PostCommand(IDM_EXIT);
        REQUIRE(app.WaitForExit(kDefaultWaitMs, nullptr));
    }
    App app;
};

} // namespace

TEST_CASE("the 32-bit program styles a 64-bit desktop through the download's helper; undo, a "
          "restart of the desktop and the end") {
    SimDesktop desktop("", kDesktop64);
    HWND view = desktop.View();
    const ViewImage opaque = CaptureView(view);
    REQUIRE_FALSE(opaque.Empty());
    ShippedFolder folder;
    ShippedRun run(folder, desktop);
    const COLORREF label = desktop.TextColor();
    const ViewImage plain = PlainLabels(run.app, view);
    CheckStyleRadios(run.app, view, plain, opaque, label);

    // The watchdog finds the new view; the program applies before it sets transparency.
    desktop.Restart();
    view = desktop.View();
    REQUIRE(WaitUntil([&] { return desktop.TextIsTransparent(); }, kWatchdogWaitMs));
    const ViewImage styled = CaptureView(view);
    const ViewImage plainAgain = PlainLabels(run.app, view);
    CheckStyled(plainAgain, styled, StyleEngraved, label);
    run.app.Click(IDC_STYLE_SHADOW);
    run.ExitAndWait();
    CHECK(CaptureView(view) == plainAgain);
}

TEST_CASE("without a working helper the labels stay plain and transparent, silently") {
    for (const std::string missing : {"QuillHost64.exe", "QuillCore64.dll"}) {
        CAPTURE(missing);
        SimDesktop desktop("", kDesktop64);
        ShippedFolder folder(missing.c_str());
        ShippedRun run(folder, desktop);
        const ViewImage plain = PlainLabels(run.app, desktop.View());
        run.app.Click(IDC_STYLE_SHADOW);
        CHECK(CaptureView(desktop.View()) == plain);
        CHECK(desktop.TextIsTransparent());
        CHECK(FindErrorBox(run.app.process.id) == nullptr);
        run.ExitAndWait();
    }
}
#endif
