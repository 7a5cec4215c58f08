#!/usr/bin/env bash
# Packs one built Windows folder the way scripts/release does and checks what a user unpacks:
# exactly the programs, the help and the read-me, each as built; the programs for the
# archive's architecture and within their size budget; the read-me in CR LF lines; and a
# SHA256SUMS that verifies the archive.
# Usage: release_archive.sh BUILD_FOLDER VERSION win32|win64
set -euo pipefail
build=$1 version=$2 suffix=$3
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dist=$(mktemp -d)
trap 'rm -rf "$dist"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

VORRIN_DIST=$dist "$repo/scripts/release" --package-only "$build" >/dev/null
archive=$dist/vorrin-$version-$suffix.zip
[ -f "$archive" ] || fail "no $(basename "$archive") in: $(ls "$dist")"

expected="README.txt vorrin.chm vorrin.exe"
[ -f "$build/vorrinc.exe" ] && expected+=" vorrinc.exe"
actual=$(unzip -Z1 "$archive" | sort | xargs)
[ "$actual" = "$(echo "$expected" | tr ' ' '\n' | sort | xargs)" ] ||
  fail "the archive holds '$actual', expected '$expected'"

case $suffix in win32) machine=014c ;; win64) machine=8664 ;; esac
mkdir "$dist/unpacked"
unzip -q "$archive" -d "$dist/unpacked"
for f in $expected; do
  cmp -s "$dist/unpacked/$f" "$build/$f" || fail "$f differs from the one in $build"
done
for f in $expected; do
  [[ $f == *.exe ]] || continue
  pe=$(od -An -tu4 -j60 -N4 "$dist/unpacked/$f" | tr -d ' ')
  [ "$(od -An -tx2 -j $((pe + 4)) -N2 "$dist/unpacked/$f" | tr -d ' ')" = "$machine" ] ||
    fail "$f is not a $suffix program"
  size=$(stat -c %s "$dist/unpacked/$f")
  [ "$size" -le 300000 ] || fail "$f has $size bytes, more than its budget of 300 KB"
done

readme=$dist/unpacked/README.txt
grep -q "^Vorrin $version"$'\r'"\$" "$readme" || fail "README.txt does not start with the version"
grep -q "not encryption" "$readme" || fail "README.txt does not say that coding is not encryption"
[ "$(grep -c $'[^\r]$' "$readme")" = 0 ] || fail "README.txt has lines without CR LF"

(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not verify the archive"
echo "release archive $suffix: $actual"
