#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

int main(int argc, char** argv) {
    InitCommonControls(); // registers the list view class the tests create
    return doctest::Context(argc, argv).run();
}
