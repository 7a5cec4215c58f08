#!/usr/bin/env bash
# The whole program as a user uses it: a large file coded with the caption and progress bar
# moving, Pause (which waits without using the processor) and Resume, Stop after the current
# file, "Exit on Done", closing during a run with the question answered No and then Yes (which
# leaves no file half coded), and the help on F1.
BUILD=$1
source "$(dirname "$0")/harness.sh"

src=$WORK/src
mkdir -p "$src"
truncate -s $((4096 * 1024 * 1024)) "$src/big.bin"     # sparse: no disk until coded; a few seconds to code
head -c 70000 /dev/urandom > "$src/c.bin"
cp "$src/c.bin" "$WORK/c.orig"

start_coding 777 "$src" big.bin c.bin

# Coding shows the percentage and the file name in the caption.
wait_coding big.bin
client_click "$win" $PAUSE_BUTTON
sleep 0.5
paused=$(caption "$win")
xdotool mousemove 1000 750                 # off the window: a hovered button has timers of its own
sleep 0.5
cpu=$(cpu_percent "$(wine_pid)" 2)
[ "$(caption "$win")" = "$paused" ] || fail "the caption moved while paused"
[ "$cpu" -le 3 ] || fail "paused, the program used $cpu% of a processor"
screenshot running-paused
echo "paused at: $paused, using $cpu% of a processor"
client_click "$win" $STOP_BUTTON           # stop after this file; still paused
sleep 0.5
[ "$(caption "$win")" = "$paused" ] || fail "Stop ended the pause"
client_click "$win" $PAUSE_BUTTON          # resume: the file is finished, then the run stops
wait_for '[ "$(caption "$win")" = Vorrin ]' 60 || fail "the run did not end"
sleep 1
cmp -s "$src/c.bin" "$WORK/c.orig" || fail "Stop should leave the next file uncoded"
screenshot after-stop

# F1 opens the help file from the program's folder.
xdotool key F1
help=$(find_windows 'Vorrin Help') || fail "F1 opened no help window"
sleep 0.5
screenshot help
for h in $help; do xdotool windowfocus "$h" key alt+F4 2>/dev/null || true; done
sleep 0.5
client_click "$win" 100 90                 # back to the program: a click on the list

# "Exit on Done": the next run closes the window when it ends. With the list focused,
# Ctrl+R empties every mark and Ctrl+U codes everything again.
xdotool key ctrl+r ctrl+u
wait_coding big.bin
client_click "$win" $EXIT_ON_DONE
code=$(wait_exit "$VORRIN_PID" 120)
[ "$code" = 0 ] || fail "Exit on Done: exit code $code"
echo "Exit on Done closed the program with code 0"

# Closing during a run asks; No keeps coding, Yes closes at once and ends with code 0. The big
# file, coded twice so far and so all zeros again, is closed early: the coded part is undone.
cp "$src/c.bin" "$WORK/c.before"
start_coding 777 "$src" big.bin c.bin
wait_coding big.bin
client_click "$win" $PAUSE_BUTTON
xdotool key alt+F4
box=$(find_windows Confirmation) || fail "no confirmation box"
screenshot close-question
xdotool key n
sleep 0.5
xdotool search --onlyvisible --name '^Confirmation$' >/dev/null 2>&1 && fail "the box is still open"
[[ "$(caption "$win")" == *"% big.bin" ]] || fail "No should keep the run going"
close_confirmed
cmp -s "$src/c.bin" "$WORK/c.before" || fail "a confirmed close must not code further files"
cmp -s -n $((4096 * 1024 * 1024)) "$src/big.bin" /dev/zero || fail "the file closed early was left half coded"
echo "closing during a run: question answered No, then Yes; exit code 0"
