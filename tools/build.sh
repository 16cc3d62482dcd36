#!/usr/bin/env bash
# Configures (once) and builds the project into the given build directory with extra CMake options.
set -euo pipefail

build_dir=$1
shift
root=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$root/$build_dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$root/$build_dir" -DWERROR=ON "$@" >/dev/null
fi
cmake --build "$root/$build_dir" -j"$(nproc)"
