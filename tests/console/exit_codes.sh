#!/usr/bin/env bash
# Exit status 2 for a command line that can't be used, and then nothing is touched; 1 when
# a file failed; 0 when every file was coded. --help and --version.
source "$(dirname "$0")/cli_harness.sh"

head -c 70001 /dev/urandom >a.bin
cp a.bin keep.bin
head -c 3000 /dev/urandom >garbage.flt
printf 'a.bin\n' >good.flt

usage_error() { # what ARGS...
  local what=$1; shift
  vorrinc "$@"
  [ "$STATUS" = 2 ] || fail "$what: exit status $STATUS, expected 2"
  [ -n "$ERR" ] || fail "$what: nothing said on standard error"
  same keep.bin a.bin
  [ ! -e new ] || fail "$what: the destination folder was made"
}
usage_error "no value" --into new a.bin
usage_error "a value that is no number" --value abc --into new a.bin
usage_error "a value that is 0" --value 0 --into new a.bin
usage_error "a value that is 0 modulo 2^32" --value 4294967296 --into new a.bin
usage_error "hex" --value 0x10 --into new a.bin
usage_error "an unknown option" --value 5 --fast --into new a.bin
usage_error "no file" --value 5 --into new
usage_error "a list that is no list" --value 5 --into new a.bin @garbage.flt
usage_error "a missing list" --value 5 --into new @missing.flt a.bin
[[ $ERR == *missing.flt* ]] || fail "the missing list is not named: $ERR"

vorrinc --help
expect 0
[[ $OUT == Usage:* ]] || fail "--help: $OUT"
vorrinc --version
expect 0 "vorrinc $VERSION"

# A missing file fails and is named; the others are coded all the same.
vorrinc --value 5 missing.bin @good.flt
expect 1 "1 coded, 1 failed, 0 skipped"
[[ $ERR == *missing.bin* ]] || fail "the missing file is not named: $ERR"
coded_like_reference 5 keep.bin a.bin
vorrinc --value 5 a.bin
expect 0 "1 coded, 0 failed, 0 skipped"
same keep.bin a.bin
echo "usage errors touch nothing; exit statuses 0, 1 and 2"
