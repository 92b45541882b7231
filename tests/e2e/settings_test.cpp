// The settings file beside the program and its value in the Run key, seen from outside:
// what a start reads, what a save writes, and when the Run value changes.
// Every test deletes the Run value before and after it runs: the other tests start the
// program without a settings file, and its first run writes the value again.
#include <doctest.h>

#include <stdio.h>
#include <string.h>

#include "../../core/text_style.h"
#include "../common/program_resources.h"
#include "harness.h"

#include <sddl.h>

namespace {

constexpr char kRegistryFailedText[] = "注册表操作失败!";
constexpr COLORREF kWhite = RGB(255, 255, 255);
// A view colour that no default or parsing slip can produce by chance.
constexpr COLORREF kViewColor = RGB(10, 20, 30);
constexpr int kCustomColorCount = 16;

// What the program writes for its own folder.
std::string QuotedRunData(const AppFolder& folder) {
    return "\"" + folder.Exe() + "\" /AUTOSET";
}

// Entries of section Saves as the settings file holds them: "key=value".
using Entries = std::vector<std::string>;

std::string KeyOf(const std::string& entry) {
    return entry.substr(0, entry.find('='));
}

void Store(const AppFolder& folder, const Entries& entries) {
    for (const std::string& entry : entries)
        folder.Store(KeyOf(entry).c_str(), entry.substr(entry.find('=') + 1));
}

// Each entry as the program saved it.
void CheckSaved(const AppFolder& folder, const Entries& expected) {
    for (const std::string& entry : expected)
        CHECK(KeyOf(entry) + "=" + folder.Saved(KeyOf(entry).c_str()) == entry);
}

// Starts the program after `entries`, then `store`, have gone into its settings file, on a
// desktop whose view has the text colour kViewColor; a start after the first unless firstRun.
Running Stored(const Entries& entries, void (*store)(const AppFolder&) = nullptr,
               bool firstRun = false, const std::string& folderSuffix = "") {
    const auto prepare = [=](const SimDesktop& desktop, const AppFolder& folder) {
        SendMessageA(desktop.View(), LVM_SETTEXTCOLOR, 0, kViewColor);
        if (!firstRun) folder.NotFirstRun();
        Store(folder, entries);
        if (store) store(folder);
    };
    return Running("", "", prepare, "fake", folderSuffix);
}

// Custom colours that no default can produce, written the way the program writes them.
void StoreCustomColors(const AppFolder& folder) {
    COLORREF colors[kCustomColorCount];
    for (int i = 0; i < kCustomColorCount; ++i) colors[i] = RGB(i, 100 + i, 200 - i);
    WritePrivateProfileStructA("Saves", "CustColors", colors, sizeof colors, folder.Ini().c_str());
}

// What a start without usable settings shows on its first run: every default.
void CheckFirstRunDefaults(const Running& run) {
    CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), kViewColor, 0));
    CHECK(run.app.IsChecked(IDC_STYLE_NORMAL));
    CHECK(run.app.IsChecked(IDC_TRAY_CHECK));
    CHECK(run.app.IsChecked(IDC_AUTOSTART));
}

// The custom colours as saved by default: all white.
void CheckWhiteCustomColors(const AppFolder& folder) {
    COLORREF colors[kCustomColorCount];
    REQUIRE(folder.SavedCustomColors(colors));
    for (COLORREF color : colors) CHECK(color == kWhite);
}

// What a save writes for the defaults: the view's colour with its generated description, the
// tray icon, plain text and white custom colours.
void CheckDefaultsSaved(const AppFolder& folder) {
    CheckSaved(folder,
               {"TextColor=" + std::to_string(kViewColor),
                "TextColorDesc=" + CustomColorText(kViewColor), "ShowTrayIcon=1", "ShadowDist=0"});
    CheckWhiteCustomColors(folder);
}

