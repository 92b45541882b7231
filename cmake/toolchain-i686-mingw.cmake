# Cross-compiles for 32-bit Windows with Debian's MinGW-w64 toolchain: the shipped build.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Tests are Windows programs: CTest runs them through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
