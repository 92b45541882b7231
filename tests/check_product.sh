#!/usr/bin/env bash
# Checks the shipped 32-bit files without running them: PE32 format, the core module's
# two undecorated exports, Windows' own DLLs as the only imports, and the shared section
# that holds the main window handle.
#   tests/check_product.sh <folder with Quillmere.exe and QuillCore.dll>
set -uo pipefail
dir=$1
objdump=i686-w64-mingw32-objdump
passed=0 failed=0

check() { # description, then a command that must succeed
    local what=$1; shift
    if "$@" >/dev/null 2>&1; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}

exports() { $objdump -p "$dir/QuillCore.dll" | sed -n '/Ordinal\/Name Pointer/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' '; }
imports() { $objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z'; }
only_system_imports() {
    local dll
    for dll in $(imports "$1"); do
        case "$dll" in
            KERNEL32.DLL|USER32.DLL|GDI32.DLL|COMDLG32.DLL|SHELL32.DLL|ADVAPI32.DLL|COMCTL32.DLL|MSVCRT.DLL) ;;
            *) echo "unexpected import $dll"; return 1 ;;
        esac
    done
}

check "Quillmere.exe is a 32-bit GUI program" bash -c "file '$dir/Quillmere.exe' | grep -q 'PE32 executable (GUI) Intel 80386'"
check "QuillCore.dll is a 32-bit DLL" bash -c "file '$dir/QuillCore.dll' | grep -q 'PE32 executable (DLL).*Intel 80386'"
check "QuillCore.dll exports exactly Quillmere and Unquillmere" test "$(exports)" = "Quillmere Unquillmere "
check "Quillmere.exe imports only Windows DLLs" only_system_imports "$dir/Quillmere.exe"
check "QuillCore.dll imports only Windows DLLs" only_system_imports "$dir/QuillCore.dll"
check "the main window handle lives in a shared section of its own" \
    bash -c "$objdump -h '$dir/Quillmere.exe' | grep -A1 ' ShareDat ' | grep -q 'DATA, SHARED'"
check "the shared section holds one 32-bit value" \
    bash -c "$objdump -h '$dir/Quillmere.exe' | grep ' ShareDat ' | awk '{print \$3}' | grep -qx 00000004"

check "Quillmere.exe is at most 48 KiB" test "$(stat -c %s "$dir/Quillmere.exe")" -le $((48 * 1024))
check "QuillCore.dll is at most 24 KiB" test "$(stat -c %s "$dir/QuillCore.dll")" -le $((24 * 1024))

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
