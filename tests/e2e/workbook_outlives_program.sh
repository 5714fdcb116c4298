#!/usr/bin/env bash
# A workbook handed to the spreadsheet application outlives the program: the application
# (here a stand-in that takes its time, as a cold start does) still finds it after the
# window was closed right after the export. Usage: workbook_outlives_program.sh PROGRAM
source "$(dirname "$0")/e2e_lib.sh"
program=$1

# The stand-in spreadsheet application: found on the PATH as soffice, it waits, then copies
# the workbook it was given.
mkdir -p "$work/bin"
cat > "$work/bin/soffice" <<'OFFICE'
#!/bin/sh
for workbook; do :; done
echo "$workbook" > "$(dirname "$0")/asked"
sleep 3
cp "$workbook" "$(dirname "$0")/received.xlsx"
OFFICE
chmod +x "$work/bin/soffice"
export PATH=$work/bin:$PATH

start_program "$program"
keys alt+m
wait_for_window '^Parvilon$'          # the offer to open the samples folder
xdotool key Escape
wait_for_window_gone "$dialog_id"
keys F5
wait_for_window '^Parvilon$'          # "Done.", and the offer to show only the unread file
xdotool key Escape
wait_for_window_gone "$dialog_id"

keys alt+x
for _ in $(seq 100); do
    [ -s "$work/bin/asked" ] && break
    sleep 0.1
done
[ -s "$work/bin/asked" ] || fail "the spreadsheet application was not asked to open a workbook"
close_program

for _ in $(seq 100); do
    [ -s "$work/bin/received.xlsx" ] && break
    sleep 0.1
done
workbook=$(cat "$work/bin/asked")
case "$workbook" in
"$XDG_CACHE_HOME/Quorvane/Parvilon/workbooks/Parvilon results "*.xlsx) ;;
*) fail "the workbook was written to $workbook" ;;
esac
[ -s "$workbook" ] || fail "the workbook $workbook is gone after the program ended"
cmp -s "$workbook" "$work/bin/received.xlsx" || fail "the application could not read the workbook"
/usr/bin/python3 - "$workbook" <<'CHECK' || fail "the workbook does not hold the results"
import sys, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1]).active
assert sheet.cell(1, 1).value == "Filename", sheet.cell(1, 1).value
assert sheet.max_row >= 8, sheet.max_row
CHECK
echo "PASS: the workbook outlives the program and holds the results"