// The outer size of dialog 105 as the template makes it, before any folding.
SIZE TemplateWindowSize(const std::string& exe) {
    ProgramResources resources(exe);
    DWORD bytes = 0;
    const BYTE* data = resources.Find(RT_DIALOG, IDD_MAIN, &bytes);
    if (!data) return {0, 0};
    // An extended template: its style follows the version, signature, help id and extended
    // style. Without WS_VISIBLE the copy never shows; it needs no dialog procedure.
    std::string copy(reinterpret_cast<const char*>(data), bytes);
    DWORD style;
    memcpy(&style, &copy[12], sizeof style);
    style &= ~WS_VISIBLE;
    memcpy(&copy[12], &style, sizeof style);
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                             reinterpret_cast<const DLGTEMPLATE*>(copy.data()),
                                             nullptr, nullptr, 0);
    const RECT rect = WindowRect(dialog);
    DestroyWindow(dialog);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// Takes the right to change the Run key's values from everyone, as Windows does for a user
// without administrator rights; the key's own security comes back with the object.
struct RunKeyReadOnly {
    RunKeyReadOnly() {
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, READ_CONTROL | WRITE_DAC, &key);
        DWORD size = sizeof saved;
        savedKnown = RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved, &size) == 0;
        PSECURITY_DESCRIPTOR denied = nullptr;
        // Deny KEY_SET_VALUE, KEY_CREATE_SUB_KEY and DELETE; allow the rest.
        ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;0x10006;;;WD)(A;;KA;;;WD)", 1,
                                                             &denied, nullptr);
        applied = denied && RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, denied) == 0;
        LocalFree(denied);
    }
    ~RunKeyReadOnly() {
        if (savedKnown) RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, saved);
        RegCloseKey(key);
    }
    HKEY key = nullptr;
    BYTE saved[4096];
    bool savedKnown = false;
    bool applied = false;
};

// Bytes with no section header in them, so nothing in them can be read as an entry.
std::string JunkBytes(size_t count) {
    std::string bytes;
    unsigned seed = 12345;
    for (size_t i = 0; i < count; ++i) {
        seed = seed * 1103515245 + 12345;
        const char byte = static_cast<char>(seed >> 16);
        bytes += byte == '[' ? ']' : byte;
    }
    return bytes;
}

} // namespace

// Also run under code page 950, which has neither "Ж" nor "ü": the folder's name reaches
// the program, its core module, its settings file and the Run value only as UTF-16.
TEST_CASE("a first start without a settings file, from a path with blanks, Ж and ü") {
    RunValueCleanup cleanup;
    Running run = Stored({}, nullptr, true, " with blanks Жü");
    const AppFolder& folder = run.folder;
    REQUIRE(folder.Exe().find(" with blanks Жü\\") != std::string::npos);
    REQUIRE(folder.HasFile("Quillmere.exe"));
    // It centres the window for the template's full height, then folds it.
    const SIZE full = TemplateWindowSize(folder.Exe());
    REQUIRE(full.cy > 0);
    const RECT rect = WindowRect(run.app.mainWindow);
    CHECK(rect.left == GetSystemMetrics(SM_CXFULLSCREEN) / 2 - full.cx / 2);
    CHECK(rect.top == GetSystemMetrics(SM_CYFULLSCREEN) / 2 - full.cy / 2);
    CHECK(rect.bottom - rect.top < full.cy);
    // It shows the defaults and registers the program, its path in quotes.
    CheckFirstRunDefaults(run);
    CHECK_FALSE(run.app.RestoreEnabled());
    CHECK(FindErrorBox(run.app.process.id) == nullptr);
    CHECK(RunValueData() == QuotedRunData(folder));
    // Until the first save the file holds the first-run mark only.
    CHECK(folder.RawLines() == std::vector<std::string>{"[Main]", "BeFirst=0"});

    SUBCASE("saves the defaults and the window's place") {
        run.SaveByMainButton();
        CheckDefaultsSaved(folder);
        CheckSaved(folder,
                   {"Left=" + std::to_string(rect.left), "Top=" + std::to_string(rect.top)});
    }
    SUBCASE("registers only once") {
        run.ExitAndWait();
        DeleteRunValue();
        App again(folder);
        REQUIRE(again.WaitForMainWindow());
        REQUIRE(WaitUntil([&] { return again.IsVisible(); }));
        CHECK_FALSE(again.IsChecked(IDC_AUTOSTART));
        CHECK(RunValueData() == kNone);
    }
}

