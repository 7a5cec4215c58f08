#!/usr/bin/env bash
# A sparse file just over 4 GiB coded in place holds what the reference coder makes of it:
# 64-bit offsets all the way, and a tail that is not a whole word.
source "$(dirname "$0")/cli_harness.sh"

size=$(( (4 << 30) + 103 ))
truncate -s "$size" big.bin
head -c 65536 /dev/urandom | dd of=big.bin bs=65536 seek=$(( (2 << 30) / 65536 - 1 )) conv=notrunc status=none
head -c 70000 /dev/urandom | dd of=big.bin bs=1 seek=$(( size - 70000 )) conv=notrunc status=none
cp --sparse=always big.bin big.keep

vorrinc --value 962 big.bin
expect 0 "1 coded, 0 failed, 0 skipped"
[ "$(stat -c %s big.bin)" = "$size" ] || fail "the size changed"
coded_like_reference 962 big.keep big.bin
echo "a sparse file over 4 GiB coded whole"
