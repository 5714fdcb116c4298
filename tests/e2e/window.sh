#!/usr/bin/env bash
# The real main window in a real X server: it appears with its caption and fixed size, and
# closing it ends the program. With PARVILON_SCREENSHOT set, a screenshot is saved there.
source "$(dirname "$0")/e2e_lib.sh"
start_program "$1"

geometry=$(xdotool getwindowgeometry "$window_id" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "536x559" ] || fail "window size is $geometry, not 536x559"
xprop -id "$window_id" WM_NORMAL_HINTS | grep -q "program specified minimum size: 536 by 559" ||
    fail "the window is resizable"
xprop -id "$window_id" WM_NORMAL_HINTS | grep -q "program specified maximum size: 536 by 559" ||
    fail "the window is resizable"

if [ -n "${PARVILON_SCREENSHOT:-}" ]; then
    sleep 0.5
    import -window "$window_id" "$PARVILON_SCREENSHOT"
fi

close_program
echo "PASS: window appears as designed and closing it ends the program"
