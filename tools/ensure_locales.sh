#!/usr/bin/env bash
# Generates the named locales (e.g. en_US.UTF-8) that the system does not have yet, as root or
# through sudo; the tests run the program under them.
set -euo pipefail

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "ensure_locales.sh: run this as root or install sudo to generate $*" >&2
        exit 1
    fi
    as_root=(sudo)
fi
for name in "$@"; do
    # locale -a lists en_US.utf8 for en_US.UTF-8.
    listed=$(echo "$name" | sed -e 's/UTF-8$/utf8/')
    if ! locale -a 2>/dev/null | grep -qx "$listed"; then
        echo "Generating the locale $name"
        "${as_root[@]}" localedef -i "${name%%.*}" -f "${name##*.}" "$name"
    fi
done
