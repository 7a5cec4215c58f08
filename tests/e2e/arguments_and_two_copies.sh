#!/usr/bin/env bash
# Arguments are ignored; two copies run side by side and each closes on its own with code 0.
BUILD=$1
source "$(dirname "$0")/harness.sh"

start_vorrin some-file.txt --unknown
first_pid=$VORRIN_PID
start_vorrin
second_pid=$VORRIN_PID
wins=$(find_windows Vorrin 2) || fail "expected two windows titled Vorrin"
screenshot two-copies

# The copies open at the same place: a click on the coder value edit reaches the top one.
first=$(echo "$wins" | head -1)
click_at "$first" 40 40
xdotool key alt+F4
sleep 1
remaining=$(xdotool search --onlyvisible --name '^Vorrin$' 2>/dev/null | wc -l)
[ "$remaining" = 1 ] || fail "Alt+F4 should close exactly one window, $remaining left"

last=$(find_windows Vorrin) || fail "the other copy's window is gone"
click_at "$last" 40 40
xdotool key Escape
for pid in "$first_pid" "$second_pid"; do
  code=$(wait_exit "$pid")
  [ "$code" = 0 ] || fail "a copy ended with $code"
done
echo "both copies ended with code 0"
