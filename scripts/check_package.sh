#!/usr/bin/env bash
# Checks a built Debian package: what it holds, that its menu entry and AppStream file are
# valid, that it depends on the Qt 5 runtime, that the unpacked program finds all its
# libraries, and that it starts without a display and keeps running until stopped.
#   scripts/check_package.sh <package.deb>
set -euo pipefail

deb=$(realpath "$1")
app_id=com.brenvik.R58VizorevAvuv
fail() { echo "check_package: $*" >&2; exit 1; }

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
expected=(
    ./usr/bin/r58_vizorevavuv
    ./usr/bin/r58ctl
    ./usr/share/man/man1/r58ctl.1
    ./usr/share/applications/$app_id.desktop
    ./usr/share/metainfo/$app_id.metainfo.xml
    ./usr/share/icons/hicolor/scalable/apps/$app_id.svg
    ./usr/lib/udev/rules.d/60-velor-r58.rules
    ./usr/share/qt5/translations/r58_vizorevavuv_de_DE.qm
)
for size in 16 24 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
for path in "${expected[@]}"; do
    grep -qxF "$path" <<<"$contents" || fail "missing $path"
done
if grep -q '_sim$' <<<"$contents"; then
    fail "the simulated-device program does not belong in the package"
fi

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt5core5a libqt5gui5 libqt5widgets5 libqt5serialport5 libqwt-qt5-6; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >/dev/null
missing=$(ldd "$root/usr/bin/r58_vizorevavuv" "$root/usr/bin/r58ctl" | grep 'not found' || true)
[ -z "$missing" ] || fail "unresolved libraries: $missing"
if command -v man >/dev/null; then
    man -l "$root/usr/share/man/man1/r58ctl.1" >/dev/null 2>&1 || fail "the manual page of r58ctl does not read"
fi

# The command line needs no display: its usage comes back with status 2 without one.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$root/home" \
    "$root/usr/bin/r58ctl" >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "r58ctl without a command ended with status $status instead of 2"

# The login dialog waits for input, so a healthy start is still running when timeout stops it
# (status 124). German, to load the catalogue as well.
mkdir -p "$root/home"
status=0
env -u XDG_CONFIG_HOME HOME="$root/home" QT_QPA_PLATFORM=offscreen LANG=de_DE.UTF-8 \
    LC_ALL= timeout 5 "$root/usr/bin/r58_vizorevavuv" </dev/null || status=$?
[ "$status" -eq 124 ] || fail "the program ended with status $status instead of running on"

echo "check_package: $(basename "$deb") is fine"
