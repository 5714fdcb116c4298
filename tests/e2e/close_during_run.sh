#!/usr/bin/env bash
# Closing the real window during an extraction run ends the program at once and leaves
# neither a tool process nor the program's temporary folder behind; so does a termination
# signal (as at the end of a desktop session) when the second argument is "signal".
source "$(dirname "$0")/e2e_lib.sh"
how=${2:-close}

# A program folder of our own: the program, and a tool that never ends and has a child.
program_folder=$work/program
mkdir -p "$program_folder" "$work/tmp" "$work/docs"
cp "$1" "$program_folder/parvilon"
cat > "$program_folder/pdftk" <<'TOOL'
#!/bin/sh
sleep 1000 &
echo $! > "$(dirname "$0")/child.pid"
wait
TOOL
chmod +x "$program_folder/pdftk"
printf '%%PDF-1.4\n%%%%EOF\n' > "$work/docs/a.pdf"
export TMPDIR=$work/tmp

start_program "$program_folder/parvilon"

# "1. Add PDF File(s)" (Ctrl+O), then the file's path typed into the file dialog.
keys ctrl+o
for _ in $(seq 50); do
    dialog=$(xdotool search --onlyvisible --name 'Add File' 2>/dev/null | head -n 1 || true)
    [ -n "$dialog" ] && break
    sleep 0.1
done
[ -n "$dialog" ] || fail "the file dialog did not open"
sleep 0.3
xdotool type --delay 20 "$work/docs/a.pdf"
xdotool key Return
sleep 0.5

# "3. Start Extracting" (F5): the tool starts and hangs.
keys F5
for _ in $(seq 50); do
    [ -s "$program_folder/child.pid" ] && break
    sleep 0.1
done
[ -s "$program_folder/child.pid" ] || fail "the run did not start the tool"
child=$(cat "$program_folder/child.pid")
ls -d "$TMPDIR"/parvilon-* >/dev/null 2>&1 || fail "no private temporary folder during the run"

if [ "$how" = signal ]; then
    kill -TERM "$program_pid"
    for _ in $(seq 50); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$program_pid" 2>/dev/null && fail "the program did not end on SIGTERM"
    wait "$program_pid" || fail "the program ended with status $? on SIGTERM"
    program_pid=
else
    close_program
fi

for _ in $(seq 20); do
    kill -0 "$child" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$child" 2>/dev/null && fail "the tool's child process $child is still running"
ls -d "$TMPDIR"/parvilon-* >/dev/null 2>&1 && fail "the private temporary folder was left behind"
echo "PASS: ending ($how) during a run ends the program, its tool and its temporary folder"
