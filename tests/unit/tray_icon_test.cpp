#include <doctest.h>

#include <string.h>

#include <string>
#include <vector>

#include "../../src/app/app.h"
#include "../../src/tray/tray_icon.h"
#include "../common/code_page.h"
#include "test_windows.h"

namespace {

constexpr char kTrayClass[] = "_TrayIconWnd_CLASS";
constexpr char kTrayTitle[] = "TrayIconWnd";

struct ShellRequest {
    DWORD message;
    NOTIFYICONDATAW data;
};

std::vector<ShellRequest> shellRequests;
BOOL shellAnswer;
BOOL iconInShell; // the answer to a change of nothing, which asks whether the icon is there

BOOL WINAPI RecordShellRequest(DWORD message, PNOTIFYICONDATAW data) {
    shellRequests.push_back({message, *data});
    return message == NIM_MODIFY && data->uFlags == 0 ? iconInShell : shellAnswer;
}

int CountRequests(DWORD message) {
    int count = 0;
    for (const ShellRequest& request : shellRequests) count += request.message == message;
    return count;
}

// A notification as one of two callbacks heard it.
struct Notification {
    int callback;
    WPARAM iconId;
    LPARAM mouseMessage;
    int userValue;
};
std::vector<Notification> notifications;

template <int callback> void Record(WPARAM iconId, LPARAM mouseMessage, int userValue) {
    notifications.push_back({callback, iconId, mouseMessage, userValue});
}
constexpr TrayCallback RecordNotification = Record<1>;
constexpr TrayCallback RecordOtherNotification = Record<2>;

// A TrayIcon whose shell requests are recorded. Its window is destroyed afterwards, so
// that no window is left pointing at the object.
struct RecordedTray {
    RecordedTray() {
        appInstance = GetModuleHandleA(nullptr);
        shellRequests.clear();
        notifications.clear();
        shellAnswer = TRUE;
        iconInShell = FALSE;
        trayCallback = nullptr;
        trayUserValue = 0;
    }
    ~RecordedTray() {
        if (tray.window) DestroyWindow(tray.window);
    }
    BOOL Add(UINT id = 7, const char* tip = "tip") {
        return tray.Add(id, firstIcon, Wide(tip).c_str(), RecordNotification, 42);
    }
    const ShellRequest& Last() const { return shellRequests.back(); }
    // What the retry timer's tick does, without the wait for it.
    void Tick() const { SendMessageA(tray.window, WM_TIMER, 1, 0); }
    LRESULT Notify(WPARAM iconId, LPARAM mouseMessage) const {
        return SendMessageA(tray.window, kTrayNotifyMessage, iconId, mouseMessage);
    }
    // What the shell broadcasts when a new taskbar comes up, heard with no requests before.
    void NewTaskbar() const {
        shellRequests.clear();
        SendMessageA(tray.window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    }
    // The last request: `message` for icon `id` of the hidden window with these flags and
    // the fields they name.
    void CheckLast(DWORD message, UINT id, UINT flags, HICON icon = nullptr,
                   const char* tip = "") const {
        const ShellRequest& request = Last();
        CHECK(request.message == message);
        CHECK(request.data.cbSize == kNotifyIconDataSize);
        CHECK(request.data.hWnd == tray.window);
        CHECK(request.data.uID == id);
        CHECK(request.data.uFlags == flags);
        if (flags & NIF_MESSAGE) CHECK(request.data.uCallbackMessage == kTrayNotifyMessage);
        if (flags & NIF_ICON) CHECK(request.data.hIcon == icon);
        if (flags & NIF_TIP) CHECK(Narrow(request.data.szTip) == tip);
    }
    void CheckLastAdd(UINT id, HICON icon, const char* tip) const {
        CheckLast(NIM_ADD, id, NIF_MESSAGE | NIF_ICON | NIF_TIP, icon, tip);
    }

    ScopedSet<ShellNotifyFunction> shell{shellNotifyIcon, RecordShellRequest};
    HICON firstIcon = LoadIconA(nullptr, IDI_APPLICATION);
    HICON secondIcon = LoadIconA(nullptr, IDI_WARNING);
    TrayIcon tray;
};

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The title, as the window's procedure gives it.
std::string TitleOf(HWND window) {
    char title[32] = "";
    SendMessageA(window, WM_GETTEXT, sizeof title, reinterpret_cast<LPARAM>(title));
    return title;
}

int TrayWindowsOfThisThread() {
    int count = 0;
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, kTrayClass, nullptr));)
        count += GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
    return count;
}