TEST_CASE("a Run key that cannot be opened is reported and the first run still completes") {
    RunValueCleanup cleanup;
    HKEY key;
    REQUIRE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_READ, &key) == ERROR_SUCCESS);
    DWORD values = 99;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    REQUIRE(values == 0); // nothing of anybody else's would be lost with the key
    REQUIRE(RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRunKey) == ERROR_SUCCESS);

    // The cleanup puts the key back as it deletes the value, however the test ends.
    SimDesktop desktop;
    AppFolder folder;
    App app(folder);
    REQUIRE(app.WaitForMainWindow());
    HWND box = ExpectErrorBox(app, kRegistryFailedText);
    CHECK(GetWindow(box, GW_OWNER) == app.mainWindow);
    DismissMessageBox(box);
    CHECK(WaitUntil([&] { return app.IsVisible(); }));
    CHECK(app.IsChecked(IDC_AUTOSTART));
    CHECK(folder.Read("Main", "BeFirst") == "0");
}

TEST_CASE("stored values are read as the program has always read them") {
    RunValueCleanup cleanup;
    SUBCASE("TextColor -1 takes the view's colour, ShowTrayIcon 2 and ShadowDist 3 are saved "
            "back as 1, an off-screen position and the custom colours are restored unchanged") {
        Running run =
            Stored({"TextColor=-1", "ShowTrayIcon=2", "ShadowDist=3", "Left=-3000", "Top=5000"},
                   StoreCustomColors);
        CHECK(run.app.IsChecked(IDC_STYLE_SHADOW));
        CHECK(run.app.IsChecked(IDC_TRAY_CHECK));
        CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), kViewColor, StyleShadow));
        const RECT rect = WindowRect(run.app.mainWindow);
        CHECK(rect.left == -3000);
        CHECK(rect.top == 5000);
        COLORREF saved[kCustomColorCount];
        REQUIRE(run.folder.SavedCustomColors(saved));
        run.folder.Store("CustColors", ""); // what is saved next can only come from the program
        run.SaveByMainButton();
        CheckSaved(run.folder, {"TextColor=" + std::to_string(kViewColor),
                                "TextColorDesc=" + CustomColorText(kViewColor), "ShowTrayIcon=1",
                                "ShadowDist=1"});
        COLORREF again[kCustomColorCount];
        REQUIRE(run.folder.SavedCustomColors(again));
        CHECK(memcmp(saved, again, sizeof saved) == 0);
        CHECK(again[5] == RGB(5, 105, 195));
    }
    SUBCASE("TextColor -01 is the number -1, not the view's colour") {
        Running run = Stored({"TextColor=-01"});
        CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), 0xFFFFFFFF, 0));
        run.SaveByMainButton();
        CheckSaved(run.folder, {"TextColor=-1", "TextColorDesc=" + CustomColorText(0xFFFFFFFF)});
    }
    SUBCASE("a stored description is kept, a long one cut to 59 bytes") {
        const std::string color = "TextColor=" + std::to_string(RGB(1, 2, 3));
        Running run = Stored({color, "TextColorDesc=" + std::string(70, 'x')});
        run.SaveByMainButton();
        CheckSaved(run.folder, {color, "TextColorDesc=" + std::string(59, 'x')});
    }
}

