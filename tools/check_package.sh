#!/usr/bin/env bash
# Builds the .deb, checks its contents, dependencies and metadata (lintian, the desktop and
# AppStream entries, the manual page, the changelog), unpacks it into a scratch root and
# runs the unpacked program from an unrelated directory to the menu and out again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/ensure_packages.sh dpkg-dev file xvfb xauth xdotool lintian appstream desktop-file-utils \
    groff-base man-db

# Build with Debian's hardening flags, as a distribution build would. The package is always
# configured afresh, so a build-deb folder configured earlier cannot leave other settings.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CPPFLAGS=$(dpkg-buildflags --get CPPFLAGS)
CFLAGS="$(dpkg-buildflags --get CFLAGS) $CPPFLAGS"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $CPPFLAGS"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CFLAGS CXXFLAGS LDFLAGS
rm -f build-deb/CMakeCache.txt
tools/build.sh build-deb -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=OFF >/dev/null
(cd build-deb && rm -f ./*.deb && cpack >/dev/null)
deb=$(ls build-deb/gauss-jordan_*.deb)
echo "Package: $deb"

fail() { echo "package check failed: $*" >&2; exit 1; }

version=$(dpkg-deb -f "$deb" Version)
metainfo=usr/share/metainfo/io.github.gauss_jordan.GaussJordan.metainfo.xml
contents=$(dpkg-deb -c "$deb")
for path in usr/bin/gauss-jordan usr/share/applications/gauss-jordan.desktop \
    usr/share/icons/hicolor/scalable/apps/gauss-jordan.svg usr/share/gauss-jordan/examples/dva.txt \
    usr/share/man/man1/gauss-jordan.1.gz usr/share/doc/gauss-jordan/copyright \
    usr/share/doc/gauss-jordan/changelog.gz usr/share/locale/en/LC_MESSAGES/gauss-jordan.mo \
    "$metainfo"; do
    grep -q "\./$path\$" <<<"$contents" || fail "$path is missing"
done
for image in butyes butno start myska about uvod cakaj butyes_en butno_en start_en about_en uvod_en; do
    grep -q "\./usr/share/gauss-jordan/$image.tga\$" <<<"$contents" || fail "$image.tga is missing"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in liballegro4.4 libgmp10; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
echo "Depends: $depends"
apt-get install -s "./$deb" >/dev/null || fail "apt cannot resolve the package's dependencies"

# Lintian as Debian's archive runs it; informational tags are shown but only errors and
# warnings fail the check. No tag is overridden.
echo "lintian:"
lintian --display-info --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"

scratch=$(mktemp -d)
elsewhere=$(mktemp -d)
trap 'rm -rf "$scratch" "$elsewhere"' EXIT
dpkg -x "$deb" "$scratch"

desktop=$scratch/usr/share/applications/gauss-jordan.desktop
grep -q "^Exec=gauss-jordan %f$" "$desktop" ||
    fail "the desktop entry does not start gauss-jordan with the file it is given"
grep -q "^MimeType=text/plain;$" "$desktop" || fail "the desktop entry does not accept text files"
# desktop-file-validate exits 0 on hints too; any line it prints fails the check.
report=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$report" ] ||
    fail "desktop-file-validate: $report"

# The AppStream entry on its own, then against the tree (its launchable must exist there);
# --strict fails on anything above the pedantic level.
appstreamcli validate --no-net --strict "$scratch/$metainfo" >/dev/null ||
    fail "appstreamcli rejects the AppStream entry: $(appstreamcli validate --no-net --strict "$scratch/$metainfo")"
appstreamcli validate-tree --no-net --strict "$scratch" >/dev/null ||
    fail "appstreamcli rejects the installed tree: $(appstreamcli validate-tree --no-net --strict "$scratch")"
newest_release=$(grep -o -m1 '<release version="[^"]*"' "$scratch/$metainfo" | cut -d'"' -f2)
[ "$newest_release" = "$version" ] ||
    fail "the AppStream entry's newest release is $newest_release, the package is $version"

# The manual page must render without a single groff warning.
report=$(zcat "$scratch/usr/share/man/man1/gauss-jordan.1.gz" | groff -man -Tutf8 -ww -z 2>&1) &&
    [ -z "$report" ] || fail "the manual page does not render cleanly: $report"

# The changelog's newest entry is this package's version.
changelog=$(mktemp)
zcat "$scratch/usr/share/doc/gauss-jordan/changelog.gz" >"$changelog"
logged=$(dpkg-parsechangelog -l "$changelog" -S Version)
rm -f "$changelog"
[ "$logged" = "$version" ] || fail "the changelog's newest entry is $logged, the package is $version"
echo "Desktop entry, AppStream entry, manual page and changelog agree with version $version."

# The unpacked program's command line: its version, and a worked solution with no display.
program="$scratch/usr/bin/gauss-jordan"
example="$scratch/usr/share/gauss-jordan/examples/dva.txt"
reported=$(env -u DISPLAY "$program" --version)
[ "$reported" = "gauss-jordan $version" ] || fail "--version says '$reported', the package is $version"
solution=$(env -u DISPLAY "$program" --steps "$example" | grep '^Riesenie:' || true)
[ "$solution" = "Riesenie: x1 = 2, x2 = 1" ] || fail "--steps on dva.txt says '$solution'"
echo "The unpacked program prints its version and a worked solution without a display."

# Start the unpacked program from an empty directory with a file, as the desktop entry does:
# it must find its images in its own tree, open the work screen, go back to the menu on Esc
# and quit with exit code 0 on a second Esc. Its settings go to a folder of its own.
cat >"$elsewhere/drive.sh" <<'DRIVE'
#!/usr/bin/env bash
set -euo pipefail
XDG_CONFIG_HOME=$(mktemp -d) "$1" "$2" &
program=$!
xdotool search --sync --onlyvisible --name "Gauss-Jordanova eliminacia" >/dev/null
for _ in 1 2; do
    sleep 0.5
    xdotool keydown Escape; sleep 0.2; xdotool keyup Escape
done
for _ in $(seq 100); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
wait "$program"
DRIVE
chmod +x "$elsewhere/drive.sh"
(cd "$elsewhere" && timeout 60 xvfb-run -a -s "-screen 0 640x480x24 -nolisten tcp" \
    ./drive.sh "$program" "$example") || fail "the unpacked program did not run and quit cleanly"
echo "The unpacked program ran from $elsewhere and quit with exit code 0."
