#!/usr/bin/env bash
# Prints a 10x10 system whose every entry has DIGITS digits and a sign, the same for the same
# SEED everywhere (the digits come from sha256sum): make_wide_matrix.sh DIGITS SEED.
set -euo pipefail

digits=$1
seed=$2
order=10

# Prints the digits of entry r,c: hashes of the seed, the cell and a counter, hex letters
# taken as digits, a leading zero made a one.
entry_digits() {
    local text="" k=0
    while [ ${#text} -lt "$digits" ]; do
        text+=$(printf '%s' "$seed:$1:$2:$k" | sha256sum | cut -c1-64 | tr 'abcdef' '012345')
        k=$((k + 1))
    done
    text=${text:0:$digits}
    [ "${text:0:1}" = 0 ] && text=1${text:1}
    printf '%s' "$text"
}

echo "$order"
for ((r = 0; r < order; r++)); do
    row=""
    for ((c = 0; c <= order; c++)); do
        sign=$(printf '%s' "$seed:$r:$c:sign" | sha256sum | cut -c1)
        case $sign in [0-7]) sign="" ;; *) sign="-" ;; esac
        row+="${row:+ }$sign$(entry_digits "$r" "$c")"
    done
    echo "$row"
done