LRESULT CALLBACK RefuseWindowCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TEST_CASE("Add creates the hidden window and sends the whole record, which ends with the "
          "64-character tip") {
    static_assert(kNotifyIconDataSize == NOTIFYICONDATAW_V1_SIZE, "the first record layout");
    static_assert(kNotifyIconDataSize == (sizeof(void*) == 4 ? 152u : 168u), "its size in bytes");
    RecordedTray t;
    CHECK(t.tray.Add(7, t.firstIcon, L"Quillmere  1.4", RecordNotification, 42) == TRUE);
    REQUIRE(t.tray.window != nullptr);
    REQUIRE(shellRequests.size() == 1);
    t.CheckLastAdd(7, t.firstIcon, "Quillmere  1.4");
    CHECK(t.tray.iconId == 7);
    CHECK((trayCallback == RecordNotification));
    CHECK(trayUserValue == 42);

    HWND window = t.tray.window;
    CHECK(ClassOf(window) == kTrayClass);
    CHECK(TitleOf(window) == kTrayTitle);
    CHECK((GetWindowLongPtrA(window, GWL_STYLE) & WS_POPUPWINDOW) == WS_POPUPWINDOW);
    CHECK_FALSE(IsWindowVisible(window));
    CHECK(GetClassLongPtrA(window, GCL_STYLE) == 0);
    CHECK(GetParent(window) == nullptr);
    RECT rect;
    const RECT expected = {0, 0, 10, 10};
    GetWindowRect(window, &rect);
    CHECK(EqualRect(&rect, &expected));

    // A null picture reaches the shell as null.
    t.tray.Add(7, nullptr, L"Quillmere  1.4", RecordNotification, 42);
    CHECK(t.Last().data.hIcon == nullptr);
}

TEST_CASE("SetIcon and Remove reach the shell only once a window exists, which Add reuses") {
    RecordedTray t;
    t.tray.SetIcon(t.secondIcon);
    t.tray.Remove();
    CHECK(shellRequests.empty());
    CHECK(t.tray.window == nullptr);

    t.Add(7);
    const HWND first = t.tray.window;
    t.tray.SetIcon(t.secondIcon);
    REQUIRE(shellRequests.size() == 2);
    t.CheckLast(NIM_MODIFY, 7, NIF_ICON, t.secondIcon);
    t.tray.Remove();
    REQUIRE(shellRequests.size() == 3);
    t.CheckLast(NIM_DELETE, 7, 0);

    CHECK(t.Add(7) == TRUE);
    CHECK(t.tray.window == first);
    CHECK(TrayWindowsOfThisThread() == 1);
    t.CheckLastAdd(7, t.firstIcon, "tip");

    // Sent even though the icon is gone; the shell's refusal is of no concern.
    t.tray.Remove();
    shellAnswer = FALSE;
    t.tray.Remove();
    t.tray.SetIcon(t.firstIcon);
    CHECK(shellRequests.size() == 7);
}

TEST_CASE("the tip is cut to its first 63 characters, never inside one") {
    RecordedTray t;
    std::string chinese;
    for (int i = 0; i < 70; ++i) chinese += "托"; // two bytes each in code page 936
    // 62 and 63 characters stay whole, 64 lose the last.
    for (const std::string& tip :
         {std::string(62, 'a'), std::string(63, 'b'), std::string(64, 'c'), chinese}) {
        CAPTURE(tip);
        t.Add(7, tip.c_str());
        CHECK(std::wstring(t.Last().data.szTip) == Wide(tip).substr(0, 63));
    }
}

