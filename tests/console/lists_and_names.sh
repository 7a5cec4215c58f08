#!/usr/bin/env bash
# File lists as the window reads them (any line end, relative entries against the list's
# own folder, blank lines) and names in any language, in place and into a folder.
source "$(dirname "$0")/cli_harness.sh"

mkdir -p lists/data "другой каталог" elsewhere
head -c 12345 /dev/urandom >lists/data/one.bin
head -c 7 /dev/urandom >"другой каталог/данные 数据 ü.bin"
head -c 40000 /dev/urandom >lists/data/three.bin
cp lists/data/one.bin one.keep; cp "другой каталог/данные 数据 ü.bin" two.keep; cp lists/data/three.bin three.keep
# LF and CR LF line ends, a blank line, an entry relative to the list's folder, one leading
# out of it.
printf 'data/one.bin\n\r\n../другой каталог/данные 数据 ü.bin\r\ndata/three.bin' >lists/mixed.flt

cd elsewhere
vorrinc --value 31337 --into "../выход/ещё" @../lists/mixed.flt
cd ..
expect 0 "3 coded, 0 failed, 0 skipped"
coded_like_reference 31337 one.keep "выход/ещё/one.bin"
coded_like_reference 31337 two.keep "выход/ещё/данные 数据 ü.bin"
coded_like_reference 31337 three.keep "выход/ещё/three.bin"

# In place, by name.
vorrinc --value 31337 "другой каталог/данные 数据 ü.bin"
expect 0 "1 coded, 0 failed, 0 skipped"
coded_like_reference 31337 two.keep "другой каталог/данные 数据 ü.bin"
vorrinc --value 31337 "no such ü.bin"
expect 1 "0 coded, 1 failed, 0 skipped"
[[ $ERR == *"no such ü.bin"* ]] || fail "the name is not shown as given: $ERR"
echo "lists read as the window reads them; names in any language"
