#!/usr/bin/env bash
# A user types a coder value and a destination, adds two files with the Add dialog, and
# gets coded copies; coding a copy again in place gives back the source.
BUILD=$1
source "$(dirname "$0")/harness.sh"

src=$WORK/src; out=$WORK/out/deeper
mkdir -p "$src"
head -c $((1024 * 1024 + 5)) /dev/urandom > "$src/a.bin"
head -c 100 /dev/urandom > "$src/b.bin"
reference_code 12345 "$src/a.bin" "$WORK/a.expected"
reference_code 12345 "$src/b.bin" "$WORK/b.expected"

start_vorrin
win=$(find_windows Vorrin) || fail "no window"
focus_window "$win"                # the coder value edit has the focus, its text selected
xdotool type 12345
xdotool key Tab Tab                # Add button, then the destination edit
xdotool type "$(wine_path "$out")"
add_files_with_dialog "$src" a.bin b.bin

wait_for 'cmp -s "$out/a.bin" "$WORK/a.expected" && cmp -s "$out/b.bin" "$WORK/b.expected"' 60 ||
  fail "coded copies differ from the expected bytes"
sleep 0.5
screenshot coded-into-folder
cmp -s "$src/a.bin" "$WORK/a.expected" && fail "the source was changed"

# Empty destination: the copy is coded in place and becomes the source again.
click_at "$win" 40 62              # the destination edit
xdotool key End shift+Home BackSpace
add_files_with_dialog "$out" a.bin
wait_for 'cmp -s "$out/a.bin" "$src/a.bin"' 60 || fail "coding in place did not restore the source"
screenshot coded-in-place

wait_for '[ "$(caption "$win")" = Vorrin ]' 30 || fail "the run did not end"
xdotool key alt+F4
code=$(wait_exit "$VORRIN_PID")
[ "$code" = 0 ] || fail "exit code $code"
echo "coded into a folder and back in place; exit code 0"
