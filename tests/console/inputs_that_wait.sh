#!/usr/bin/env bash
# Lists and streams that could hold vorrinc up or flood it: a list is read only from a regular
# file of at most 64 MiB (or from the pipe that is standard input), and SIGINT, SIGTERM or
# SIGHUP ends any wait for input at once. A stream cut short so says it and exits 1, even
# when the same Ctrl+C ended its producer, whose end of input is no end of the data. Under
# Wine the pipe's cases with Ctrl+C alone (SIGINT to the program, which Wine turns into the
# console's Ctrl+C event); named pipes and devices are POSIX's.
source "$(dirname "$0")/cli_harness.sh"

head -c 1000 /dev/urandom >a.bin
cp a.bin a.keep
PLAIN=("${RUN[@]}")
RUN=(timeout -s KILL 60 "${PLAIN[@]}")   # a hang fails, with status 137
if [ "$WINDOWS" = 0 ]; then
  mkfifo named.fifo
  truncate -s 65M big.flt
  for case in ".:is a folder" "/dev/zero:is not a file list" "named.fifo:is not a file list" \
              "big.flt:is too large"; do
    vorrinc --value 5 "@${case%%:*}" a.bin
    expect 2
    [[ $ERR == *"${case%%:*}: ${case#*:}"* ]] || fail "@${case%%:*}: $ERR"
  done
  same a.keep a.bin
fi
# The pipe that is standard input is still read (its entries are relative to /dev).
printf '%s/a.bin\n' "$WORK" | "${RUN[@]}" --value 5 @/dev/stdin >.out
coded_like_reference 5 a.keep a.bin

# Inputs whose writer is there but never writes (this shell holds the pipe open).
mkfifo feed
exec 3<>feed
# This run's own value: under Wine the program runs apart from the process that started it,
# and is found by its command line.
VALUE=$(( $$ % 30000 + 1000 ))
program_pids() { # PID: the processes a signal is for
  if [ "$WINDOWS" = 1 ]; then pgrep -f "vorrinc\\.exe --value $VALUE" || true; else echo "$1"; fi
}
# waiting PID...: one of them waits for feed. Natively in poll; under Wine a thread of the
# program is in the read system call (numbered as on x86_64 or i386) on a descriptor of feed.
waiting() {
  local pid task call fd
  for pid; do
    if [ "$WINDOWS" = 0 ]; then
      [[ $(cat "/proc/$pid/wchan" 2>/dev/null) == *poll* ]] && return 0
      continue
    fi
    for task in /proc/"$pid"/task/*; do
      read -r call fd _ 2>/dev/null <"$task/syscall" || continue
      [[ $call == 0 || $call == 3 ]] && [ "$(readlink "/proc/$pid/fd/$((fd))")" = "$WORK/feed" ] && return 0
    done
  done
  return 1
}
# signal_while_waiting SIGNAL ARGS...: vorrinc reads feed; the signal comes once it waits.
signal_while_waiting() {
  local signal=$1; shift
  "${PLAIN[@]}" --value "$VALUE" "$@" <feed >.out 2>.err 3>&- &
  local pid=$! targets=""
  for _ in $(seq 400); do
    targets=$(program_pids "$pid")
    [ -n "$targets" ] && waiting $targets && break
    sleep 0.05
  done
  [ -n "$targets" ] || fail "vorrinc never started"
  kill "-$signal" $targets 2>/dev/null || true   # one may have ended since (Wine's start)
  [ "${CLOSE_FEED:-0}" = 0 ] || exec 3>&-
  # A hang fails, with status 137.
  timeout 20 tail --pid="$pid" -f /dev/null || kill -KILL "$pid" $(program_pids "$pid") 2>/dev/null || true
  set +e
  wait "$pid"
  STATUS=$?
  set -e
  ERR=$(tr -d '\r' <.err)
}
signals="INT TERM HUP" stream_signal=TERM
[ "$WINDOWS" = 0 ] || signals=INT stream_signal=INT
for signal in $signals; do
  signal_while_waiting "$signal" @/dev/stdin
  expect 1
  [[ $ERR == *"interrupted while waiting for the file list"* ]] || fail "SIG$signal on a list: $ERR"
done
# What came before the signal is coded; the writer still there, the stream is reported cut short.
printf 'abcdefghij' >sent
cat sent >&3
signal_while_waiting "$stream_signal" -
expect 1
[[ $ERR == *"interrupted; the output is incomplete"* ]] || fail "SIG$stream_signal on a stream: $ERR"
coded_like_reference "$VALUE" sent .out

# Ctrl+C ends the producer too: what came is coded, and the stream is reported cut short.
# (Under Wine the console's event comes too late for this: the end of input is read first.)
if [ "$WINDOWS" = 0 ]; then
  cat sent >&3
  CLOSE_FEED=1 signal_while_waiting INT -
  expect 1
  [[ $ERR == *"interrupted; the output is incomplete"* ]] || fail "Ctrl+C with the producer gone: $ERR"
  coded_like_reference "$VALUE" sent .out
fi
echo "lists and streams never hang: refused, or ended by a signal with a message"
