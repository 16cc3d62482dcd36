#!/usr/bin/env bash
# Remakes the README's screenshots from the real program under a private X server, into
# docs/images/ (or the folder given as the first argument). Fails when a screen cannot be reached.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
target=${1:-docs/images}

tools/ensure_packages.sh liballegro4-dev libgmp-dev cmake g++ make pkg-config libgtest-dev \
    libbenchmark-dev libx11-dev xvfb xauth xdotool x11-utils imagemagick
tools/build.sh build >/dev/null

shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
SCREENSHOT_DIR=$shots build/tests/e2e/e2e_tests --gtest_filter='Screenshots.*'
mkdir -p "$target"
for name in menu settings loaded solving finished editor practice inverse; do
    [ -s "$shots/$name.ppm" ] || { echo "no picture of the $name screen" >&2; exit 1; }
    convert "$shots/$name.ppm" -strip "$target/$name.png"
done
echo "Screenshots written to $target/"
