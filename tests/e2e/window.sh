#!/usr/bin/env bash
# The real main window in a real X server: it appears with its caption at its designed size,
# may be enlarged and made smaller than designed, and closing it ends the program. With
# PARVILON_SCREENSHOT set, screenshots are saved there (and beside it, of the enlarged window).
source "$(dirname "$0")/e2e_lib.sh"
start_program "$1"

size() { xdotool getwindowgeometry "$window_id" | sed -n 's/.*Geometry: //p'; }
[ "$(size)" = "536x559" ] || fail "window size is $(size), not 536x559"
minimum=$(xprop -id "$window_id" WM_NORMAL_HINTS | sed -n 's/.*program specified minimum size: \([0-9]*\) by \([0-9]*\).*/\1 \2/p')
[ -n "$minimum" ] || fail "the window has no minimum size"
read -r min_width min_height <<< "$minimum"
[ "$min_height" -lt 500 ] || fail "the window cannot be made lower than $min_height"
xprop -id "$window_id" WM_NORMAL_HINTS | grep -q "program specified maximum size" &&
    fail "the window cannot be enlarged"
if [ -n "${PARVILON_SCREENSHOT:-}" ]; then
    sleep 0.5
    import -window "$window_id" "$PARVILON_SCREENSHOT"
fi

xdotool windowsize --sync "$window_id" 900 800
[ "$(size)" = "900x800" ] || fail "the window did not grow: $(size)"
if [ -n "${PARVILON_SCREENSHOT:-}" ]; then
    sleep 0.5
    import -window "$window_id" "${PARVILON_SCREENSHOT%.png}-enlarged.png"
fi
xdotool windowsize --sync "$window_id" "$min_width" "$min_height"
[ "$(size)" = "${min_width}x${min_height}" ] || fail "the window did not shrink: $(size)"

close_program
echo "PASS: window appears as designed, grows and shrinks, and closing it ends the program"
