#!/usr/bin/env bash
# Under emulation each start of Wine costs about a minute, so one vorrinc.exe run covers what
# differs between 32 and 64 bits: the awkward sizes coded into a folder, the same sizes coded
# in place (their own folder, with --overwrite), and a sparse file past 4 GiB (64-bit offsets).
export VORRIN_I686_SMOKE=1
source "$(dirname "$0")/cli_harness.sh"

mkdir src keep out
sizes=(0 1 3 4 5 16383 16384 16385 $((5 * 1024 * 1024 + 3)))
for size in "${sizes[@]}"; do
  head -c "$size" /dev/urandom >"src/f$size.bin"
  cp "src/f$size.bin" "keep/f$size.bin"
  cp "src/f$size.bin" "out/g$size.bin"
done
big=$(( (4 << 30) + 103 ))
truncate -s "$big" out/big.bin
head -c 70000 /dev/urandom | dd of=out/big.bin bs=1 seek=$(( big - 70000 )) conv=notrunc status=none
cp --sparse=always out/big.bin big.keep

vorrinc --value 962 --into out --overwrite src/*.bin out/g*.bin out/big.bin
total=$(( 2 * ${#sizes[@]} + 1 ))
expect 0 "$total coded, 0 failed, 0 skipped"
for size in "${sizes[@]}"; do
  coded_like_reference 962 "keep/f$size.bin" "out/f$size.bin"
  coded_like_reference 962 "keep/f$size.bin" "out/g$size.bin"
  same "keep/f$size.bin" "src/f$size.bin"
done
[ "$(stat -c %s out/big.bin)" = "$big" ] || fail "the big file's size changed"
coded_like_reference 962 big.keep out/big.bin
echo "coded like the reference into a folder, in place, and past 4 GiB"
