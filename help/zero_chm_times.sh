#!/usr/bin/env bash
# chmcmd stamps the help file with the time of day it compiled it, twice: in the file's header
# and in the #SYSTEM record with code 10. Both are zeroed, as the linker's time stamp is, so the
# same pages always give the same vorrin.chm. A layout other than the one expected fails the
# build rather than leave a time in place.
# Usage: zero_chm_times.sh FILE.chm
set -euo pipefail
chm=$1
fail() { echo "zero_chm_times: $chm: $*" >&2; exit 1; }

[ "$(head -c 4 "$chm")" = ITSF ] || fail "not a compiled help file"
# #SYSTEM starts: version (4 bytes), then code 10, length 4, the time; then code 9, the
# compiler's name. Section 0 is stored uncompressed, so the name is found as it is.
mapfile -t found < <(grep -obUaF 'HHA Version' "$chm" | cut -d: -f1)
[ ${#found[@]} = 1 ] || fail "${#found[@]} #SYSTEM records found, expected 1"
record=$((found[0] - 12))
[ "$(od -An -tx1 -j "$record" -N4 "$chm" | tr -d ' ')" = 0a000400 ] ||
  fail "no time record before the compiler's name"

zero() { dd if=/dev/zero of="$chm" bs=1 seek="$1" count=4 conv=notrunc status=none; }
zero 16                 # the header's time stamp
zero $((record + 4))    # the #SYSTEM time
