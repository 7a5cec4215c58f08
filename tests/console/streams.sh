#!/usr/bin/env bash
# "-": standard input coded to standard output with the keystream a file of those bytes gets,
# a tail that is not a whole word included; coding the stream again restores it. Refused
# where it would be ambiguous or fill a terminal; a reader that goes away or a full disk ends
# it with a message and status 1.
source "$(dirname "$0")/cli_harness.sh"

# (cmp reads the copy tee wrote once the pipeline is done: read while written, it could end early.)
head -c 10000001 /dev/urandom | tee a | "${RUN[@]}" --value 77 - | "${RUN[@]}" --value 77 - >twice
cmp -s twice a || fail "coded twice through pipes, the stream is not restored"
"${RUN[@]}" --value 77 - <a >a.coded
coded_like_reference 77 a a.coded
for size in 0 1 5 16385; do
  head -c "$size" a >tail.bin
  "${RUN[@]}" --value -3 - <tail.bin >tail.coded
  coded_like_reference -3 tail.bin tail.coded
done

cp a keep
vorrinc --value 77 - a
expect 2
vorrinc --value 77 --into out -
expect 2
[[ $ERR == *'"-"'* ]] || fail "the refusal does not say why: $ERR"
same keep a
[ ! -e out ] || fail "the destination folder was made"

# The reader stops after a few bytes: what can't be written ends the stream.
set +e
"${RUN[@]}" --value 77 - <a 2>.err | head -c 10 >/dev/null
STATUS=${PIPESTATUS[0]}
set -e
ERR=$(tr -d '\r' <.err)
expect 1
[[ $ERR == *"can't write standard output"* ]] || fail "a closed pipe is not reported: $ERR"

if [ "$WINDOWS" = 0 ]; then
  set +e
  (ulimit -f 1024; exec "$PROGRAM" --value 77 - <a >full.out 2>.err)
  STATUS=$?
  set -e
  ERR=$(cat .err)
  expect 1
  [[ $ERR == *incomplete* ]] || fail "a full disk is not reported: $ERR"
  # A terminal for standard output (script gives the program one).
  script -qec "$PROGRAM --value 77 - </dev/null" /dev/null >.out || STATUS=$?
  grep -q "standard output is a terminal" .out || fail "coded data shown on a terminal: $(cat .out)"
  [ "$STATUS" = 2 ] || fail "a terminal refused with status $STATUS"
fi
echo "streams coded like files, refused where ambiguous, cut short with a message"
