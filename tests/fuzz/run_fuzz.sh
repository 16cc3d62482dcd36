#!/bin/sh
# Builds one libFuzzer target with clang and runs it for a bounded time.
# Usage: tests/fuzz/run_fuzz.sh TARGET [seconds [extra libFuzzer flags...]]
# TARGET is loader, settings, command_line, operation or work. New inputs and crash artifacts go to
# $FUZZ_OUT/TARGET (default build/fuzz/TARGET); the seed corpus in tests/fuzz/corpus/TARGET is
# only read.
set -eu
target=$1
seconds=${2:-60}
shift
[ $# -gt 0 ] && shift
root=$(cd "$(dirname "$0")/../.." && pwd)
# Every target links the whole pure core, so that a new file there never breaks a fuzz build, plus
# the one shell file it reads; libFuzzer's coverage reaches all of them.
case "$target" in
loader | operation | work) sources="" ;;
settings) sources="platform/settings_file.cpp" ;;
command_line) sources="app/command_line.cpp" ;;
*)
    echo "unknown fuzz target '$target'" >&2
    exit 64
    ;;
esac
sources="$sources $(cd "$root" && ls matrix/*.cpp)"
out=${FUZZ_OUT:-$root/build/fuzz}/$target
mkdir -p "$out/corpus"
paths=""
for source in $sources; do paths="$paths $root/$source"; done
# shellcheck disable=SC2086 # the source list is split on purpose
${FUZZ_CXX:-clang++} -std=c++17 -g -O1 -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root" "$root/tests/fuzz/fuzz_$target.cpp" $paths \
    $(pkg-config --cflags --libs gmpxx gmp) -o "$out/fuzz_$target"
exec "$out/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=5 \
    -artifact_prefix="$out/" "$@" "$out/corpus" "$root/tests/fuzz/corpus/$target"
