#!/bin/sh
# Rebuilds the image generator and rewrites the seven TGA pictures in this directory.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT

# shellcheck disable=SC2046  # pkg-config output is a list of separate flags
"${CXX:-g++}" -std=c++17 -O2 -Wall -Wextra -Wpedantic -Werror \
    -I"$root/platform" "$here/generator/make_images.cpp" \
    -o "$build/make_images" $(pkg-config --cflags --libs allegro)

"$build/make_images" "$here"
echo "generate.sh: images written to $here"
