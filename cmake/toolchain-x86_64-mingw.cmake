# Cross-compiles for 64-bit Windows: the test build for machines that cannot run 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# CTest runs the tests through wine64.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
