#!/usr/bin/env bash
# A file whose coding in place was cut short, and the world around it: a second run on it, a
# closed standard error, an emptied journal, another name of the file, a copy or a restore
# asked of it, another program writing it. Each ends with the file coded exactly, or left as
# it was with a message and status 1. Natively every case; under Wine all but a file grown and
# journals that belong to another file or user.
source "$(dirname "$0")/cli_harness.sh"

if [ "$WINDOWS" = 1 ]; then
  truncate -s 1G orig.keep  # under Wine a smaller file is coded before the journal is seen
else
  head -c $((64 << 20)) /dev/urandom >orig.keep
fi
journal=big.bin.vorrin-journal
# A value of this run's own: under Wine the program runs apart from the process that started it,
# and is found by its command line.
VALUE=$(( $$ % 30000 + 1000 ))

# Sends a signal to the run and everything it started, and under Wine to the program itself.
signal_tree() { # SIGNAL PID
  local children
  children=$(pgrep -P "$2" || true)
  kill "-$1" "$2" 2>/dev/null || true
  for child in $children; do signal_tree "$1" "$child"; done
  if [ "$WINDOWS" = 1 ]; then pkill "-$1" -f "vorrinc\\.exe --value $VALUE big\\.bin" || true; fi
}

# Starts a coding of big.bin in the background and stops it once its journal is there; PID is
# the run. A machine too busy to see the journal before the run ended tries again.
start_coding() { # ARGS...
  for _ in 1 2 3 4 5; do
    rm -f "$journal"
    cp --sparse=always orig.keep big.bin
    "${RUN[@]}" --value $VALUE "$@" big.bin >.bg-out 2>.bg-err &
    PID=$!
    for _ in $(seq 4000); do
      [ -e "$journal" ] || ! kill -0 "$PID" 2>/dev/null && break
      sleep 0.002
    done
    signal_tree STOP "$PID"
    [ -e "$journal" ] && return
    signal_tree CONT "$PID"
    wait "$PID" || true
  done
  fail "the journal was never seen while the file was coded"
}

# A coding cut short (killed right after its journal appeared): the file is partly coded, or
# not yet changed, and the journal tells which.
cut_short() {
  start_coding
  signal_tree KILL "$PID"
  wait "$PID" 2>/dev/null || true
  cp big.bin cut.keep
}

# A second run while the first is stopped mid-file: refused (natively by the first's lock, on
# Windows by the sharing of its open), nothing changed; the first then finishes exactly.
start_coding
cp big.bin stopped.keep
vorrinc --value $VALUE big.bin
if [ "$WINDOWS" = 0 ]; then
  expect 1 "0 coded, 0 failed, 1 skipped"
  [[ $ERR == *"is being coded by another run"* ]] || fail "the second run did not say why"
else
  expect 1 "0 coded, 1 failed, 0 skipped"
fi
same stopped.keep big.bin
signal_tree CONT "$PID"
wait "$PID" || fail "the first run failed: $(cat .bg-err)"
coded_like_reference $VALUE orig.keep big.bin
[ ! -e "$journal" ] || fail "journal left"

# Resumed with standard error closed: nothing of a message lands in the file.
cut_short
set +e; "${RUN[@]}" --value $VALUE big.bin >.out 2>&-; STATUS=$?; set -e
expect 0
coded_like_reference $VALUE orig.keep big.bin

# Resumed through a symbolic link, a linked folder and a hard link: found every time, but
# through a hard link where the disk keeps no marks (Wine's): there the file is refused while
# it has two names, and found once it has one again.
for name in link.bin linked/big.bin hard.bin; do
  [ "$WINDOWS" = 1 ] && [ "$name" = linked/big.bin ] && continue
  rm -rf hard.bin link.bin linked
  cut_short
  ln big.bin hard.bin
  ln -s big.bin link.bin
  ln -s . linked
  vorrinc --value $VALUE "$name"
  if [ "$WINDOWS" = 1 ] && [ "$name" = hard.bin ]; then
    expect 1 "0 coded, 1 failed, 0 skipped"
    [[ $ERR == *"several names"* ]] || fail "the hard link was not refused: $ERR"
    same cut.keep big.bin
    rm hard.bin
    vorrinc --value $VALUE big.bin
  fi
  expect 0 "1 coded, 0 failed, 0 skipped"
  [[ $ERR == *"cut short"* ]] || fail "$name: no word of the interrupted coding"
  coded_like_reference $VALUE orig.keep big.bin
  [ -z "$(ls -A | grep vorrin-journal)" ] || fail "$name: a journal was left"
done
rm -rf hard.bin link.bin linked

# The user asked for a copy of a file cut short: refused, nothing changed, no copy.
cut_short
vorrinc --value $VALUE --into out big.bin
expect 1 "0 coded, 1 failed, 0 skipped"
same cut.keep big.bin
[ -z "$(ls -A out 2>/dev/null)" ] || fail "a copy was made"
vorrinc --value $VALUE --restore big.bin
expect 0 "1 coded, 0 failed, 0 skipped"
same orig.keep big.bin

if [ "$WINDOWS" = 0 ]; then
  # Another program grows the file while it is coded: reported, and the file left whole.
  start_coding
  printf 'appended' >>big.bin
  signal_tree CONT "$PID"
  set +e; wait "$PID"; STATUS=$?; set -e
  [ "$STATUS" = 1 ] || fail "a file grown while coded was not refused (status $STATUS)"
  grep -q "changed size while it was coded" .bg-err || fail "no word of the change: $(cat .bg-err)"
  { cat orig.keep; printf 'appended'; } | cmp -s - big.bin || fail "the grown file is not whole"

  # The journal copied beside a twin of the file, and one planted by another user: neither is
  # believed.
  cut_short
  cp big.bin twin.bin
  cp "$journal" twin.bin.vorrin-journal
  vorrinc --value $VALUE twin.bin
  expect 1 "0 coded, 1 failed, 0 skipped"
  [[ $ERR == *"was made for another file"* ]] || fail "the twin's journal was believed"
  same cut.keep twin.bin
  rm twin.bin twin.bin.vorrin-journal
  if [ "$(id -u)" = 0 ]; then
    chown 65534 "$journal"
    vorrinc --value $VALUE big.bin
    expect 1 "0 coded, 1 failed, 0 skipped"
    [[ $ERR == *"made by another user (user 65534)"* ]] || fail "another user's journal was believed"
    same cut.keep big.bin
    chown 0 "$journal"
  fi
  vorrinc --value $VALUE big.bin
  expect 0 "1 coded, 0 failed, 0 skipped"
  coded_like_reference $VALUE orig.keep big.bin
fi

# A journal emptied (a disk fault, a sync tool) is damage, never "nothing was coded".
: >"$journal"
cp big.bin before.keep
vorrinc --value $VALUE big.bin
expect 1 "0 coded, 1 failed, 0 skipped"
[[ $ERR == *"is damaged"* ]] || fail "the damaged journal was not named"
same before.keep big.bin
[ -e "$journal" ] || fail "the damaged journal was removed"
rm "$journal"

# A restore asked of a file with nothing to restore changes nothing.
vorrinc --value $VALUE --restore big.bin
expect 1 "0 coded, 0 failed, 1 skipped"
[[ $ERR == *"nothing to restore"* ]] || fail "no word that there was nothing to restore"
same before.keep big.bin
echo "every case left the file exact or as it was"
