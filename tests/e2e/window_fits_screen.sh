#!/usr/bin/env bash
# The whole window, its frame included, is on a small screen or a large one at a large scale.
# Run in an X server of the given size, with a window manager when one is installed (openbox)
# so that the frame counts too. Usage: window_fits_screen.sh PROGRAM WIDTH HEIGHT [SCALE]
source "$(dirname "$0")/e2e_lib.sh"
program=$1 screen_width=$2 screen_height=$3
[ -n "${4:-}" ] && export QT_SCALE_FACTOR=$4
if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    manager=$!
    trap 'kill $manager 2>/dev/null; cleanup' EXIT
    sleep 0.5
fi
start_program "$program"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window_id")" # X, Y, WIDTH, HEIGHT of the client
read -r left right top bottom < <(xprop -id "$window_id" _NET_FRAME_EXTENTS 2>/dev/null |
    sed -n 's/.*= \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)/\1 \2 \3 \4/p' || true)
left=${left:-0} right=${right:-0} top=${top:-0} bottom=${bottom:-0}
outer_left=$((X - left)) outer_top=$((Y - top))
outer_right=$((X + WIDTH + right)) outer_bottom=$((Y + HEIGHT + bottom))
[ "$outer_left" -ge 0 ] && [ "$outer_top" -ge 0 ] &&
    [ "$outer_right" -le "$screen_width" ] && [ "$outer_bottom" -le "$screen_height" ] ||
    fail "the window ($outer_left,$outer_top to $outer_right,$outer_bottom) is not on the ${screen_width}x${screen_height} screen"
close_program
echo "PASS: the whole window is on the ${screen_width}x${screen_height} screen${4:+ at scale $4}"
