#!/usr/bin/env bash
# The real 32-bit window under emulation, in one start: a coder value, a file added through
# the Add dialog and coded in place like the reference, then Alt+F4 and exit code 0.
BUILD=$1
export VORRIN_I686_SMOKE=1
source "$(dirname "$0")/../../scripts/wine-host"
vorrin_wine_host
[ "$VORRIN_WINE_I686" != skipped ] || { echo "skipped: $VORRIN_WINE_SKIPPED"; exit 77; }
source "$(dirname "$0")/harness.sh"
# An emulated start, and each dialog's first opening, take minutes, not seconds.
FIND_WINDOW_SECONDS=400

head -c $((1024 * 1024 + 5)) /dev/urandom > "$WORK/a.bin"
reference_code 4242 "$WORK/a.bin" "$WORK/a.expected"

start_vorrin
win=$(find_windows Vorrin) || fail "no window"
focus_window "$win"
xdotool type 4242
add_files_with_dialog "$WORK" a.bin
wait_for 'cmp -s "$WORK/a.bin" "$WORK/a.expected"' 300 || fail "the file was not coded like the reference"
wait_for '[ "$(caption "$win")" = Vorrin ]' 300 || fail "the run did not end"
focus_window "$win"
xdotool key alt+F4
code=$(wait_exit "$VORRIN_PID" 300)
[ "$code" = 0 ] || fail "exit code $code"
echo "coded through the Add dialog; exit code 0"
