#!/usr/bin/env bash
# The Add button's dialog with several files, the list's pop-up menu, a queue saved with
# Ctrl+S and opened again with Ctrl+O, and Delete refused on the row being coded.
BUILD=$1
source "$(dirname "$0")/harness.sh"

src=$WORK/src
mkdir -p "$src"
for n in a b c; do head -c 50000 /dev/urandom > "$src/$n.bin"; cp "$src/$n.bin" "$WORK/$n.orig"; done
reference_code 5 "$src/a.bin" "$WORK/a.expected"

start_vorrin
win=$(find_windows Vorrin) || fail "no window"
focus_window "$win"
xdotool type 5
client_click "$win" 113 16                  # the Add button
find_windows 'Select file\(s\) to simple coding\.\.\.' >/dev/null || fail "the Add button opened no dialog"
sleep 0.5
xdotool type --delay 5 "$(wine_path "$src")"; xdotool key Return; sleep 0.5
xdotool type --delay 5 '"a.bin" "b.bin" "c.bin"'; xdotool key Return
wait_for 'cmp -s "$src/a.bin" "$WORK/a.expected"' 30 || fail "the chosen files were not coded"
wait_for '! cmp -s "$src/c.bin" "$WORK/c.orig"' 30 || fail "the third file was not coded"

# A right click on the list opens its menu; Escape closes it.
xdotool mousemove --window "$win" 60 100 click 3
sleep 0.5
screenshot list-menu
xdotool key Escape
sleep 0.3

# Save the queue, empty it, open the list again: the three files come back and are coded
# again, which restores them.
client_click "$win" 60 70
xdotool key ctrl+s
find_windows 'Save( As)?' >/dev/null || fail "Ctrl+S opened no dialog"
sleep 0.5
xdotool type --delay 5 "$(wine_path "$WORK/queue.flt")"; xdotool key Return
wait_for '[ -s "$WORK/queue.flt" ]' 10 || fail "the list file was not written"
[ "$(tr -d '\r' < "$WORK/queue.flt" | wc -l)" = 3 ] || fail "the list file should hold three lines"
grep -q $'a.bin\r$' "$WORK/queue.flt" || fail "lines should end in CR LF"
client_click "$win" 60 70
xdotool key ctrl+x ctrl+o
find_windows 'Open' >/dev/null || fail "Ctrl+O opened no dialog"
sleep 0.5
xdotool type --delay 5 "$(wine_path "$WORK/queue.flt")"; xdotool key Return
for n in a b c; do
  wait_for "cmp -s '$src/$n.bin' '$WORK/$n.orig'" 30 || fail "$n.bin was not coded back after Ctrl+O"
done
screenshot after-open-list

# Delete on the row being coded is refused.
truncate -s $((4096 * 1024 * 1024)) "$src/big.bin"   # long enough to act while it is coded
client_click "$win" 60 70
xdotool key ctrl+x
xdotool key Insert
find_windows 'Select file\(s\) to simple coding\.\.\.' >/dev/null || fail "Insert opened no dialog"
sleep 0.3
xdotool type --delay 5 "$(wine_path "$src/big.bin")"; xdotool key Return
wait_coding big.bin
client_click "$win" $PAUSE_BUTTON
client_click "$win" 60 68                   # the first row, being coded
xdotool key Delete
find_windows Error >/dev/null || fail "no error box for Delete on the current task"
screenshot cant-delete-current-task
xdotool key Return
sleep 0.3
close_confirmed
echo "Add dialog, menu, Ctrl+S/Ctrl+O and the refused Delete all behaved; exit code 0"
