// The About box: how it opens and ends, its link's look, cursor and mailto: click.
// What only the program's own thread can see (the link's font and colour, the cursor it
// sets, the EndDialog result) is logged by the recording core module (fakecore_about.cpp).
#include <doctest.h>

#include <stdio.h>
#include <string.h>

#include "../../src/common/resource.h"
#include "harness.h"

namespace {

constexpr char kAboutTitle[] = "关于 Quillmere...";
constexpr char kMailtoKey[] = "mailto\\shell\\open\\command";
constexpr COLORREF kBlue = RGB(0, 0, 255);

// The visible About boxes of a process.
std::vector<HWND> FindAboutBoxes(DWORD processId) {
    return FindProcessWindows(processId, kDialogClass, kAboutTitle, true);
}

bool StartsWith(const std::string& text, const char* start) {
    return text.rfind(start, 0) == 0;
}

std::vector<std::string> Children(HWND box) {
    std::vector<std::string> texts;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        texts.push_back(WindowText(child));
    return texts;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& each : lines)
        if (each == line) return true;
    return false;
}

std::string Hex(COLORREF colour) {
    char text[16];
    snprintf(text, sizeof text, "%06lx", static_cast<unsigned long>(colour));
    return text;
}

// Registers MailRecorder.exe as this Wine prefix's mail program for the object's life;
// it appends each address it is started with to `logPath`.
class MailRecorder {
  public:
    explicit MailRecorder(const std::string& logPath) : logPath(logPath) {
        RegCreateKeyExA(HKEY_CLASSES_ROOT, kMailtoKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
        DWORD size = sizeof previous;
        hadPrevious = RegQueryValueExA(key, nullptr, nullptr, &previousType,
                                       reinterpret_cast<BYTE*>(previous), &size) == ERROR_SUCCESS;
        const std::string command =
            "\"" + BuildBinFolder() + "MailRecorder.exe\" \"" + logPath + "\" \"%1\"";
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
    }
    ~MailRecorder() {
        if (hadPrevious) {
            RegSetValueExA(key, nullptr, 0, previousType, reinterpret_cast<const BYTE*>(previous),
                           static_cast<DWORD>(strlen(previous) + 1));
        } else {
            RegDeleteValueA(key, nullptr);
        }
        RegCloseKey(key);
    }
    // The addresses the mail program was started with so far.
    std::vector<std::string> Starts() const {
        std::vector<std::string> lines;
        FILE* file = fopen(logPath.c_str(), "r");
        if (!file) return lines;
        char line[256];
        while (fgets(line, sizeof line, file)) {
            line[strcspn(line, "\r\n")] = '\0';
            lines.push_back(line);
        }
        fclose(file);
        return lines;
    }

  private:
    std::string logPath;
    HKEY key = nullptr;
    char previous[512] = "";
    DWORD previousType = REG_SZ;
    bool hadPrevious = false;
};

// A visible program on the simulated desktop, with the recording mail program.
struct AboutRun : Running {
    AboutRun() : mail(folder.File("mailto.log")) {}

    // The About button, clicked as a user would: the button itself reports the click.
    HWND OpenFromButton() {
        PostMessageA(app.Control(IDC_ABOUT), BM_CLICK, 0, 0);
        return WaitForBox();
    }
    HWND WaitForBox() {
        std::vector<HWND> boxes;
        WaitUntil([&] { return !(boxes = FindAboutBoxes(app.process.id)).empty(); });
        return boxes.empty() ? nullptr : boxes.front();
    }
    // Ends the box by `close` and returns the EndDialog result that was logged.
    std::string EndBox(HWND box, void (*close)(HWND)) {
        close(box);
        if (!WaitUntil([&] { return !IsWindow(box); })) return "box still open";
        const std::vector<std::string> lines = AboutLog("about end ");
        return lines.empty() ? "no EndDialog" : lines.back().substr(strlen("about end "));
    }

    std::vector<std::string> AboutLog(const char* prefix) const { return folder.Lines(prefix); }
    std::string LastLog(const char* prefix) const { return folder.LastLine(prefix); }
    // Moves the pointer to a point of the box (client coordinates) and lets the box choose
    // the cursor, as a mouse move does; returns "hand" or "other" as the box set it.
    std::string CursorAt(HWND box, POINT point) {
        ClientToScreen(box, &point);
        REQUIRE(MovePointer(point.x, point.y));
        const size_t before = AboutLog("about cursor ").size();
        DWORD_PTR result;
        SendMessageTimeoutA(box, WM_SETCURSOR, reinterpret_cast<WPARAM>(box),
                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), SMTO_ABORTIFHUNG, kDefaultWaitMs,
                            &result);
        WaitUntil([&] { return AboutLog("about cursor ").size() > before; });
        return LastLog("about cursor ").substr(strlen("about cursor "));
    }
    // Width of the link's text and of the link, in pixels, as the box measured them.
    void LinkWidths(int* text, int* width) const {
        int underlined = -1;
        *text = *width = -1;
        sscanf(LastLog("about link font ").c_str(),
               "about link font underlined=%d text=%d width=%d", &underlined, text, width);
    }

