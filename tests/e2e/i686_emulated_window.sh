#!/usr/bin/env bash
# The real 32-bit window under emulation, in one start: a coder value, a file added through
# the Add dialog and coded in place like the reference, then Alt+F4 and exit code 0.
BUILD=$1
export VORRIN_I686_SMOKE=1
source "$(dirname "$0")/../../scripts/wine-host"
vorrin_wine_host
[ "$VORRIN_WINE_I686" != skipped ] || { echo "skipped: $VORRIN_WINE_SKIPPED"; exit 77; }
source "$(dirname "$0")/harness.sh"
# An emulated start takes minutes, not seconds.
FIND_WINDOW_SECONDS=400

head -c $((1024 * 1024 + 5)) /dev/urandom > "$WORK/a.keep"
reference_code 4242 "$WORK/a.keep" "$WORK/a.expected"

# The emulator (qemu-user) now and then hands a second thread of a 32-bit Wine program the
# first one's thread data; the Add dialog starts such a thread, and then both wait on the one
# pipe for ever. No sound program's threads block reading one descriptor together.
emulator_hung() {
  local pid
  pid=$(emulated_pid)
  [ -n "$pid" ] || return 1
  [ -n "$(awk '$1 == 0 {print $2}' /proc/"$pid"/task/*/syscall 2>/dev/null | sort | uniq -d)" ]
}

# The emulated program's process: Wine starts it apart from wine-run (which waits in start.exe),
# so it is found by its command line.
emulated_pid() {
  ps -eo pid=,args= | grep -F -- "$(wine_path "$BUILD/vorrin.exe")" | awk '$2 ~ /qemu-i386/ {print $1}' | tail -1
}

# stop_program: the hung program and its wine-run, by their ids.
stop_program() {
  local pid
  pid=$(emulated_pid)
  [ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null || true
  kill_tree "$VORRIN_PID"
}

# wait_until CONDITION SECONDS: polls once a second, by the clock (each poll looks at /proc).
wait_until() {
  local end=$((SECONDS + $2))
  until eval "$1"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 1
  done
}

# attempt N: one start in a fresh folder. Returns 1 where the emulator hung; any other fault
# (no window, no dialog, the file coded wrongly, a wrong exit code) fails the scenario.
attempt() {
  local dir=$WORK/try$1 code
  mkdir "$dir" && cp "$WORK/a.keep" "$dir/a.bin"
  start_vorrin
  win=$(find_windows Vorrin) || fail "no window"
  focus_window "$win"
  xdotool type 4242
  xdotool key Insert
  wait_until 'xdotool search --onlyvisible --name "^Select file\(s\) to simple coding\.\.\.$" >/dev/null 2>&1 ||
              emulator_hung' 120 || fail "the Add dialog did not open"
  ! emulator_hung || return 1
  sleep 3 # the emulated dialog fills its list before it takes keys
  choose_in_add_dialog "$dir" a.bin
  wait_until 'cmp -s "$dir/a.bin" "$WORK/a.expected" || emulator_hung' 120 ||
    fail "the file was not coded like the reference"
  wait_until '[ "$(caption "$win")" = Vorrin ] || emulator_hung' 120 || fail "the run did not end"
  ! emulator_hung || return 1
  focus_window "$win"
  xdotool key alt+F4
  code=$(wait_exit "$VORRIN_PID" 120)
  [ "$code" != timeout ] || ! emulator_hung || return 1
  [ "$code" = 0 ] || fail "exit code $code"
}

if ! attempt 1; then
  screenshot emulated-window-hung || true
  echo "the emulator hung the program (screenshot emulated-window-hung.png); once more"
  stop_program
  if ! attempt 2; then
    stop_program
    echo "skipped: the emulator hung the program twice, both times once the Add dialog started its thread"
    exit 77
  fi
fi
echo "coded through the Add dialog; exit code 0"
