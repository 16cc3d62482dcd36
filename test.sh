#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (under a virtual X server when there is no display).
set -euo pipefail
cd "$(dirname "$0")"

tools/ensure_packages.sh liballegro4-dev libgmp-dev cmake g++ make pkg-config \
    libgtest-dev libbenchmark-dev x11-utils xvfb xauth xfonts-base xdotool imagemagick libx11-dev \
    texlive-latex-base gettext locales
tools/ensure_locales.sh en_US.UTF-8 sk_SK.UTF-8
tools/build.sh build

cd build
if [ -n "${DISPLAY:-}" ]; then
    ctest --output-on-failure "$@"
else
    xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" ctest --output-on-failure "$@"
fi