TEST_CASE("Restore and Esc reload the saved settings only while Restore is enabled") {
    RunValueCleanup cleanup;
    Running run = Stored({"Left=100", "Top=120", "TextColor=" + std::to_string(RGB(255, 0, 0)),
                          "ShadowDist=" + std::to_string(StyleEmbossed)});
    const AppFolder& folder = run.folder;
    REQUIRE(run.app.IsChecked(IDC_STYLE_EMBOSSED));
    REQUIRE(folder.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(255, 0, 0), StyleEmbossed));
    // What a later save elsewhere might have left in the file.
    Store(folder,
          {"Left=400", "Top=420", "TextColor=" + std::to_string(RGB(0, 255, 0)),
           "TextColorDesc=绿色", "ShadowDist=" + std::to_string(StyleEngraved), "ShowTrayIcon=0"});
    const size_t callsBefore = folder.CoreCalls().size();

    SUBCASE("disabled: neither does anything") {
        run.app.SendCommand(IDCANCEL);
        run.app.SendCommand(IDC_RESTORE);
        CHECK(run.app.IsChecked(IDC_STYLE_EMBOSSED));
        CHECK(run.app.IsChecked(IDC_TRAY_CHECK));
        CHECK(folder.CoreCalls().size() == callsBefore);
    }
    SUBCASE("enabled") {
        run.app.ClickCheckBox(IDC_AUTOSTART, true);
        REQUIRE(run.app.RestoreEnabled());
        SUBCASE("by Esc") {
            run.app.SendCommand(IDCANCEL);
        }
        SUBCASE("by the Restore button") {
            run.app.Click(IDC_RESTORE);
        }
        CHECK(run.app.IsChecked(IDC_STYLE_ENGRAVED));
        CHECK_FALSE(run.app.IsChecked(IDC_STYLE_EMBOSSED));
        CHECK_FALSE(run.app.IsChecked(IDC_TRAY_CHECK));
        CHECK_FALSE(run.app.IsChecked(IDC_AUTOSTART)); // from the registry, which has no value
        CHECK(folder.LastCoreCall() ==
              ApplyLine(run.desktop.View(), RGB(0, 255, 0), StyleEngraved));
        CHECK_FALSE(run.app.RestoreEnabled());
        run.SaveByMainButton();
        CHECK(folder.Saved("TextColorDesc") == "绿色");
    }
    // The window is never moved by a restore.
    const RECT rect = WindowRect(run.app.mainWindow);
    CHECK(rect.left == 100);
    CHECK(rect.top == 120);
}

