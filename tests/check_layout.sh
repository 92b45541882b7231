#!/usr/bin/env bash
# Checks that the program's modules depend one way, as the README's layout says: a feature
# folder of src/ includes only its own files and src/common; src/common only its own;
# src/app also the features. Any folder may include core/, the ground that the program and
# the helper stand on, which itself includes nothing of src/; nothing of src/ includes
# anything else outside src/.
#   tests/check_layout.sh <source root>
set -uo pipefail
cd "$1" || exit 1
features="about color desktop settings tray"
failed=0 count=0

allowed() { # folder of the including file, folder of the included one
    [ "$1" = "$2" ] || [ "$2" = src/common ] || [ "$2" = core ] && return 0
    [ "$1" = src/app ] && [[ " $features " == *" ${2#src/} "* ]]
}

reaching_up=$(grep -rn '#include "\.\./src/' core)
if [ -n "$reaching_up" ]; then
    echo "FAILED: core/ includes src/:"; echo "$reaching_up"; failed=1
fi

while IFS=: read -r file include; do
    count=$((count + 1))
    from=$(dirname "$file")
    target=$(realpath -m --relative-to=. "$from/$include")
    if ! allowed "$from" "$(dirname "$target")"; then
        echo "FAILED: $file includes $include"; failed=1
    fi
done < <(grep -rHo '^#include "[^"]*"' --include='*.cpp' --include='*.h' src |
         sed -E 's/:#include "(.*)"$/:\1/')

for folder in src/*/; do
    folder=${folder%/}
    case " app common $features " in *" ${folder#src/} "*) ;; *) echo "FAILED: $folder is not in the layout"; failed=1 ;; esac
done
echo "$count includes checked, $([ $failed = 0 ] && echo none || echo some) wrong"
exit $failed
