#!/usr/bin/env bash
# Writes the screenshots of the README from the program of a build folder (default build/):
# the window at its designed size, maximised on 1920x1080, under GTK's dark theme, at 200 %,
# right to left, with the audit's columns, and the final box that names a file that could not
# be read.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$(readlink -f "${1:-$here/../build/parvilon}")
shot() { # OUT SCREEN KIND [VARIABLE=VALUE...]
    local out=$1 screen=$2 kind=$3
    shift 3
    env "$@" xvfb-run -a -s "-screen 0 ${screen}x24" "$here/screenshot.sh" "$program" \
        "$here/$out" "$kind"
    echo "wrote docs/$out"
}
shot main-window.png 1366x768 designed
shot maximised.png 1920x1080 maximised
shot audit-columns.png 1920x1080 audit
shot dark-theme.png 1366x768 designed QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark
shot scaled-200.png 1920x1080 whole QT_SCALE_FACTOR=2
shot right-to-left.png 1366x768 designed PARVILON_ARGUMENTS=-reverse
shot unread-files.png 1366x768 unread
