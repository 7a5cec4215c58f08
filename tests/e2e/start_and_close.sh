#!/usr/bin/env bash
# The window opens in its start state; Alt+F4 while idle ends the process with code 0.
BUILD=$1
source "$(dirname "$0")/harness.sh"

start_vorrin
win=$(find_windows Vorrin) || fail "no window titled Vorrin"
sleep 0.5
screenshot start-state
read -r x y w h < <(window_geometry "$win")
echo "window at $x,$y size ${w}x$h"
[ "$x" -ge 150 ] && [ "$x" -le 200 ] || fail "unexpected left edge $x"

focus_window "$win"
xdotool key alt+F4
code=$(wait_exit "$VORRIN_PID")
[ "$code" = 0 ] || fail "exit code after Alt+F4: $code"
echo "closed with exit code 0"
