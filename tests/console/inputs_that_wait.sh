#!/usr/bin/env bash
# Lists and streams that could hold vorrinc up or flood it: a list is read only from a regular
# file of at most 64 MiB (or from the pipe that is standard input), and SIGINT, SIGTERM or
# SIGHUP ends any wait for input at once. A stream cut short so says it and exits 1, even
# when the same Ctrl+C ended its producer, whose end of input is no end of the data.
source "$(dirname "$0")/cli_harness.sh"
[ "$WINDOWS" = 0 ] || { echo "skipped: named pipes and signals are POSIX's"; exit 77; }

head -c 1000 /dev/urandom >a.bin
cp a.bin a.keep
mkfifo named.fifo
truncate -s 65M big.flt
RUN=(timeout -s KILL 60 "$PROGRAM")   # a hang fails, with status 137
for case in ".:is a folder" "/dev/zero:is not a file list" "named.fifo:is not a file list" \
            "big.flt:is too large"; do
  vorrinc --value 5 "@${case%%:*}" a.bin
  expect 2
  [[ $ERR == *"${case%%:*}: ${case#*:}"* ]] || fail "@${case%%:*}: $ERR"
done
same a.keep a.bin
# The pipe that is standard input is still read (its entries are relative to /dev).
printf '%s/a.bin\n' "$WORK" | "${RUN[@]}" --value 5 @/dev/stdin >.out
coded_like_reference 5 a.keep a.bin

# Inputs whose writer is there but never writes (this shell holds the pipe open).
mkfifo feed
exec 3<>feed
# signal_while_waiting SIGNAL ARGS...: vorrinc reads feed; the signal comes once it waits.
signal_while_waiting() {
  local signal=$1; shift
  "$PROGRAM" "$@" <feed >.out 2>.err 3>&- &
  local pid=$!
  for _ in $(seq 200); do
    [[ $(cat "/proc/$pid/wchan" 2>/dev/null) == *poll* ]] && break
    sleep 0.05
  done
  kill "-$signal" "$pid"
  [ "${CLOSE_FEED:-0}" = 0 ] || exec 3>&-
  timeout 20 tail --pid="$pid" -f /dev/null || kill -KILL "$pid"   # a hang fails, with status 137
  set +e
  wait "$pid"
  STATUS=$?
  set -e
  ERR=$(cat .err)
}
for signal in INT TERM HUP; do
  signal_while_waiting "$signal" --value 5 @/dev/stdin
  expect 1
  [[ $ERR == *"interrupted while waiting for the file list"* ]] || fail "SIG$signal on a list: $ERR"
done
signal_while_waiting TERM --value 5 -
expect 1
[[ $ERR == *"interrupted; the output is incomplete"* ]] || fail "SIGTERM on a stream: $ERR"

# Ctrl+C ends the producer too: what came is coded, and the stream is reported cut short.
printf 'abcdefghij' >&3
CLOSE_FEED=1 signal_while_waiting INT --value 5 -
expect 1
[[ $ERR == *"interrupted; the output is incomplete"* ]] || fail "Ctrl+C with the producer gone: $ERR"
printf 'abcdefghij' >sent
coded_like_reference 5 sent .out
echo "lists and streams never hang: refused, or ended by a signal with a message"
