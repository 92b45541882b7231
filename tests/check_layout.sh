#!/usr/bin/env bash
# Checks that the program's modules depend one way: no folder of src/ but src/app includes
# anything of src/app, the folders' includes form no loop, and core/, the ground that the
# program and the helper stand on, includes nothing of src/.
#   tests/check_layout.sh <source root>
set -uo pipefail
cd "$1/src" || exit 1
failed=0

reaching_up=$(grep -rn '#include "\.\./src/' ../core)
if [ -n "$reaching_up" ]; then
    echo "FAILED: core/ includes src/:"; echo "$reaching_up"; failed=1
fi

# "folder included-folder" for every include that leaves its own folder.
edges=$(grep -rHo '#include "\.\./[a-z_]*/' --include='*.cpp' --include='*.h' . |
    sed -E 's#^\./([a-z_]+)/[^:]*:\#include "\.\./([a-z_]+)/#\1 \2#' | sort -u)

upward=$(echo "$edges" | awk '$1 != "app" && $2 == "app"')
if [ -n "$upward" ]; then
    echo "FAILED: features include src/app:"; echo "$upward"; failed=1
fi
if ! echo "$edges" | tsort >/dev/null 2>&1; then
    echo "FAILED: the folders include each other in a loop:"; echo "$edges" | tsort 2>&1 >/dev/null
    failed=1
fi
echo "$(echo "$edges" | wc -l) folder dependencies, $([ $failed = 0 ] && echo none || echo some) wrong"
exit $failed
