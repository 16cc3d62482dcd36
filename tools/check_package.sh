#!/usr/bin/env bash
# Builds the .deb, checks its contents and dependencies, unpacks it into a scratch root and
# runs the unpacked program from an unrelated directory to the menu and out again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/ensure_packages.sh dpkg-dev file xvfb xauth xdotool
tools/build.sh build-deb -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=OFF >/dev/null
(cd build-deb && rm -f ./*.deb && cpack >/dev/null)
deb=$(ls build-deb/gauss-jordan_*.deb)
echo "Package: $deb"

fail() { echo "package check failed: $*" >&2; exit 1; }

contents=$(dpkg-deb -c "$deb")
for path in usr/bin/gauss-jordan usr/share/applications/gauss-jordan.desktop \
    usr/share/icons/hicolor/scalable/apps/gauss-jordan.svg usr/share/gauss-jordan/examples/dva.txt; do
    grep -q "\./$path\$" <<<"$contents" || fail "$path is missing"
done
for image in butyes butno start myska about uvod cakaj; do
    grep -q "\./usr/share/gauss-jordan/$image.tga\$" <<<"$contents" || fail "$image.tga is missing"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in liballegro4.4 libgmp10; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
echo "Depends: $depends"
apt-get install -s "./$deb" >/dev/null || fail "apt cannot resolve the package's dependencies"

scratch=$(mktemp -d)
elsewhere=$(mktemp -d)
trap 'rm -rf "$scratch" "$elsewhere"' EXIT
dpkg -x "$deb" "$scratch"
grep -q "^Exec=gauss-jordan$" "$scratch/usr/share/applications/gauss-jordan.desktop" ||
    fail "the desktop entry does not start gauss-jordan"

# Start the unpacked program from an empty directory: it must find its images in its own
# tree, show the menu, and quit with exit code 0 on Esc.
cat >"$elsewhere/drive.sh" <<'DRIVE'
#!/usr/bin/env bash
set -euo pipefail
"$1" &
program=$!
xdotool search --sync --onlyvisible --name "Gauss-Jordanova eliminacia" >/dev/null
sleep 0.5
xdotool keydown Escape; sleep 0.2; xdotool keyup Escape
for _ in $(seq 100); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
wait "$program"
DRIVE
chmod +x "$elsewhere/drive.sh"
(cd "$elsewhere" && timeout 60 xvfb-run -a -s "-screen 0 640x480x24 -nolisten tcp" \
    ./drive.sh "$scratch/usr/bin/gauss-jordan") || fail "the unpacked program did not run and quit cleanly"
echo "The unpacked program ran from $elsewhere and quit with exit code 0."
