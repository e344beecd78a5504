#!/usr/bin/env bash
# Builds the Debian package from debian/ with dpkg-buildpackage, in a clean copy of the tracked
# files, and checks it as a user would get it: lintian, its files and metadata, its desktop entry
# and AppStream data, then installs it with apt, runs the installed programs and the package's own
# smoke test (debian/tests/smoke) and removes it again. The package and its build log are left in
# build/debian/.
#
#   tools/package.sh           on this machine
#   tools/package.sh --fresh   also in a fresh Debian 12 (debootstrap) that has nothing but the
#                              package's declared dependencies; needs root and a few minutes
set -euo pipefail
cd "$(dirname "$0")/.."
fresh=false
case "${1:-}" in
--fresh) fresh=true ;;
"") ;;
*) echo "usage: tools/package.sh [--fresh]" >&2; exit 2 ;;
esac

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
packages=(git dpkg-dev debhelper lintian desktop-file-utils appstream imagemagick)
$fresh && packages+=(debootstrap)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
updated=false
if [ ${#missing[@]} -gt 0 ]; then
    "${sudo[@]}" apt-get update
    updated=true
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

work=$(mktemp -d)
cleanup() { rm -rf "$work"; }
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# ---- built from the tracked files, edits included, with nothing of the developer's build/ ----
version=$(dpkg-parsechangelog -l debian/changelog -S Version)
out=$PWD/build/debian
src=$work/orvanta-$version
mkdir -p "$src"
snapshot=$(git stash create)
git archive --format=tar "${snapshot:-HEAD}" | tar -x -C "$src"
if ! (cd "$src" && dpkg-checkbuilddeps 2>/dev/null); then
    $updated || "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get build-dep -y --no-install-recommends "$src"
fi
rm -rf "$out"
mkdir -p "$out"
echo "Building the package (log: build/debian/build.log)"
if ! (cd "$src" && nice -n 10 dpkg-buildpackage -us -uc -b -jauto) >"$out/build.log" 2>&1; then
    tail -25 "$out/build.log"
    echo "FAIL: dpkg-buildpackage"
    exit 1
fi
mv "$work"/*.deb "$work"/*.buildinfo "$work"/*.changes "$out/"
deb=$out/orvanta_${version}_$(dpkg --print-architecture).deb
lintian --fail-on error,warning "$deb" || fail "lintian"

# ---- what the package holds and says ----
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' | sort >"$work/files"
sort >"$work/expected" <<'FILES'
/usr/bin/orvanta
/usr/bin/orvanta-snapshot
/usr/bin/orvanta-state
/usr/share/applications/org.orvanta.Orvanta.desktop
/usr/share/doc/orvanta/CREDITS.md
/usr/share/doc/orvanta/DejaVuSans-Bold.LICENSE
/usr/share/doc/orvanta/changelog.gz
/usr/share/doc/orvanta/copyright
/usr/share/icons/hicolor/128x128/apps/org.orvanta.Orvanta.png
/usr/share/icons/hicolor/16x16/apps/org.orvanta.Orvanta.png
/usr/share/icons/hicolor/256x256/apps/org.orvanta.Orvanta.png
/usr/share/icons/hicolor/32x32/apps/org.orvanta.Orvanta.png
/usr/share/icons/hicolor/48x48/apps/org.orvanta.Orvanta.png
/usr/share/icons/hicolor/64x64/apps/org.orvanta.Orvanta.png
/usr/share/man/man1/orvanta-snapshot.1.gz
/usr/share/man/man1/orvanta-state.1.gz
/usr/share/man/man1/orvanta.1.gz
/usr/share/metainfo/org.orvanta.Orvanta.metainfo.xml
/usr/share/orvanta/org.orvanta.Orvanta.desktop
/usr/share/orvanta/screenshot.png
FILES
diff -u "$work/expected" "$work/files" || fail "the package's files"
[ "$(dpkg-deb -f "$deb" Package)" = orvanta ] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6network6 libegl1 libopengl0 libxcb1 qt6-qpa-plugins libegl-mesa0 \
    libgl1-mesa-dri tzdata; do
    echo "$depends" | grep -qw "$needed" || fail "Depends lacks $needed: $depends"
done
recommends=$(dpkg-deb -f "$deb" Recommends)
[ "$recommends" = "fonts-dejavu-core, qt6-wayland" ] || fail "Recommends: $recommends"
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/org.orvanta.Orvanta.desktop" || fail "desktop entry"
desktop-file-validate "$work/root/usr/share/orvanta/org.orvanta.Orvanta.desktop" || fail "autostart entry"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.orvanta.Orvanta.metainfo.xml" ||
    fail "AppStream metainfo"
[ "$(identify -format '%wx%h' "$work/root/usr/share/orvanta/screenshot.png")" = 640x480 ] ||
    fail "screenshot"

# ---- installed, as a user runs it (no display here) ----
# Runs the package's smoke test (the two tools' output) at path $2 in the system at root $1, and
# the checks it does not make; the rest runs a command in that system.
try_installed() {
    local root=$1 smoke=$2
    shift 2
    local in=("$@")
    "${in[@]}" "$smoke" || fail "the package's smoke test"
    "${in[@]}" env -u DISPLAY -u WAYLAND_DISPLAY orvanta-snapshot --utc 2003-08-27T09:52:19 \
        --out /tmp/orvanta-package-check.png || fail "installed orvanta-snapshot"
    local out
    out=$("${in[@]}" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM orvanta 2>&1) &&
        fail "orvanta without a display should exit 1"
    echo "$out" | grep -q "no display" || fail "orvanta without a display: $out"
    # The orbit diagram is drawn (its OpenGL is all there), not left black.
    local picture=$root/tmp/orvanta-package-check.png mean
    mean=$(convert "$picture" -crop 440x480+0+0 -format '%[fx:mean]' info:)
    awk -v m="$mean" 'BEGIN { exit !(m > 0.15) }' || fail "no orbit diagram in the snapshot"
    rm -f "$picture"
}

DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "$deb" >/dev/null
try_installed "" "$src/debian/tests/smoke"
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get remove -y --purge orvanta >/dev/null
command -v orvanta >/dev/null && fail "orvanta left after removal"

if $fresh; then
    # A fresh Debian 12 with only what the package declares: debootstrap's minimal system.
    root=$work/fresh
    "${sudo[@]}" debootstrap --variant=minbase bookworm "$root" >"$work/debootstrap.log" 2>&1 ||
        { tail -20 "$work/debootstrap.log"; fail "debootstrap"; }
    cp "$deb" "$root/tmp/"
    cp "$src/debian/tests/smoke" "$root/tmp/orvanta-smoke"
    "${sudo[@]}" mount -t proc proc "$root/proc"
    trap '"${sudo[@]}" umount "$root/proc" 2>/dev/null; "${sudo[@]}" rm -rf "$work"' EXIT
    "${sudo[@]}" chroot "$root" apt-get update >/dev/null
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" chroot "$root" \
        apt-get install -y --no-install-recommends "/tmp/$(basename "$deb")" >"$work/fresh-install.log" ||
        { tail -20 "$work/fresh-install.log"; fail "install in a fresh Debian 12"; }
    try_installed "$root" /tmp/orvanta-smoke "${sudo[@]}" chroot "$root"
    echo "fresh Debian 12: $(grep -c '^Unpacking' "$work/fresh-install.log") packages unpacked"
fi

echo "$failures failed"
exit "$failures"
