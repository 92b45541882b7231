// Every suite runs its programs at the DPI of the run and leaves the prefix at 96 DPI.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include "harness.h"

int main(int argc, char** argv) {
    UseDpi(TestDpi());
    const int result = doctest::Context(argc, argv).run();
    UseDpi(96);
    return result;
}
