#!/usr/bin/env bash
# Runs the FullDisk tests as on a disk that is full past 9 MiB: the process's file size limit
# is lowered, and its signal ignored so that a write past the limit fails instead of ending
# the program. No file that large can be written under the limit, so the source the tests
# code is made here first. Usage: full_disk.sh TESTS [EMULATOR]; with an emulator (Wine) the
# file is named the Windows way.
set -euo pipefail
tests=$1 emulator=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c $((12 << 20)) /dev/urandom >"$work/big.bin"
run=("$tests")
file=$work/big.bin
if [ -n "$emulator" ]; then
  run=("$emulator" "$tests")
  file="Z:${work//\//\\}\\big.bin"
fi
# Prefix and wineserver are made (when missing) before the limit, which must not bind them.
"${run[@]}" --gtest_list_tests >/dev/null
export VORRIN_FULL_DISK_FILE=$file VORRIN_FILE_LIMIT=$((9 << 20))
trap '' XFSZ
ulimit -f $((9 << 10))
"${run[@]}" --gtest_filter='*FullDisk*'
