#!/usr/bin/env bash
# vorrinc.exe expands '*' and '?' in its file arguments, names in any language included, as
# Windows programs do; a pattern that matches nothing is reported. Natively the shell expands
# them, and the program takes a name as it is.
source "$(dirname "$0")/cli_harness.sh"

mkdir sub
for f in a.bin b.bin "данные ü.bin" c.txt a.bin.keep sub/d.bin; do head -c 20001 /dev/urandom >"$f"; done
mkdir folder.bin
for f in a.bin b.bin "данные ü.bin" c.txt a.bin.keep sub/d.bin; do cp "$f" "$f.orig"; done

if [ "$WINDOWS" = 0 ]; then
  vorrinc --value 5 '*.bin'
  expect 1 "0 coded, 1 failed, 0 skipped"
  [[ $ERR == *"*.bin: no such file"* ]] || fail "the name was not taken as it is: $ERR"
  echo "natively the shell expands wildcards"
  exit 0
fi

vorrinc --value 5 '*.bin' 'sub\?.bin'
expect 0 "4 coded, 0 failed, 0 skipped"
for f in a.bin b.bin "данные ü.bin" sub/d.bin; do coded_like_reference 5 "$f.orig" "$f"; done
for f in c.txt a.bin.keep; do same "$f.orig" "$f"; done

vorrinc --value 5 '*.none' '?.bin'
expect 1 "2 coded, 1 failed, 0 skipped"
[[ $ERR == *"*.none: no file matches"* ]] || fail "no match is not reported: $ERR"
for f in a.bin b.bin; do same "$f.orig" "$f"; done
echo "wildcards expanded as Windows programs do"