    MailRecorder mail;
};

HWND Link(HWND box) {
    return GetDlgItem(box, IDC_ABOUT_LINK);
}

// A point given relative to a control's window rectangle, in the box's client coordinates.
POINT BoxPoint(HWND box, HWND control, int dx, int dy) {
    RECT rect;
    GetWindowRect(control, &rect);
    POINT point = {rect.left + dx, rect.top + dy};
    ScreenToClient(box, &point);
    return point;
}

void ClickAt(HWND box, POINT point) {
    PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    PostMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

void PressOk(HWND box) {
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}
void PressEnter(HWND box) {
    PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
}
void PressEsc(HWND box) {
    PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
}
void CloseBox(HWND box) {
    PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
}

} // namespace

TEST_CASE("the About button opens the box, owned by the main window, which it disables") {
    AboutRun run;
    HWND box = run.OpenFromButton();
    REQUIRE(box);
    CHECK(GetWindow(box, GW_OWNER) == run.app.mainWindow);
    CHECK_FALSE(IsWindowEnabled(run.app.mainWindow));

    const std::vector<std::string> texts = Children(box);
    CHECK(texts.size() == 10);
    CHECK(Contains(texts, "Quillmere"));
    CHECK(Contains(texts, "版本:1.5 （中文版）"));
    CHECK(Contains(texts, "E-mail:"));
    CHECK(Contains(texts, "说明"));
    CHECK(Contains(texts, "　　本软件能使您桌面上的文字变为透明，使之与背景配合得更完美。"));
    CHECK(WindowText(GetDlgItem(box, IDOK)) == "了解(&O)");
    const std::string address = WindowText(Link(box));
    CHECK(address.size() > strlen("@example.com"));
    CHECK(address.rfind("@example.com") == address.size() - strlen("@example.com"));

    CHECK(run.EndBox(box, PressOk) == "1");
    CHECK(IsWindowEnabled(run.app.mainWindow));
    CHECK(run.app.IsVisible());
    CHECK(run.app.IsRunning());
}

TEST_CASE("OK and Enter end the box with 1, Esc and the close box with 2") {
    AboutRun run;
    HWND box = run.OpenFromButton();
    REQUIRE(box);
    SUBCASE("OK") {
        CHECK(run.EndBox(box, PressOk) == "1");
    }
    SUBCASE("Enter") {
        CHECK(run.EndBox(box, PressEnter) == "1");
    }
    SUBCASE("Esc") {
        CHECK(run.EndBox(box, PressEsc) == "2");
    }
    SUBCASE("close box") {
        CHECK(run.EndBox(box, CloseBox) == "2");
    }
    CHECK(IsWindowEnabled(run.app.mainWindow));
    CHECK(run.app.IsVisible()); // ending the box leaves the main window as it was
}

TEST_CASE("the link is underlined and blue, the other texts keep their colour") {
    AboutRun run;
    HWND box = run.OpenFromButton();
    REQUIRE(box);
    REQUIRE(WaitUntil([&] { return !run.LastLog("about link colour").empty(); }));
    CHECK(StartsWith(run.LastLog("about link font "), "about link font underlined=1 "));
    CHECK(run.AboutLog("about link colour") ==
          std::vector<std::string>{"about link colour " + Hex(kBlue)});
    CHECK(run.LastLog("about text colour") ==
          "about text colour " + Hex(GetSysColor(COLOR_WINDOWTEXT)));

    // The address fits its control, leaving a blank part on the right.
    int text = 0, width = 0;
    run.LinkWidths(&text, &width);
    CHECK(text > 0);
    CHECK(text + 4 <= width);
    run.EndBox(box, PressEsc);
    CHECK(run.LastLog("about font ") == "about font deleted=1");
}

TEST_CASE("the hand cursor shows over the link's whole rectangle and nowhere else") {
    AboutRun run;
    HWND box = run.OpenFromButton();
    REQUIRE(box);
    HWND link = Link(box);
    RECT rect;
    GetWindowRect(link, &rect);
    const int height = rect.bottom - rect.top, width = rect.right - rect.left;
    int textWidth = 0, linkWidth = 0;
    run.LinkWidths(&textWidth, &linkWidth);

    // On the text, on the blank right-hand part, at the far corner.
    CHECK(run.CursorAt(box, BoxPoint(box, link, 2, height / 2)) == "hand");
    CHECK(run.CursorAt(box, BoxPoint(box, link, (textWidth + width) / 2, height / 2)) == "hand");
    CHECK(run.CursorAt(box, BoxPoint(box, link, width - 1, height - 1)) == "hand");
    // Just right of and just below the rectangle, and on the "E-mail:" text.
    CHECK(run.CursorAt(box, BoxPoint(box, link, width, height / 2)) == "other");
    CHECK(run.CursorAt(box, BoxPoint(box, link, 2, height)) == "other");
    CHECK(run.CursorAt(box, BoxPoint(box, GetWindow(link, GW_HWNDPREV), 2, 2)) == "other");
    run.EndBox(box, PressEsc);
}