TEST_CASE("the main button's hide and both ways out save the window's place as it is then") {
    RunValueCleanup cleanup;
    Running run = Stored({"Left=100", "Top=120"});
    // Where the user has dragged it: a place that no start gives.
    SetWindowPos(run.app.mainWindow, nullptr, 234, 345, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    REQUIRE(WindowRect(run.app.mainWindow).left == 234);
    SUBCASE("the main button hides the window while the text is transparent") {
        run.SaveByMainButton();
    }
    SUBCASE("the tray's exit") {
        run.ExitAndWait();
    }
    SUBCASE("the main button exits while the text is opaque") {
        run.app.Click(IDC_OPAQUE);
        run.app.PostCommand(IDC_MAIN_BUTTON);
        REQUIRE(run.app.ExitCode() == 0);
    }
    CheckSaved(run.folder, {"Left=234", "Top=345"});
}

TEST_CASE("the Run value follows box 1000 only on the main button and the close box") {
    RunValueCleanup cleanup;
    Running run = Stored({});
    REQUIRE_FALSE(run.app.IsChecked(IDC_AUTOSTART));
    run.app.ClickCheckBox(IDC_AUTOSTART, true);
    CHECK(RunValueData() == kNone);

    SUBCASE("minimise and the tray's hide leave it; Restore shows the registry again") {
        run.app.SysCommand(SC_MINIMIZE);
        run.app.SendCommand(IDM_HIDE_WINDOW);
        CHECK(RunValueData() == kNone);
        run.app.SendCommand(IDC_RESTORE);
        CHECK_FALSE(run.app.IsChecked(IDC_AUTOSTART));
    }
    SUBCASE("the tray's exit leaves it") {
        run.ExitAndWait();
        CHECK(RunValueData() == kNone);
    }
    SUBCASE("the close box and the main button write it, and delete it once the box is cleared") {
        run.app.SysCommand(SC_CLOSE);
        CHECK(RunValueData() == QuotedRunData(run.folder));
        run.app.Click(IDC_MAIN_BUTTON); // the same data a second time, without a message
        CHECK(RunValueData() == QuotedRunData(run.folder));
        run.app.ClickCheckBox(IDC_AUTOSTART, false);
        run.app.Click(IDC_MAIN_BUTTON);
        CHECK(RunValueData() == kNone);
        run.app.Click(IDC_MAIN_BUTTON); // nothing left to delete, and no message about it
        CHECK(RunValueData() == kNone);
        Pause(200);
        CHECK(FindErrorBox(run.app.process.id) == nullptr);
    }
    SUBCASE("the main button writes it on its way out while the text is opaque") {
        run.app.Click(IDC_OPAQUE);
        run.app.PostCommand(IDC_MAIN_BUTTON);
        REQUIRE(run.app.WaitForExit(kDefaultWaitMs, nullptr));
        CHECK(RunValueData() == QuotedRunData(run.folder));
    }
}

TEST_CASE("a Run value that may not be written or deleted is reported, on the way out too, and "
          "the program waits for the box") {
    RunValueCleanup cleanup;
    std::string before = kNone;
    bool autoStart = true;
    SUBCASE("a refused write") {}
    SUBCASE("a refused delete of a value pointing elsewhere, which checks box 1000") {
        before = "C:\\elsewhere\\other.exe";
        autoStart = false;
        SetRunValue(before.c_str());
    }
    Running run = Stored({});
    CHECK(run.app.IsChecked(IDC_AUTOSTART) == (before != kNone));
    RunKeyReadOnly readOnly;
    REQUIRE(readOnly.applied);
    run.app.ClickCheckBox(IDC_AUTOSTART, autoStart);
    bool exits = false;
    SUBCASE("confirming") {}
    SUBCASE("exiting, the text opaque") {
        run.app.Click(IDC_OPAQUE);
        exits = true;
    }
    run.app.PostCommand(IDC_MAIN_BUTTON);
    HWND box = ExpectErrorBox(run.app, kRegistryFailedText);
    Pause(500); // the box stays until the user answers it, and the program with it
    CHECK(IsWindowVisible(box));
    CHECK(run.app.IsRunning());
    DismissMessageBox(box);
    if (exits) CHECK(run.app.ExitCode() == 0);
    CHECK(RunValueData() == before);
}

TEST_CASE("a damaged settings file starts the program normally and is written clean") {
    RunValueCleanup cleanup;
    SUBCASE("junk bytes and a 10,000-character line: every default") {
        const auto junk = [](const AppFolder& folder) {
            folder.WriteRaw(std::string("\0\x01\xfe", 3) + JunkBytes(4000) + "\r\n" +
                            std::string(10000, 'Z') + "\r\n" + JunkBytes(100));
        };
        Running run = Stored({}, junk, true);
        CheckFirstRunDefaults(run); // a first run: the file had no mark
        run.SaveByMainButton();
        CheckDefaultsSaved(run.folder);
        CHECK(run.folder.Read("Main", "BeFirst") == "0");
    }
    SUBCASE("10,000-character values, non-numbers and custom colours with a broken checksum") {
        const auto damaged = [](const AppFolder& folder) {
            const std::string longLine(10000, 'Z');
            folder.WriteRaw("[Saves]\r\nLeft=" + longLine + "\r\nTop=abc\r\nTextColor=" + longLine +
                            "\r\nTextColorDesc=" + longLine + "\r\n" + longLine +
                            "\r\nShowTrayIcon=yes\r\nShadowDist=--5\r\n[Main]\r\nBeFirst=0\r\n");
            StoreCustomColors(folder);
            std::string colors = folder.Saved("CustColors");
            colors.back() = colors.back() == '0' ? '1' : '0';
            folder.Store("CustColors", colors);
        };
        Running run = Stored({}, damaged, true);
        CHECK(run.app.IsChecked(IDC_STYLE_NORMAL));
        CHECK_FALSE(run.app.IsChecked(IDC_TRAY_CHECK));
        CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), 0, 0));
        const RECT rect = WindowRect(run.app.mainWindow);
        CHECK(rect.left == 0);
        CHECK(rect.top == 0);
        run.SaveByMainButton();
        CheckSaved(run.folder,
                   {"Left=0", "Top=0", "TextColor=0", "TextColorDesc=" + std::string(59, 'Z'),
                    "ShowTrayIcon=0", "ShadowDist=0"});
        CheckWhiteCustomColors(run.folder);
    }
}
