#!/usr/bin/env bash
# The two ways out of the password questions, by keyboard alone in the real window: with
# "Prompt for password ..." ticked and 30 protected files listed, an answer given with Alt+U
# and Enter serves every file (one box, then "Done."); in a second run, Alt+S at the first box
# ends it at once. Usage: protected_batch_keyboard.sh PROGRAM
source "$(dirname "$0")/e2e_lib.sh"

# A program folder of our own with a stand-in tool that records each call and its password,
# serves no requests (a tool per file), and says a password is needed when given none.
program_folder=$work/program
mkdir -p "$program_folder" "$work/docs"
cp "$1" "$program_folder/parvilon"
cat > "$program_folder/pdftk" <<'TOOL'
#!/bin/sh
[ "$1" = --serve ] && exit 2
password=
for argument; do [ "$argument" = "A=PROMPT" ] && read -r password; done
echo "$1|$password" >> "$(dirname "$0")/calls.log"
[ -n "$password" ] || { echo 'OWNER OR USER PASSWORD REQUIRED' >&2; exit 1; }
for out; do :; done
printf 'InfoBegin\nInfoKey: Title\nInfoValue: T\nNumberOfPages: 1\n' > "$out"
TOOL
chmod +x "$program_folder/pdftk"
for i in $(seq -w 1 30); do printf '%%PDF-1.4\n%%%%EOF\n' > "$work/docs/doc$i.pdf"; done
calls() { [ -f "$program_folder/calls.log" ] && wc -l < "$program_folder/calls.log" || echo 0; }
password_boxes() { xdotool search --onlyvisible --name '^Input Password$' 2>/dev/null | wc -l; }

start_program "$program_folder/parvilon"
xdotool windowfocus --sync "$window_id"
sleep 0.3
# The list has the focus; two tabs reach "1. Add All PDF File(s) In Folder".
xdotool key Tab Tab space
wait_for_window '^Parvilon$'              # the extension, "pdf" already filled in
xdotool key Return
wait_for_window '^Please select folder'
xdotool type --delay 10 "$work/docs"
xdotool key Return
wait_for_window_gone "$dialog_id"
sleep 0.5
# Five tabs on, the password option; one back, "3. Start Extracting".
xdotool key Tab Tab Tab Tab Tab space
xdotool key shift+Tab space

wait_for_window '^Input Password$'
xdotool type --delay 10 "s3cret"
xdotool key alt+u Return
wait_for_window '^Parvilon$'              # "Done." with no box in between
[ "$(password_boxes)" -eq 0 ] || fail "a password box is still open"
# Each file read once without a password, then once with the answer.
[ "$(calls)" -eq 60 ] || fail "the tool ran $(calls) times, not 60"
[ "$(grep -c '|s3cret$' "$program_folder/calls.log")" -eq 30 ] ||
    fail "not every file got the answer: $(cat "$program_folder/calls.log")"
xdotool key Return
wait_for_window_gone "$dialog_id"

# "3. Start Extracting" has the focus again: Alt+S at the first box ends the run at once.
xdotool key space
wait_for_window '^Input Password$'
xdotool key alt+s
wait_for_window '^Parvilon$'
[ "$(password_boxes)" -eq 0 ] || fail "a password box is still open after Stop"
# Files read ahead beside the question may have been started; none got a password, and
# the run did not go on to the end of the list.
[ "$(calls)" -lt 90 ] || fail "the stopped run went on: $(calls) calls"
[ "$(grep -c '|s3cret$' "$program_folder/calls.log")" -eq 30 ] ||
    fail "the stopped run gave a password"
xdotool key Return
wait_for_window_gone "$dialog_id"

close_program
echo "PASS: one answer for all 30 files by Alt+U, and Alt+S ends a run at its first box"
