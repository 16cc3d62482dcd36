#!/bin/sh
# Builds the matrix file reader's libFuzzer target with clang and runs it for a bounded time.
# Usage: tests/fuzz/run_fuzz.sh [seconds [extra libFuzzer flags...]]
# New inputs and crash artifacts go to $FUZZ_OUT (default build/fuzz); the seed corpus
# in tests/fuzz/corpus is only read.
set -eu
seconds=${1:-60}
[ $# -gt 0 ] && shift
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${FUZZ_OUT:-$root/build/fuzz}
mkdir -p "$out/corpus"
${FUZZ_CXX:-clang++} -std=c++17 -g -O1 -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root" "$root/tests/fuzz/fuzz_loader.cpp" "$root/matrix/store.cpp" \
    "$root/matrix/matrix_file.cpp" $(pkg-config --cflags --libs gmpxx gmp) \
    -o "$out/fuzz_loader"
exec "$out/fuzz_loader" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=5 \
    -artifact_prefix="$out/" "$@" "$out/corpus" "$root/tests/fuzz/corpus"