TEST_CASE("the hidden window hands its notification message to the last Add's callback") {
    RecordedTray t;
    SUBCASE("with a callback every notification arrives with the user value") {
        t.Add(7);
        CHECK(t.Notify(7, WM_LBUTTONDBLCLK) == 0);
        t.Notify(7, WM_RBUTTONDOWN);
        REQUIRE(notifications.size() == 2);
        CHECK(notifications[0].callback == 1);
        CHECK(notifications[0].iconId == 7);
        CHECK(notifications[0].mouseMessage == WM_LBUTTONDBLCLK);
        CHECK(notifications[0].userValue == 42);
        CHECK(notifications[1].mouseMessage == WM_RBUTTONDOWN);

        // Only that message is a notification: not the one before it.
        SendMessageA(t.tray.window, kTrayNotifyMessage - 1, 7, WM_RBUTTONDOWN);
        CHECK(notifications.size() == 2);
    }
    SUBCASE("a second Add returns the shell's refusal but keeps its callback, value and id") {
        t.Add(7);
        shellAnswer = FALSE;
        CHECK(t.tray.Add(9, t.secondIcon, L"other", RecordOtherNotification, -5) == FALSE);
        REQUIRE(shellRequests.size() == 2);
        t.CheckLastAdd(9, t.secondIcon, "other");
        CHECK(t.tray.iconId == 9);
        CHECK((trayCallback == RecordOtherNotification));
        CHECK(trayUserValue == -5);

        t.Notify(9, WM_RBUTTONDOWN);
        REQUIRE(notifications.size() == 1);
        CHECK(notifications[0].callback == 2);
        CHECK(notifications[0].userValue == -5);
    }
    SUBCASE("without a callback the message gets the default processing") {
        t.tray.Add(7, t.firstIcon, L"tip", nullptr, 42);
        CHECK(t.Notify(7, WM_RBUTTONDOWN) == 0);
        CHECK(notifications.empty());
    }
    // Everything else is the default window procedure's, such as the title.
    CHECK(TitleOf(t.tray.window) == kTrayTitle);
}

TEST_CASE("a failed window creation changes nothing and does not block the next Add") {
    RecordedTray t;
    t.tray.iconId = 3;
    HHOOK refuse = SetWindowsHookExA(WH_CBT, RefuseWindowCreation, nullptr, GetCurrentThreadId());
    REQUIRE(refuse != nullptr);
    const BOOL added = t.Add(7);
    UnhookWindowsHookEx(refuse);
    CHECK(added == FALSE);
    CHECK(t.tray.window == nullptr);
    CHECK(t.tray.iconId == 3);
    CHECK((trayCallback == nullptr));
    CHECK(trayUserValue == 0);
    CHECK(shellRequests.empty());

    // The class stays registered from the failed attempt.
    CHECK(t.Add(7) == TRUE);
    CHECK(t.tray.window != nullptr);
    CHECK(shellRequests.size() == 1);
}

TEST_CASE("a new taskbar gets the icon again only while it is shown") {
    RecordedTray t;
    t.Add(7, "Quillmere  1.4");
    t.tray.SetIcon(t.secondIcon);
    t.NewTaskbar();
    REQUIRE(shellRequests.size() == 1);
    t.CheckLastAdd(7, t.secondIcon, "Quillmere  1.4");

    SUBCASE("after Remove nothing is added") {
        t.tray.Remove();
        t.NewTaskbar();
        CHECK(shellRequests.empty());
    }
    SUBCASE("after an Add the shell refused it is added, as the user asked for it") {
        shellAnswer = FALSE;
        t.Add(7, "again");
        t.NewTaskbar();
        REQUIRE(shellRequests.size() == 1);
        t.CheckLastAdd(7, t.firstIcon, "again");
    }
}

TEST_CASE("a refused icon is asked for again on every tick, for up to a minute") {
    RecordedTray t;
    shellAnswer = FALSE;
    t.Add(7, "Quillmere  1.4");
    t.Tick();
    CHECK(CountRequests(NIM_ADD) == 2);
    t.CheckLastAdd(7, t.firstIcon, "Quillmere  1.4");

    SUBCASE("until the shell takes it") {
        shellAnswer = TRUE;
        t.Tick();
        CHECK(CountRequests(NIM_ADD) == 3);
    }
    SUBCASE("until Remove") {
        t.tray.Remove();
    }
    SUBCASE("until the icon turns out to be there, added by a new taskbar") {
        iconInShell = TRUE;
        t.Tick();
        CHECK(CountRequests(NIM_ADD) == 2);
    }
    SUBCASE("for 30 ticks of 2 seconds at most") {
        for (int tick = 2; tick <= 30; ++tick) t.Tick();
        CHECK(CountRequests(NIM_ADD) == 31);
    }
    const size_t requests = shellRequests.size();
    t.Tick();
    CHECK(shellRequests.size() == requests);
}

TEST_CASE("an elevated program still hears of a new taskbar, where the system can say so") {
    SUBCASE("the hidden window lets \"TaskbarCreated\" through from any process") {
        FilterRecorder filter;
        RecordedTray t;
        t.Add(7);
        CHECK(filter.allowed == std::vector<FilterRecorder::Allowed>{
                                    {t.tray.window, RegisterWindowMessageA("TaskbarCreated")}});
    }
    SUBCASE("without the filter the icon is added all the same") {
        ScopedSet<MessageFilterFunction> filter(changeMessageFilter, nullptr);
        RecordedTray t;
        CHECK(t.Add(7) == TRUE);
    }
}
