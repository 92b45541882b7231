#include <doctest.h>

#include <string>

#include "../../core/host64_command.h"
#include "../../core/icon_view.h"

TEST_CASE("the helper reads back the command line the 32-bit module writes") {
    // The longest path the module passes, with blanks, and the longest arguments.
    const std::wstring longPath =
        L"C:\\Program Files (x86)\\" + std::wstring(MAX_PATH - 40, L'q') + L"\\QuillHost64.exe";
    REQUIRE(longPath.size() == MAX_PATH - 1);
    const Host64Request sent[] = {
        {static_cast<HWND>(LongToHandle(0x000200A4)), RGB(255, 255, 0), 4001},
        {static_cast<HWND>(LongToHandle(static_cast<LONG>(0xFFFF1234))), 0xFFFFFFFF,
         -2147483647 - 1},
    };
    for (const Host64Request& request : sent) {
        wchar_t commandLine[kHost64CommandLength];
        FormatHost64Command(longPath.c_str(), request, commandLine);
        CAPTURE(std::string(commandLine, commandLine + lstrlenW(commandLine)));
        Host64Request read = {};
        REQUIRE(ParseHost64Command(commandLine, &read));
        CHECK(read.view == request.view);
        CHECK(read.textColor == request.textColor);
        CHECK(read.textStyle == request.textStyle);
    }
}

TEST_CASE("the helper's arguments may be upper case and between any blanks") {
    Host64Request read = {};
    REQUIRE(ParseHost64Command(L"QuillHost64.exe\t 2A0B  FFff00 -7 ", &read));
    CHECK(read.view == static_cast<HWND>(LongToHandle(0x2A0B)));
    CHECK(read.textColor == 0xFFFF00);
    CHECK(read.textStyle == -7);
    CHECK_FALSE(ParseHost64Command(L"\"C:\\no closing quote 2a0b ffff00 1", &read));
}

TEST_CASE("only the desktop's icon view is accepted, in each tree the shell builds") {
    LoadLibraryA("comctl32.dll");
    for (const char* name : {"Progman", "WorkerW", "SHELLDLL_DefView", "OtherParent"}) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = name;
        RegisterClassA(&windowClass);
    }
    const struct {
        const char* top;
        const char* parent;
        const char* viewClass;
        int id;
        bool accepted;
    } trees[] = {
        {"Progman", "SHELLDLL_DefView", "SysListView32", 1, true},
        {"WorkerW", "SHELLDLL_DefView", "SysListView32", 1, true},
        {"Progman", "SHELLDLL_DefView", "SysListView32", 2, false},
        {"Progman", "SHELLDLL_DefView", "Static", 1, false},
        {"Progman", "OtherParent", "SysListView32", 1, false},
        {"OtherParent", "SHELLDLL_DefView", "SysListView32", 1, false},
    };
    for (const auto& tree : trees) {
        CAPTURE(tree.top);
        CAPTURE(tree.parent);
        CAPTURE(tree.viewClass);
        CAPTURE(tree.id);
        HWND top = CreateWindowExA(0, tree.top, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
        HWND parent = CreateWindowExA(0, tree.parent, "", WS_CHILD, 0, 0, 10, 10, top, nullptr,
                                      nullptr, nullptr);
        HWND view = CreateWindowExA(0, tree.viewClass, "", WS_CHILD, 0, 0, 10, 10, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(tree.id)),
                                    nullptr, nullptr);
        REQUIRE(view != nullptr);
        CHECK(IsDesktopIconView(view) == tree.accepted);
        DestroyWindow(top);
    }
    CHECK_FALSE(IsDesktopIconView(nullptr));
}