TEST_CASE("a click on the link starts the mail program and leaves the box open") {
    AboutRun run;
    HWND box = run.OpenFromButton();
    REQUIRE(box);
    HWND link = Link(box);
    const std::string address = WindowText(link);
    RECT rect;
    GetWindowRect(link, &rect);
    const int height = rect.bottom - rect.top, width = rect.right - rect.left;
    int textWidth = 0, linkWidth = 0;
    run.LinkWidths(&textWidth, &linkWidth);

    // Clicks elsewhere first: none may start it.
    ClickAt(box, BoxPoint(box, link, width, height / 2));
    ClickAt(box, BoxPoint(box, link, 2, height));
    ClickAt(box, BoxPoint(box, GetWindow(link, GW_HWNDPREV), 2, 2)); // "E-mail:"
    ClickAt(box, BoxPoint(box, GetWindow(box, GW_CHILD), 2, 2));     // the icon
    ClickAt(box, POINT{2, 2});
    Pause(1500);
    CHECK(run.mail.Starts().empty());

    ClickAt(box, BoxPoint(box, link, (textWidth + width) / 2, height / 2));
    REQUIRE(WaitUntil([&] { return !run.mail.Starts().empty(); }));
    Pause(500);
    CHECK(run.mail.Starts() == std::vector<std::string>{"mailto:" + address});
    CHECK(IsWindowVisible(box));
    CHECK(FindAboutBoxes(run.app.process.id).size() == 1);
    CHECK(run.EndBox(box, PressOk) == "1");
}

TEST_CASE("the tray's About command opens the box while the main window is hidden") {
    AboutRun run;
    run.app.SysCommand(SC_MINIMIZE);
    REQUIRE_FALSE(run.app.IsVisible());
    run.app.PostCommand(IDC_ABOUT); // as the tray menu sends it: the identifier alone
    HWND box = run.WaitForBox();
    REQUIRE(box);
    CHECK(GetWindow(box, GW_OWNER) == run.app.mainWindow);
    CHECK_FALSE(run.app.IsVisible());
    CHECK(StartsWith(run.LastLog("about link font "), "about link font underlined=1 "));
    CHECK(run.EndBox(box, CloseBox) == "2");
    CHECK_FALSE(run.app.IsVisible());
    CHECK(run.app.IsRunning());
}

TEST_CASE("a second opening looks the same as the first") {
    AboutRun run;
    for (int opening = 1; opening <= 2; ++opening) {
        CAPTURE(opening);
        HWND box = run.OpenFromButton();
        REQUIRE(box);
        REQUIRE(WaitUntil([&] {
            return run.AboutLog("about link colour").size() == static_cast<size_t>(opening);
        }));
        CHECK(run.AboutLog("about link font underlined=1 ").size() == static_cast<size_t>(opening));
        CHECK(run.LastLog("about link colour") == "about link colour " + Hex(kBlue));
        CHECK(run.CursorAt(box, BoxPoint(box, Link(box), 2, 2)) == "hand");
        CHECK(run.EndBox(box, PressOk) == "1");
        CHECK(run.AboutLog("about font deleted=1").size() == static_cast<size_t>(opening));
    }
}

TEST_CASE("a box opened from the tray while another is open frees its own font") {
    AboutRun run;
    HWND first = run.OpenFromButton();
    REQUIRE(first);
    REQUIRE(WaitUntil([&] { return run.AboutLog("about link colour").size() == 1; }));
    // The main window is disabled, but the tray menu's command still reaches it.
    run.app.PostCommand(IDC_ABOUT);
    std::vector<HWND> boxes;
    REQUIRE(WaitUntil([&] { return (boxes = FindAboutBoxes(run.app.process.id)).size() == 2; }));
    HWND second = boxes[0] == first ? boxes[1] : boxes[0];
    CHECK(GetWindow(second, GW_OWNER) == run.app.mainWindow);
    REQUIRE(WaitUntil([&] { return run.AboutLog("about link colour").size() == 2; }));

    CHECK(run.EndBox(second, PressOk) == "1");
    CHECK(IsWindowVisible(first));
    CHECK(run.AboutLog("about font deleted=").size() == 1);
    CHECK(run.EndBox(first, PressEsc) == "2");
    CHECK(run.AboutLog("about font deleted=") ==
          std::vector<std::string>(2, "about font deleted=1"));
    CHECK(IsWindowEnabled(run.app.mainWindow));
}
