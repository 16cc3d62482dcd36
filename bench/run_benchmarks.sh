#!/usr/bin/env bash
# Builds an optimised tree in build-bench/ and runs every benchmark: frame composition and
# eliminations, the same whole elimination in Python's fractions for comparison, then start-up
# time and idle CPU of the real program under Xvfb at 24 and 16 bits.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/ensure_packages.sh liballegro4-dev libgmp-dev cmake g++ make pkg-config libbenchmark-dev \
    libgtest-dev libx11-dev xvfb xauth python3
tools/build.sh build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
build-bench/bench/bench_engine --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$scratch/engine.json" --benchmark_out_format=json
python3 bench/python_fractions.py --compare "$scratch/engine.json"
mkdir "$scratch/empty"
for depth in 24 16; do
    echo "X server at $depth bits per pixel:"
    xvfb-run -a -s "-screen 0 640x480x$depth -nolisten tcp" \
        build-bench/bench/measure_shell "$root/build-bench/gauss-jordan" "$scratch/empty" 2>/dev/null
done
