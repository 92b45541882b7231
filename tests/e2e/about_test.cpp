// The About box: how it opens and ends, its link's look, cursor and mailto: click.
// What only the program's own thread can see (the link's font and colour, the cursor it
// sets, the EndDialog result) is logged by the recording core module (fakecore_about.cpp).
#include <doctest.h>

#include <stdio.h>
#include <string.h>

#include "harness.h"

namespace {

constexpr char kMailtoKey[] = "mailto\\shell\\open\\command";
const std::string kBlueLink = "about link colour " + Format("%06lx", RGB(0, 0, 255));

// Registers MailRecorder.exe as this Wine prefix's mail program for the object's life;
// it appends each address it is started with to `logPath`.
class MailRecorder {
  public:
    explicit MailRecorder(const std::string& logPath) : logPath(logPath) {
        DWORD size = sizeof previous;
        hadPrevious =
            RegGetValueA(HKEY_CLASSES_ROOT, kMailtoKey, nullptr, RRF_RT_ANY | RRF_NOEXPAND,
                         &previousType, previous, &size) == ERROR_SUCCESS;
        Set("\"" + BuildBinFolder() + "MailRecorder.exe\" \"" + logPath + "\" \"%1\"", REG_SZ);
    }
    ~MailRecorder() {
        if (hadPrevious)
            Set(previous, previousType);
        else
            RegDeleteKeyValueA(HKEY_CLASSES_ROOT, kMailtoKey, nullptr);
    }
    // The addresses the mail program was started with so far.
    std::vector<std::string> Starts() const { return FileLines(logPath); }

  private:
    static void Set(const std::string& command, DWORD type) {
        RegSetKeyValueA(HKEY_CLASSES_ROOT, kMailtoKey, nullptr, type, command.c_str(),
                        static_cast<DWORD>(command.size() + 1));
    }
    std::string logPath;
    char previous[512] = "";
    DWORD previousType = REG_SZ;
    bool hadPrevious = false;
};

// The About button, clicked as a user would: the button itself reports the click.
HWND OpenFromButton(const Running& run) {
    PostMessageA(run.app.Control(IDC_ABOUT), BM_CLICK, 0, 0);
    return run.WaitForDialog(kAboutTitle);
}

// Ends the box by `close` and returns the EndDialog result that was logged.
std::string EndBox(const Running& run, HWND box, void (*close)(HWND)) {
    close(box);
    if (!WaitUntil([&] { return !IsWindow(box); })) return "box still open";
    const std::string line = run.folder.LastLine("about end ");
    return line.empty() ? "no EndDialog" : line.substr(strlen("about end "));
}

// The link of an open box: its size, the width of its text as the box measured it, and
// points relative to it (or to another control) in the box's client coordinates.
struct Link {
    Link(const Running& run, HWND box) : box(box), handle(GetDlgItem(box, IDC_ABOUT_LINK)) {
        const RECT rect = WindowRect(handle);
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
        sscanf(run.folder.LastLine("about link font ").c_str(),
               "about link font underlined=%*d text=%d width=%d height=%d", &text, &measuredWidth,
               &fontHeight);
    }
    POINT At(int dx, int dy, HWND control = nullptr) const {
        const RECT rect = WindowRect(control ? control : handle);
        POINT point = {rect.left + dx, rect.top + dy};
        ScreenToClient(box, &point);
        return point;
    }
    POINT OnBlankPart() const { return At((text + width) / 2, height / 2); }
    HWND MailLabel() const { return GetWindow(handle, GW_HWNDPREV); } // "E-mail:"

    HWND box, handle;
    int width = 0, height = 0, text = -1, measuredWidth = -1, fontHeight = 0;
};

// Moves the pointer to a point of the box (client coordinates) and lets the box choose
// the cursor, as a mouse move does; returns "hand" or "other" as the box set it after the
// move, never a choice logged before it.
std::string CursorAt(const Running& run, HWND box, POINT point) {
    ClientToScreen(box, &point);
    REQUIRE(MovePointer(point.x, point.y));
    const int before = run.folder.CountLines("about cursor ");
    DWORD_PTR result;
    SendMessageTimeoutA(box, WM_SETCURSOR, reinterpret_cast<WPARAM>(box),
                        MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), SMTO_ABORTIFHUNG, kDefaultWaitMs,
                        &result);
    if (!WaitUntil([&] { return run.folder.CountLines("about cursor ") > before; }))
        return "no cursor set after the move";
    return run.folder.LastLine("about cursor ").substr(strlen("about cursor "));
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
    Running run;
    HWND box = OpenFromButton(run);
    CHECK(GetWindow(box, GW_OWNER) == run.app.mainWindow);
    CHECK_FALSE(IsWindowEnabled(run.app.mainWindow));

    const std::vector<std::string> texts = [&] {
        std::vector<std::string> texts;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            texts.push_back(WindowText(child));
        return texts;
    }();
    CHECK(texts.size() == 10);
    CHECK(Contains(texts, "Quillmere"));
    CHECK(Contains(texts, "版本:1.5 （中文版）"));
    CHECK(Contains(texts, "E-mail:"));
    CHECK(Contains(texts, "说明"));
    CHECK(Contains(texts, "　　本软件能使您桌面上的文字变为透明，使之与背景配合得更完美。"));
    CHECK(WindowText(GetDlgItem(box, IDOK)) == "了解(&O)");
    const std::string address = WindowText(GetDlgItem(box, IDC_ABOUT_LINK));
    CHECK(address.size() > strlen("@example.com"));
    CHECK(address.rfind("@example.com") == address.size() - strlen("@example.com"));

