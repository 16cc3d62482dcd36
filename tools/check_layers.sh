#!/usr/bin/env bash
# Fails when a file of one of the program's folders reads a header of a folder above it. The
# folders are layers, from the floor up: matrix/ (the pure core: the standard library and GMP
# only, not even the graphics library or the message catalogs), platform/ (display, frames,
# input, images, the line editor, settings, the language: nothing of the screens), work/ (the
# work screen) and app/ (the menu, the settings screen, main and the command line). It asks the
# compiler which headers each file reads, so a header reached indirectly counts too.
# Usage: tools/check_layers.sh COMPILER PROJECT_ROOT FOLDER...
set -euo pipefail
compiler=$1
root=$(cd "$2" && pwd)
shift 2

# The project folders a folder may read, itself included.
allowed_folders() {
    case $1 in
    matrix) echo "matrix" ;;
    platform) echo "matrix platform" ;;
    work) echo "matrix platform work" ;;
    app) echo "matrix platform work app" ;;
    *)
        echo "check_layers.sh: unknown folder '$1'" >&2
        exit 2
        ;;
    esac
}

status=0
for folder in "$@"; do
    allowed=$(allowed_folders "$folder")
    for source in "$root/$folder"/*.cpp; do
        # The compiler's dependency list, one path per line.
        headers=$("$compiler" -std=c++17 -M -I"$root" "$source" |
            sed -e 's/^[^:]*://' -e 's/\\$//' | tr ' ' '\n' | sed '/^$/d')
        while IFS= read -r header; do
            resolved=$(realpath -m "$header")
            case "$resolved" in
            "$root"/*)
                read_folder=${resolved#"$root"/}
                read_folder=${read_folder%%/*}
                if [[ " $allowed " != *" $read_folder "* ]]; then
                    echo "${source#"$root"/} reads ${resolved#"$root"/}: $folder/ may read only" \
                        "$allowed" >&2
                    status=1
                fi
                ;;
            */allegro* | */X11/*)
                if [ "$folder" = matrix ]; then
                    echo "${source#"$root"/} reads $resolved: the core may read only the" \
                        "standard library, GMP and its own headers" >&2
                    status=1
                fi
                ;;
            esac
        done <<<"$headers"
        # The message catalogs reach the core only through its translation hook. The standard
        # library's own <locale> reads libintl.h, so only the core's own includes count here.
        if [ "$folder" = matrix ] && grep -Eq '^[[:space:]]*#[[:space:]]*include[[:space:]]*<libintl\.h>' \
            "$source" "${source%.cpp}.h" 2>/dev/null; then
            echo "${source#"$root"/} includes libintl.h: the core reaches the message catalogs" \
                "only through tr()" >&2
            status=1
        fi
    done
done
exit $status
