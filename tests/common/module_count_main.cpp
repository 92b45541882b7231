// ModuleCount.exe <process id> <file name>: exits with the loader's count of references
// to that module in that process (-1 when unreadable), for tests that are 32-bit and so
// cannot read a 64-bit process's loader list themselves.
#include <stdlib.h>

#include "module_count.h"

int main(int argc, char** argv) {
    if (argc != 3) return -1;
    return ModuleLoadCount64(strtoul(argv[1], nullptr, 10), argv[2]);
}
