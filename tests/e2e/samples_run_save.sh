#!/usr/bin/env bash
# The whole user path in the real window: load the bundled samples, decline to open their
# folder, extract, confirm "Done.", save the results as text through the save dialog, and
# check the saved file. Usage: samples_run_save.sh PROGRAM [SCREENSHOT]
source "$(dirname "$0")/e2e_lib.sh"
program=$1
program_folder=$(dirname "$(readlink -f "$program")")
samples=$program_folder/Samples
[ -d "$samples" ] || fail "no Samples folder beside $program"
sample_count=$(find "$samples" -maxdepth 1 -type f | wc -l)
[ "$sample_count" -gt 0 ] || fail "the Samples folder is empty"
saved=$work/results.txt

start_program "$program"

keys alt+m
wait_for_window '^Parvilon$'          # "Would you like this software to open the folder ..."
xdotool key Escape
wait_for_window_gone "$dialog_id"

keys F5
wait_for_window '^Parvilon$'          # "Done.", and the offer to show only the unread file
[ -n "${2:-}" ] && import -window root "$2"
xdotool key Escape                    # every row stays shown
wait_for_window_gone "$dialog_id"

keys ctrl+s
wait_for_window '^4. Save Results As Text File$'
xdotool key ctrl+a
xdotool type --delay 20 "$saved"
xdotool key Return
for _ in $(seq 100); do
    [ -s "$saved" ] && break
    sleep 0.1
done
[ -s "$saved" ] || fail "no results file was saved"
sleep 0.5

header=$(head -n 1 "$saved" | tr -d '\r')
case "$header" in
Filename*"PDF Version"*Producer*"Number Of Pages"*"Date Accessed"*) ;;
*) fail "unexpected header line: $header" ;;
esac
rows=$(($(wc -l < "$saved") - 1))
[ "$rows" -eq "$sample_count" ] || fail "$rows result rows for $sample_count samples"
grep -q "^$samples/Annual Report 2024.pdf *	PDF-1.7 *	" "$saved" ||
    fail "the annual report's row is missing or has no version: $(cat "$saved")"
grep "^$samples/Annual Report 2024.pdf" "$saved" | grep -q "	12 *	" ||
    fail "the annual report's page count is missing"
[ "$(grep -c $'\r$' "$saved")" -eq $((rows + 1)) ] || fail "not every line ends in CR LF"

close_program
echo "PASS: samples loaded, extracted and saved from $program_folder"
