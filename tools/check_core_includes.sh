#!/usr/bin/env bash
# Fails when a file of the pure core (matrix/) reads a header of another folder of the program
# or of the graphics library: asks the compiler which headers each file reads, so a header
# reached indirectly counts too.
# Usage: tools/check_core_includes.sh COMPILER PROJECT_ROOT
set -euo pipefail
compiler=$1
root=$(cd "$2" && pwd)

status=0
for source in "$root"/matrix/*.cpp; do
    # The compiler's dependency list, one path per line.
    headers=$("$compiler" -std=c++17 -M -I"$root" "$source" |
        sed -e 's/^[^:]*://' -e 's/\\$//' | tr ' ' '\n' | sed '/^$/d')
    while IFS= read -r header; do
        resolved=$(realpath -m "$header")
        case "$resolved" in
        "$root"/matrix/*) ;;
        "$root"/* | */allegro* | */X11/*)
            echo "${source#"$root"/} reads $resolved: the core may read only the standard" \
                "library, GMP and its own headers" >&2
            status=1
            ;;
        esac
    done <<<"$headers"
done
exit $status
