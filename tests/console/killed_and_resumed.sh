#!/usr/bin/env bash
# vorrinc killed (SIGKILL: no chance to finish or undo) while coding a large file in place, at
# many moments: the file's journal tells the next run what is coded, and the same command
# again finishes the file exactly; with --restore it gives the file back as it was. Under Wine
# the Windows process and its loader are killed, at fewer moments (each start costs seconds).
source "$(dirname "$0")/cli_harness.sh"

if [ "$WINDOWS" = 1 ]; then
  size=$((256 << 20)) delays="0 0.1 0.3"
else
  size=$((320 << 20)) delays="0 0.02 0.08 0.15 0.25 0.4 0.6 0.9 1.3 1.8"
fi
truncate -s "$size" big.keep   # zeros cost no disk; coded, they become the keystream
journal=big.bin.vorrin-journal

# The process started for the command and everything it started, by id, at once.
kill_tree() {
  local children
  children=$(pgrep -P "$1" || true)
  kill -9 "$1" 2>/dev/null || true
  for child in $children; do kill_tree "$child"; done
}

# Starts the command, lets it run `delay` seconds after its journal appears, and kills it.
run_and_kill() { # DELAY ARGS...
  local delay=$1; shift
  "${RUN[@]}" "$@" >.out 2>.err &
  local pid=$!
  for _ in $(seq 2000); do
    [ -e "$journal" ] || ! kill -0 "$pid" 2>/dev/null && break
    sleep 0.005
  done
  sleep "$delay"
  kill_tree "$pid"
  wait "$pid" 2>/dev/null || true
}

interrupted=0
[ -n "${KILL_DEBUG:-}" ] && set -x
n=0
for delay in $delays; do
  n=$((n + 1))
  cp --sparse=always big.keep big.bin
  run_and_kill "$delay" --value 4242 big.bin
  if [ -e "$journal" ]; then
    interrupted=$((interrupted + 1))
    # Now and then the repair is killed too, and the run after it repairs that.
    if [ $((n % 4)) = 0 ]; then run_and_kill 0.05 --value 4242 big.bin; fi
    if [ $((n % 3)) = 0 ]; then
      vorrinc --value 4242 --restore big.bin
      expect 0 "1 coded, 0 failed, 0 skipped"
      same big.keep big.bin
    else
      vorrinc --value 4242 big.bin
      expect 0 "1 coded, 0 failed, 0 skipped"
      [[ $ERR == *"cut short"* ]] || fail "no word of the file's interrupted coding"
      coded_like_reference 4242 big.keep big.bin
    fi
  else
    # Killed before the journal was made (nothing changed) or after the file was whole.
    cmp -s big.keep big.bin || coded_like_reference 4242 big.keep big.bin
  fi
  [ ! -e "$journal" ] || fail "journal left after the repair (killed ${delay}s in)"
  ls -A | grep -v -E '^(big\.keep|big\.bin|\.out|\.err)$' && fail "files left beside the file"
done
[ "$interrupted" -gt 0 ] || fail "no kill came while the file was being coded"

# Another value does not fit the journal: nothing is changed. Only a file with coded sectors
# can tell the values apart (one still whole codes afresh with any value, soundly), so the kill
# comes later until the third sector, written after the first two, shows the coding.
has_coded_sectors() { [ -e "$journal" ] && ! cmp -s -i 1024 -n 512 big.keep big.bin; }
for delay in 0.1 0.3 0.8 1.5; do
  rm -f "$journal"
  cp --sparse=always big.keep big.bin
  run_and_kill "$delay" --value 4242 big.bin
  has_coded_sectors && break
done
if has_coded_sectors; then
  cp big.bin cut.keep
  vorrinc --value 4243 big.bin
  expect 1 "0 coded, 1 failed, 0 skipped"
  same cut.keep big.bin
  [ -e "$journal" ] || fail "the journal went with another value"
  echo "another value refused, ${delay}s in"
else
  echo "no kill came while sectors were coded: another value not tried"
fi
echo "killed at $n moments, $interrupted while coding: every file repaired"
