#!/usr/bin/env bash
# The window's safety: an existing destination is left alone unless --overwrite; the
# source's own folder is coded in place only then, and never truncated; a file named twice
# is coded once; a destination that can't be written gets no partial file.
source "$(dirname "$0")/cli_harness.sh"

mkdir src out
head -c 100003 /dev/urandom >src/a.bin
cp src/a.bin a.keep
head -c 500 /dev/urandom >out/a.bin
cp out/a.bin old.keep

vorrinc --value 77 --into out src/a.bin
expect 1 "0 coded, 0 failed, 1 skipped"
[[ $ERR == *a.bin* ]] || fail "the existing destination is not named: $ERR"
same old.keep out/a.bin
vorrinc --value 77 --into out --overwrite src/a.bin
expect 0 "1 coded, 0 failed, 0 skipped"
coded_like_reference 77 a.keep out/a.bin
same a.keep src/a.bin

# The source's own folder, named another way.
vorrinc --value 77 --into src/../src src/a.bin
expect 1 "0 coded, 0 failed, 1 skipped"
same a.keep src/a.bin
vorrinc --value 77 --into ./src/ --overwrite src/a.bin
expect 0 "1 coded, 0 failed, 0 skipped"
coded_like_reference 77 a.keep src/a.bin

# The same file under three spellings is coded once (a second time would restore it).
cp a.keep twice.bin
vorrinc --value 77 twice.bin ./twice.bin src/../twice.bin
expect 0 "1 coded, 0 failed, 0 skipped"
coded_like_reference 77 a.keep twice.bin
if [ "$WINDOWS" = 0 ]; then
  cp a.keep linked.bin
  ln linked.bin hard-link.bin
  vorrinc --value 77 linked.bin hard-link.bin
  expect 0 "1 coded, 0 failed, 0 skipped"
  coded_like_reference 77 a.keep linked.bin

  # A disk that fills up (a file size limit here): the failure is reported and no file,
  # whole or partial, is left in the folder.
  head -c $((3 << 20)) /dev/urandom >big.bin
  set +e
  (ulimit -f 1024; exec "$PROGRAM" --value 77 --into full big.bin >.out 2>.err)
  STATUS=$? OUT=$(cat .out) ERR=$(cat .err)
  set -e
  expect 1 "0 coded, 1 failed, 0 skipped"
  [[ $ERR == *full/big.bin* ]] || fail "the destination is not named: $ERR"
  [ -z "$(ls -A full)" ] || fail "left in the folder: $(ls -A full)"
fi
echo "existing destinations kept, own folder in place only with --overwrite, each file once"
