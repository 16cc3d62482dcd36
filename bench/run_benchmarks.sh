#!/usr/bin/env bash
# Builds an optimised tree in build-bench/ and runs every benchmark: frame composition and
# eliminations beside the same elimination in Python's fractions, the slowest frames of a solve
# of the worst accepted system, the printed worked solution of the largest example and of a
# 10x10 with three free unknowns, --check of the largest example's printout and of a class of 30
# copies of it with its CSV table, and the idle CPU of the real program and its X server at 24
# and 16 bits, beside a baseline build that copied every frame whole (BASELINE_REV, a revision
# of this repository; "none" skips it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
baseline_rev=${BASELINE_REV:-020c42f~1}

tools/ensure_packages.sh liballegro4-dev libgmp-dev cmake g++ make pkg-config libbenchmark-dev \
    libgtest-dev libx11-dev xvfb xauth xdotool python3 git
tools/build.sh build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null

# Runs build-bench/gauss-jordan with the arguments after the label 20 times and prints the
# median wall time under the label.
median_of_20() {
    local label=$1 times=() start
    shift
    for _ in $(seq 20); do
        start=$(date +%s%N)
        build-bench/gauss-jordan "$@" >/dev/null
        times+=($((($(date +%s%N) - start) / 1000)))
    done
    echo "$label: median $(printf '%s\n' "${times[@]}" | sort -n | sed -n 10p) us"
}

scratch=$(mktemp -d)
trap 'git worktree remove --force "$scratch/baseline" 2>/dev/null || true; rm -rf "$scratch"' EXIT

echo "== Frames and eliminations"
build-bench/bench/bench_engine --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$scratch/engine.json" --benchmark_out_format=json
python3 bench/python_fractions.py --compare "$scratch/engine.json"

echo "== A solve on screen of the worst system the loader accepts"
xvfb-run -a -s "-screen 0 640x480x24 -nolisten tcp" \
    build-bench/bench/bench_solve_frames "$root/build-bench"

echo "== I on screen: [A | I] of a 5x5 of 120-digit entries"
xvfb-run -a -s "-screen 0 640x480x24 -nolisten tcp" \
    build-bench/bench/bench_solve_frames "$root/build-bench" 120 inverse

echo "== The printed worked solution of examples/desat2.txt (10x10), 20 runs"
median_of_20 "gauss-jordan --steps desat2.txt" --steps examples/desat2.txt

echo "== The printed worked solution of bench/three_free.txt (10x10, three free unknowns), 20 runs"
median_of_20 "gauss-jordan --steps three_free.txt" --steps bench/three_free.txt

echo "== The printed worked solution of bench/six_by_ten.txt (6 equations, 10 unknowns), 20 runs"
median_of_20 "gauss-jordan --steps six_by_ten.txt" --steps bench/six_by_ten.txt

echo "== A worksheet of 30 variants of a 4x4, 20 runs"
median_of_20 "gauss-jordan --exercise --random 4 --count 30" --exercise --random 4 --count 30 --seed 1

echo "== --check of the printed worked solution of examples/desat2.txt (10x10, 98 steps), 20 runs"
build-bench/gauss-jordan --steps examples/desat2.txt >"$scratch/desat2_steps.txt"
median_of_20 "gauss-jordan --check desat2.txt" --check examples/desat2.txt "$scratch/desat2_steps.txt"

echo "== --check of a class: 30 hand-ins of that printout in a folder, with --csv, 20 runs"
mkdir "$scratch/class"
for k in $(seq -w 30); do cp "$scratch/desat2_steps.txt" "$scratch/class/ziak$k.txt"; done
median_of_20 "gauss-jordan --check desat2.txt class/ --csv (30 x 98 steps)" \
    --check examples/desat2.txt "$scratch/class" --csv "$scratch/class.csv"

echo "== --inverse of bench/inverse_10x10_30.txt (10x10, 30-digit entries), 20 runs"
median_of_20 "gauss-jordan --inverse inverse_10x10_30.txt" --inverse bench/inverse_10x10_30.txt

echo "== Idle CPU of the program and the X server"
baseline=()
if [ "$baseline_rev" != none ] && git worktree add --detach "$scratch/baseline" "$baseline_rev" >/dev/null 2>&1; then
    cmake -S "$scratch/baseline" -B "$scratch/baseline-build" -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=OFF >/dev/null
    cmake --build "$scratch/baseline-build" -j"$(nproc)" >/dev/null
    baseline=("$scratch/baseline-build/gauss-jordan")
    echo "baseline: $(git log -1 --format='%h %s' "$baseline_rev")"
fi
for depth in 24 16; do
    build-bench/bench/measure_shell "$depth" "$root/build-bench/gauss-jordan" "${baseline[@]}" 2>/dev/null
done
