#!/usr/bin/env bash
# Makes the Debian package, installs it into this machine, checks the installed program in a
# real X server (its window, and the whole path from the samples in /usr/lib/parvilon to a
# saved results file), validates its desktop entry and metainfo, and removes it again.
# Usage: package_test.sh BUILD-FOLDER E2E-FOLDER
set -euo pipefail
build=$1
e2e=$2
skip() {
    echo "SKIP: $*"
    exit 77
}
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
command -v dpkg >/dev/null || skip "this machine has no dpkg"
dpkg -s parvilon >/dev/null 2>&1 && skip "a parvilon package is installed already; not touching it"

work=$(mktemp -d)
installed=
cleanup() {
    [ -n "$installed" ] && dpkg -r parvilon >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/parvilon_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 libgnutls30 qt6-qpa-plugins libc6; do
    [[ "$depends" == *"$needed"* ]] || fail "the package does not depend on $needed"
done

dpkg -i "$deb" >/dev/null
installed=yes
[ "$(readlink -f /usr/bin/parvilon)" = /usr/lib/parvilon/parvilon ] || fail "/usr/bin/parvilon does not lead to the program"
for file in /usr/lib/parvilon/pdftk /usr/lib/parvilon/HAND-M.CUR /usr/lib/parvilon/drag.ico \
    /usr/share/icons/hicolor/48x48/apps/parvilon.png /usr/share/icons/hicolor/scalable/apps/parvilon.svg; do
    [ -f "$file" ] || fail "$file is not installed"
done
[ "$(find /usr/lib/parvilon/Samples -name '*.pdf' | wc -l)" -gt 0 ] || fail "no samples installed"

desktop-file-validate /usr/share/applications/org.parvilon.Parvilon.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.parvilon.Parvilon.metainfo.xml

xvfb-run -a -n 140 -s "-screen 0 1280x1024x24" "$e2e/window.sh" /usr/bin/parvilon
xvfb-run -a -n 141 -s "-screen 0 1280x1024x24" "$e2e/samples_run_save.sh" /usr/bin/parvilon

dpkg -r parvilon >/dev/null
installed=
[ ! -e /usr/lib/parvilon ] || fail "/usr/lib/parvilon is left after removal"
echo "PASS: the package installs, runs from /usr/bin, and removes cleanly"
