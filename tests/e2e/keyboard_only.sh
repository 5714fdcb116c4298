#!/usr/bin/env bash
# The real window by keyboard alone: load the samples (Alt+M), run them (F5), filter the
# results (Alt+I, then the text), save over an existing file (Ctrl+S): the question appears,
# Escape keeps the file and goes back to the dialog; saved again with Enter, the file holds
# the filtered rows. Usage: keyboard_only.sh PROGRAM
source "$(dirname "$0")/e2e_lib.sh"
program=$1
existing=$work/existing.txt
printf 'keep me\n' > "$existing"

start_program "$program"
keys alt+m
wait_for_window '^Parvilon$'              # the offer to open the samples folder
xdotool key Escape
wait_for_window_gone "$dialog_id"
keys F5
wait_for_window '^Parvilon$'              # "Done.", and the offer to show only the unread file
xdotool key Escape
wait_for_window_gone "$dialog_id"

keys alt+i
xdotool type --delay 20 "tokyo"
sleep 0.3

# The first save over the file: the question, and Escape keeps it.
keys ctrl+s
wait_for_window '^4. Save Results As Text File$'
save_dialog=$dialog_id
xdotool key ctrl+a
xdotool type --delay 10 "$existing"
xdotool key Return
wait_for_window '^Parvilon$'              # "... already exists. Do you want to replace it?"
xdotool key Escape
wait_for_window_gone "$dialog_id"
[ "$(cat "$existing")" = "keep me" ] || fail "the existing file was changed after Escape"
wait_for_window '^4. Save Results As Text File$' # back to the dialog
xdotool key Escape
wait_for_window_gone "$dialog_id"
[ "$(cat "$existing")" = "keep me" ] || fail "the existing file was changed"

# The second: Enter replaces it with the rows shown.
keys ctrl+s
wait_for_window '^4. Save Results As Text File$'
xdotool key ctrl+a
xdotool type --delay 10 "$existing"
xdotool key Return
wait_for_window '^Parvilon$'
xdotool key Return
for _ in $(seq 100); do
    grep -q '^Filename' "$existing" 2>/dev/null && break
    sleep 0.1
done
sleep 0.3
[ "$(wc -l < "$existing")" -eq 2 ] || fail "the saved file is not the header and one row: $(cat "$existing")"
grep -q "Meeting Minutes Tokyo.pdf" "$existing" || fail "the filtered row is missing: $(cat "$existing")"
close_program
echo "PASS: samples, run, filter and a save over a file, by keyboard alone"
