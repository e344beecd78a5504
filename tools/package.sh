#!/usr/bin/env bash
# Builds the Debian package and checks it as a user would get it: its files and metadata, its
# desktop entry and AppStream data, then installs it with apt, runs the installed programs once
# and removes it again.
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
tools/install-deps.sh
packages=(dpkg-dev desktop-file-utils appstream)
$fresh && packages+=(debootstrap)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

tools/build.sh release
(cd build/release && cpack -G DEB >/dev/null)
deb=$PWD/build/release/orvanta_1.0_amd64.deb
work=$(mktemp -d)
cleanup() { rm -rf "$work"; }
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# ---- what the package holds and says ----
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' | sort >"$work/files"
sort >"$work/expected" <<'FILES'
/usr/bin/orvanta
/usr/bin/orvanta-snapshot
/usr/bin/orvanta-state
/usr/share/applications/org.orvanta.Orvanta.desktop
/usr/share/doc/orvanta/CREDITS.md
/usr/share/doc/orvanta/DejaVuSans-Bold.LICENSE
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
    libgl1-mesa-dri; do
    echo "$depends" | grep -q "$needed" || fail "Depends lacks $needed: $depends"
done
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/org.orvanta.Orvanta.desktop" || fail "desktop entry"
desktop-file-validate "$work/root/usr/share/orvanta/org.orvanta.Orvanta.desktop" || fail "autostart entry"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.orvanta.Orvanta.metainfo.xml" ||
    fail "AppStream metainfo"
[ "$(identify -format '%wx%h' "$work/root/usr/share/orvanta/screenshot.png")" = 640x480 ] ||
    fail "screenshot"

# ---- installed, as a user runs it (no display here) ----
# Runs the installed programs in the system at root $1; the rest runs a command in that system.
try_installed() {
    local root=$1
    shift
    local in=("$@")
    "${in[@]}" orvanta-state --lines --utc 2003-08-27T09:52:19 | grep -q '^0 Minutes$' ||
        fail "installed orvanta-state"
    "${in[@]}" env -u DISPLAY -u WAYLAND_DISPLAY orvanta-snapshot --utc 2003-08-27T09:52:19 \
        --out /tmp/orvanta-package-check.png || fail "installed orvanta-snapshot"
    local out
    out=$("${in[@]}" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM orvanta 2>&1) &&
        fail "orvanta without a display should exit 1"
    echo "$out" | grep -q "no display" || fail "orvanta without a display: $out"
    # The orbit diagram is drawn (its OpenGL is all there), not left black.
    local picture=$root/tmp/orvanta-package-check.png mean
    [ "$(identify -format '%wx%h' "$picture")" = 640x480 ] || fail "installed snapshot size"
    mean=$(convert "$picture" -crop 440x480+0+0 -format '%[fx:mean]' info:)
    awk -v m="$mean" 'BEGIN { exit !(m > 0.15) }' || fail "no orbit diagram in the snapshot"
    rm -f "$picture"
}

DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "$deb" >/dev/null
try_installed ""
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get remove -y --purge orvanta >/dev/null
command -v orvanta >/dev/null && fail "orvanta left after removal"

if $fresh; then
    # A fresh Debian 12 with only what the package declares: debootstrap's minimal system.
    root=$work/fresh
    "${sudo[@]}" debootstrap --variant=minbase bookworm "$root" >"$work/debootstrap.log" 2>&1 ||
        { tail -20 "$work/debootstrap.log"; fail "debootstrap"; }
    cp "$deb" "$root/tmp/"
    "${sudo[@]}" mount -t proc proc "$root/proc"
    trap '"${sudo[@]}" umount "$root/proc" 2>/dev/null; "${sudo[@]}" rm -rf "$work"' EXIT
    "${sudo[@]}" chroot "$root" apt-get update >/dev/null
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" chroot "$root" \
        apt-get install -y --no-install-recommends "/tmp/$(basename "$deb")" >"$work/fresh-install.log" ||
        { tail -20 "$work/fresh-install.log"; fail "install in a fresh Debian 12"; }
    try_installed "$root" "${sudo[@]}" chroot "$root"
    echo "fresh Debian 12: $(grep -c '^Unpacking' "$work/fresh-install.log") packages unpacked"
fi

echo "$failures failed"
exit "$failures"
