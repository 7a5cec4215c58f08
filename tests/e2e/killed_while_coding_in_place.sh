#!/usr/bin/env bash
# The program's process dies (SIGKILL, as a crash or End task) while it codes a large file in
# place. Started again with the same value and given the file again, it asks what to do: Yes
# finishes the coding, No restores the file as it was; either way no journal is left. A journal
# emptied meanwhile leaves the file as it is, with an Error box.
BUILD=$1
source "$(dirname "$0")/harness.sh"

src=$WORK/src
mkdir -p "$src"
head -c $((512 * 1024 * 1024 + 12345)) /dev/urandom > "$src/big.bin"
cp "$src/big.bin" "$WORK/original"
reference_code 962 "$src/big.bin" "$WORK/coded"

journals() { find "$src" -name '*journal*'; }

# kill_mid_file: codes the file in place and kills the program's process once the caption
# shows it partly done; the journal must then be beside the file.
kill_mid_file() {
  start_coding 962 "$src" big.bin
  wait_for '[ "$(caption_percent)" -ge 20 ]' 60 || fail "the coding did not get under way"
  kill -KILL "$(wine_pid)"
  wait_exit "$VORRIN_PID" 20 >/dev/null
  [ -n "$(journals)" ] || fail "killed at $(caption_percent)%: no journal beside the file"
  ! cmp -s "$src/big.bin" "$WORK/original" || fail "killed mid-file, yet the file is as it was"
  ! cmp -s "$src/big.bin" "$WORK/coded" || fail "killed mid-file, yet the file is wholly coded"
}

# repair KEY EXPECTED SHOT: starts again, gives the file again, answers the Warning box with
# KEY; the file must end as EXPECTED and the journal be gone.
repair() {
  local expected=$2
  start_coding 962 "$src" big.bin
  find_windows Warning >/dev/null || fail "no question about the interrupted file"
  sleep 0.5
  screenshot "$3"
  answer_box Warning "$1" || fail "could not answer the Warning box"
  wait_for 'cmp -s "$src/big.bin" "$expected"' 90 || fail "answered $1: the file is not as expected"
  wait_for '[ -z "$(journals)" ]' 10 || fail "answered $1: the journal is left: $(journals)"
  wait_for '[ "$(caption "$win")" = Vorrin ]' 30 || fail "the run did not end"
  focus_window "$win"
  xdotool key alt+F4
  local code
  code=$(wait_exit "$VORRIN_PID" 30)
  [ "$code" = 0 ] || fail "answered $1: exit code $code"
}

# A journal emptied meanwhile (a disk fault, a sync tool restoring an old copy) is damage, never
# "nothing was coded": an Error box names it, and the file stays as the kill left it.
emptied_journal() {
  local journal
  journal=$(journals)
  cp "$journal" "$WORK/journal.keep"
  cp "$src/big.bin" "$WORK/cut"
  : >"$journal"
  start_coding 962 "$src" big.bin
  find_windows Error >/dev/null || fail "the emptied journal was not reported"
  sleep 0.5
  screenshot damaged-journal
  answer_box Error Return || fail "could not answer the Error box"
  wait_for '[ "$(caption "$win")" = Vorrin ]' 30 || fail "the run did not end"
  cmp -s "$src/big.bin" "$WORK/cut" || fail "a file with an emptied journal was changed"
  focus_window "$win"
  xdotool key alt+F4
  wait_exit "$VORRIN_PID" 30 >/dev/null
  cp "$WORK/journal.keep" "$journal"
}

kill_mid_file
emptied_journal
repair n "$WORK/original" interrupted-file-question
kill_mid_file
repair y "$WORK/coded" interrupted-file-finished
echo "killed mid-file twice: No restored the file, Yes finished it; no journal left"
