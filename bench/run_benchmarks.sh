#!/usr/bin/env bash
# Builds an optimised tree in build-bench/ and runs every benchmark: frame composition and
# eliminations, then start-up time and idle CPU of the real program under Xvfb at 24 and 16 bits.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/ensure_packages.sh liballegro4-dev libgmp-dev cmake g++ make pkg-config libbenchmark-dev \
    libgtest-dev libx11-dev xvfb xauth
tools/build.sh build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null

build-bench/bench/bench_engine --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
empty=$(mktemp -d)
trap 'rm -rf "$empty"' EXIT
for depth in 24 16; do
    echo "X server at $depth bits per pixel:"
    xvfb-run -a -s "-screen 0 640x480x$depth -nolisten tcp" \
        build-bench/bench/measure_shell "$root/build-bench/gauss-jordan" "$empty" 2>/dev/null
done
