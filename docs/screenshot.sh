#!/usr/bin/env bash
# One screenshot of the real window after a run over the samples, taken in the X server of
# xvfb-run with openbox framing the window. Usage: screenshot.sh PROGRAM OUT KIND, where KIND
# is designed (the window at its designed size), maximised, audit (maximised, with the audit's
# columns), unread (the final box naming the file that could not be read) or whole (the whole
# screen as it is). Called by make-screenshots.sh, which sets the screen, the scale, the theme
# and the direction.
source "$(dirname "$0")/../tests/e2e/e2e_lib.sh"
program=$1 out=$2 kind=$3
openbox >/dev/null 2>&1 &
manager=$!
trap 'kill $manager 2>/dev/null; cleanup' EXIT
sleep 0.5
# The results sorted by page count, as a user left them.
mkdir -p "$XDG_CONFIG_HOME/Quorvane"
printf '[General]\nResultsHeaderState="{\\"order\\":\\"descending\\",\\"sort\\":\\"Column8\\"}"\n' \
    > "$XDG_CONFIG_HOME/Quorvane/Parvilon.conf"
if [ "$kind" = audit ]; then
    # The audit's columns after the version and the page count, the other described ones off.
    for column in 2 3 4 5 6 7 9 10 11; do echo "Column$column=0"; done \
        >> "$XDG_CONFIG_HOME/Quorvane/Parvilon.conf"
    for column in $(seq 12 22); do echo "Column$column=1"; done \
        >> "$XDG_CONFIG_HOME/Quorvane/Parvilon.conf"
fi
start_program "$program" ${PARVILON_ARGUMENTS:-}
sleep 0.5
keys alt+m
wait_for_window '^Parvilon$'              # the offer to open the samples folder
xdotool key Escape
wait_for_window_gone "$dialog_id"
keys F5
wait_for_window '^Parvilon$'              # "Done." naming the file that could not be read
sleep 0.5
[ "$kind" = unread ] && import -window root "$out"
xdotool key Escape
wait_for_window_gone "$dialog_id"
if [ "$kind" = unread ]; then
    close_program
    exit 0
fi
if [ "$kind" = maximised ] || [ "$kind" = audit ]; then
    # openbox's own maximise: the whole screen less nothing (Xvfb has no panel).
    xdotool windowmove "$window_id" 0 0
    eval "$(xdotool getdisplaygeometry --shell)"
    xdotool windowsize --sync "$window_id" "$WIDTH" $((HEIGHT - 30))
fi
keys Tab # the focus in the results
sleep 1
import -window root "$out"
if [ "$kind" = designed ]; then
    # Only the window and its frame.
    info=$(xwininfo -id "$window_id")
    X=$(sed -n 's/.*Absolute upper-left X: *//p' <<< "$info")
    Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<< "$info")
    WIDTH=$(sed -n 's/.*Width: *//p' <<< "$info")
    HEIGHT=$(sed -n 's/.*Height: *//p' <<< "$info")
    read -r left right top bottom < <(xprop -id "$window_id" _NET_FRAME_EXTENTS |
        sed -n 's/.*= \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)/\1 \2 \3 \4/p')
    convert "$out" -crop "$((WIDTH + left + right))x$((HEIGHT + top + bottom))+$((X - left))+$((Y - top))" +repage "$out"
fi
close_program
