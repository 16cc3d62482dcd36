#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program among the example matrices.
set -euo pipefail
cd "$(dirname "$0")"

tools/ensure_packages.sh liballegro4-dev libgmp-dev cmake g++ make pkg-config \
    libgtest-dev libbenchmark-dev x11-utils libx11-dev
tools/build.sh build >/dev/null

if [ -z "${DISPLAY:-}" ]; then
    echo "No display: DISPLAY is not set, so the program cannot open its window." >&2
    echo "Run it from a desktop session, or under a virtual X server:" >&2
    echo "    sudo apt-get install xvfb && xvfb-run -a ./run.sh" >&2
    exit 1
fi
# The example matrices load by their short names from here; the images lie beside the program.
cd examples
exec ../build/gauss-jordan "$@"
