#!/usr/bin/env bash
# Files of every awkward size, a tail that is not a whole word included, coded into a
# folder and in place, hold exactly what the reference coder makes of them.
source "$(dirname "$0")/cli_harness.sh"

mkdir src keep
sizes=(0 1 3 4 5 16383 16384 16385 $((5 * 1024 * 1024 + 3)))
for size in "${sizes[@]}"; do
  head -c "$size" /dev/urandom >"src/f$size.bin"
  cp "src/f$size.bin" "keep/f$size.bin"
done

vorrinc --value 962 --into out/deeper src/*.bin
expect 0 "${#sizes[@]} coded, 0 failed, 0 skipped"
for size in "${sizes[@]}"; do
  coded_like_reference 962 "keep/f$size.bin" "out/deeper/f$size.bin"
  same "keep/f$size.bin" "src/f$size.bin"
done
[ "$(ls -A out/deeper | wc -l)" = "${#sizes[@]}" ] || fail "more than the coded files in the folder: $(ls -A out/deeper)"

# In place, with blanks around a negative value, as the window takes it.
vorrinc --value " -5 " src/*.bin
expect 0 "${#sizes[@]} coded, 0 failed, 0 skipped"
for size in "${sizes[@]}"; do coded_like_reference -5 "keep/f$size.bin" "src/f$size.bin"; done

# Coding again with the same value restores; --quiet says nothing when all goes well.
vorrinc --quiet --value=-5 src/*.bin
expect 0 ""
[ -z "$ERR" ] || fail "--quiet still said: $ERR"
for size in "${sizes[@]}"; do same "keep/f$size.bin" "src/f$size.bin"; done
echo "coded like the reference, into a folder and in place"