    // OK and Enter end the box with 1, Esc and the close box with 2.
    SUBCASE("OK") {
        CHECK(EndBox(run, box, PressOk) == "1");
    }
    SUBCASE("Enter") {
        CHECK(EndBox(run, box, PressEnter) == "1");
    }
    SUBCASE("Esc") {
        CHECK(EndBox(run, box, PressEsc) == "2");
    }
    SUBCASE("close box") {
        CHECK(EndBox(run, box, CloseBox) == "2");
    }
    // Ending the box leaves the main window as it was.
    CHECK(IsWindowEnabled(run.app.mainWindow));
    CHECK(run.app.IsVisible());
    CHECK(run.app.IsRunning());
}

TEST_CASE("each opening's link is blue, underlined and under the hand; the rest keeps its colour") {
    Running run;
    for (size_t opening = 1; opening <= 2; ++opening) {
        CAPTURE(opening);
        HWND box = OpenFromButton(run);
        REQUIRE(WaitUntil([&] { return run.folder.Lines("about link colour").size() == opening; }));
        CHECK(run.folder.Lines("about link font underlined=1 ").size() == opening);
        CHECK(run.folder.Lines("about link colour") ==
              std::vector<std::string>(opening, kBlueLink));
        CHECK(run.folder.LastLine("about text colour") ==
              "about text colour " + Format("%06lx", GetSysColor(COLOR_WINDOWTEXT)));
        // The address fits its control, leaving a blank part on the right.
        const Link link(run, box);
        CHECK(link.text > 0);
        CHECK(link.text + 4 <= link.measuredWidth);
        // The box's 9 points at the DPI of the run: 12 pixels at 96 DPI, 18 at 144.
        CHECK(link.fontHeight == -MulDiv(9, TestDpi(), 72));
        CHECK(CursorAt(run, box, link.At(2, 2)) == "hand");
        CHECK(EndBox(run, box, PressOk) == "1");
        CHECK(run.folder.Lines("about font deleted=1").size() == opening);
    }
}

TEST_CASE("over the link's whole rectangle, and nowhere else, the hand shows and a click mails") {
    Running run;
    MailRecorder mail(run.folder.File("mailto.log"));
    HWND box = OpenFromButton(run);
    const Link link(run, box);
    // On the text, on the blank right-hand part, at the far corner.
    CHECK(CursorAt(run, box, link.At(2, link.height / 2)) == "hand");
    CHECK(CursorAt(run, box, link.OnBlankPart()) == "hand");
    CHECK(CursorAt(run, box, link.At(link.width - 1, link.height - 1)) == "hand");
    // Just right of and just below the rectangle, and on the "E-mail:" text; clicks there,
    // on the icon and in the corner start nothing.
    const POINT elsewhere[] = {link.At(link.width, link.height / 2), link.At(2, link.height),
                               link.At(2, 2, link.MailLabel())};
    for (const POINT& point : elsewhere) CHECK(CursorAt(run, box, point) == "other");
    for (const POINT& point : elsewhere) ClickAt(box, point);
    ClickAt(box, link.At(2, 2, GetWindow(box, GW_CHILD))); // the icon
    ClickAt(box, POINT{2, 2});
    Pause(1500);
    CHECK(mail.Starts().empty());

    // A click on the link starts the mail program and leaves the box open.
    ClickAt(box, link.OnBlankPart());
    REQUIRE(WaitUntil([&] { return !mail.Starts().empty(); }));
    Pause(500);
    CHECK(mail.Starts() == std::vector<std::string>{"mailto:" + WindowText(link.handle)});
    CHECK(IsWindowVisible(box));
    CHECK(FindProcessWindows(run.app.process.id, kDialogClass, kAboutTitle, true).size() == 1);
    CHECK(EndBox(run, box, PressOk) == "1");
}

TEST_CASE("a box opened from the tray while another is open frees its own font") {
    Running run;
    HWND first = OpenFromButton(run);
    REQUIRE(WaitUntil([&] { return run.folder.CountLines("about link colour") == 1; }));
    // The main window is disabled, but the tray menu's command still reaches it.
    run.app.PostCommand(IDC_ABOUT);
    std::vector<HWND> boxes;
    REQUIRE(WaitUntil([&] {
        boxes = FindProcessWindows(run.app.process.id, kDialogClass, kAboutTitle, true);
        return boxes.size() == 2;
    }));
    HWND second = boxes[0] == first ? boxes[1] : boxes[0];
    CHECK(GetWindow(second, GW_OWNER) == run.app.mainWindow);
    REQUIRE(WaitUntil([&] { return run.folder.CountLines("about link colour") == 2; }));

    CHECK(EndBox(run, second, PressOk) == "1");
    CHECK(IsWindowVisible(first));
    CHECK(run.folder.CountLines("about font deleted=") == 1);
    CHECK(EndBox(run, first, PressEsc) == "2");
    CHECK(run.folder.Lines("about font deleted=") ==
          std::vector<std::string>(2, "about font deleted=1"));
    CHECK(IsWindowEnabled(run.app.mainWindow));
}
