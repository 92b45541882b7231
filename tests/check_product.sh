#!/usr/bin/env bash
# Checks the shipped files without running them: the 32-bit program and core module and
# the 64-bit core module and helper (format, the modules' two undecorated exports,
# Windows' own DLLs as the only imports, the shared section that holds the main window
# handle, sizes), and the download made of them (folder, zip, checksum).
#   tests/check_product.sh <folder of the built files> <dist folder>
set -uo pipefail
# The tools' own words are matched below: never in the test run's Chinese locale.
export LC_ALL=C
dir=$1
dist=$2
# Reads both 32-bit and 64-bit files.
objdump=x86_64-w64-mingw32-objdump
passed=0 failed=0

check() { # description, then a command that must succeed
    local what=$1; shift
    if "$@" >/dev/null 2>&1; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}

exports() { $objdump -p "$dir/$1" | sed -n '/Ordinal\/Name Pointer/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' '; }
# The names of the DLLs a file imports; fails when the file cannot be read as a PE file or
# imports nothing, as every file built here imports KERNEL32.DLL at least.
imports() {
    local headers
    headers=$($objdump -p "$1") || return 1
    sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'a-z' 'A-Z' | grep .
}
only_system_imports() {
    local dll list
    list=$(imports "$1") || { echo "no imports read from $1"; return 1; }
    for dll in $list; do
        case "$dll" in
            KERNEL32.DLL|USER32.DLL|GDI32.DLL|COMDLG32.DLL|SHELL32.DLL|ADVAPI32.DLL|COMCTL32.DLL|MSVCRT.DLL) ;;
            *) echo "unexpected import $dll"; return 1 ;;
        esac
    done
}

check "Quillmere.exe is a 32-bit GUI program" bash -c "file '$dir/Quillmere.exe' | grep -q 'PE32 executable (GUI) Intel 80386'"
check "QuillCore.dll is a 32-bit DLL" bash -c "file '$dir/QuillCore.dll' | grep -q 'PE32 executable (DLL).*Intel 80386'"
check "QuillCore64.dll is a 64-bit DLL" bash -c "file '$dir/QuillCore64.dll' | grep -q 'PE32+ executable (DLL).*x86-64'"
check "QuillHost64.exe is a 64-bit program without a console" \
    bash -c "file '$dir/QuillHost64.exe' | grep -q 'PE32+ executable (GUI) x86-64'"
for core in QuillCore.dll QuillCore64.dll; do
    check "$core exports exactly Quillmere and Unquillmere" test "$(exports $core)" = "Quillmere Unquillmere "
done
for file in Quillmere.exe QuillCore.dll QuillCore64.dll QuillHost64.exe; do
    check "$file imports only Windows DLLs" only_system_imports "$dir/$file"
done
# Systems without WOW64 lack it; an import of it would keep the module from loading there.
# The import table read as a whole first, so that an unreadable file cannot pass.
lacks_import() { local headers; headers=$($objdump -p "$1") && grep -q 'DLL Name:' <<<"$headers" && ! grep -q "$2" <<<"$headers"; }
check "QuillCore.dll does not import IsWow64Process" lacks_import "$dir/QuillCore.dll" IsWow64Process
# No build time, so that the same sources give the same files: the PE header's stamp (at
# the offset the DOS header gives, plus 8) and, in the modules, the export directory's.
pe_stamp() { local at; at=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null) && od -An -tu4 -j$((at + 8)) -N4 "$1" 2>/dev/null | tr -d ' '; }
for file in Quillmere.exe QuillCore.dll QuillCore64.dll QuillHost64.exe; do
    check "$file carries no build time" test "$(pe_stamp "$dir/$file")" = 0
done
for core in QuillCore.dll QuillCore64.dll; do
    check "$core's exports carry no build time" \
        bash -c "$objdump -p '$dir/$core' | grep -qx 'Time/Date stamp\s*0'"
done
check "the main window handle lives in a shared section of its own" \
    bash -c "$objdump -h '$dir/Quillmere.exe' | grep -A1 ' ShareDat ' | grep -q 'DATA, SHARED'"
check "the shared section holds one 32-bit value" \
    bash -c "$objdump -h '$dir/Quillmere.exe' | grep ' ShareDat ' | awk '{print \$3}' | grep -qx 00000004"

check "Quillmere.exe is at most 48 KiB" test "$(stat -c %s "$dir/Quillmere.exe")" -le $((48 * 1024))
for file in QuillCore.dll QuillCore64.dll QuillHost64.exe; do
    check "$file is at most 24 KiB" test "$(stat -c %s "$dir/$file")" -le $((24 * 1024))
done

folder=$dist/Quillmere
check "the download folder holds the four files and README.txt, nothing else" \
    test "$(LC_ALL=C ls "$folder" | tr '\n' ' ')" = "QuillCore.dll QuillCore64.dll QuillHost64.exe Quillmere.exe README.txt "
for file in Quillmere.exe QuillCore.dll QuillCore64.dll QuillHost64.exe; do
    check "the download's $file is the built one" cmp "$dir/$file" "$folder/$file"
done
check "README.txt is UTF-8 with a byte-order mark" \
    bash -c "head -c3 '$folder/README.txt' | od -An -tx1 | grep -q 'ef bb bf' && iconv -f UTF-8 -t UTF-8 '$folder/README.txt'"
unpacked=$(mktemp -d)
check "the zip holds the download folder and nothing else" \
    bash -c "cd '$dist' && unzip -q Quillmere-*.zip -d '$unpacked' && test \"\$(ls '$unpacked')\" = Quillmere && diff -r '$unpacked/Quillmere' Quillmere"
rm -rf "$unpacked"
check "the checksum file matches the zip" bash -c "cd '$dist' && sha256sum --quiet -c Quillmere-*.zip.sha256"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
