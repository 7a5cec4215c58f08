#!/usr/bin/env bash
# Builds the Debian package the way scripts/release does (lintian fails it on an error) and
# checks what a Debian user installs: the program, its gzipped manual page, its completion,
# the copyright file in the machine-readable format and the changelog; unpacked into a scratch
# root, the program runs from there and codes a file as the reference coder does.
# Usage: release_deb.sh VERSION REFERENCE_CODER
set -euo pipefail
version=$1 reference=$2
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

VORRIN_DIST=$work/dist "$repo/scripts/release" --deb-only >"$work/log" 2>&1 || fail "release: $(cat "$work/log")"
grep '^release: ' "$work/log" | grep -v "$work" || true  # lintian's warnings, if any
package=$work/dist/vorrinc_${version}_$(dpkg --print-architecture).deb
[ -f "$package" ] || fail "no $(basename "$package") in: $(ls "$work/dist")"
(cd "$work/dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not verify the package"

expected="./usr/bin/vorrinc ./usr/share/bash-completion/completions/vorrinc ./usr/share/doc/vorrinc/changelog.gz
./usr/share/doc/vorrinc/copyright ./usr/share/man/man1/vorrinc.1.gz"
actual=$(dpkg-deb -c "$package" | awk '$1 !~ /^d/ {print $6}' | sort | xargs)
[ "$actual" = "$(echo $expected)" ] || fail "the package holds '$actual'"
[ "$(dpkg-deb -f "$package" Version)" = "$version" ] || fail "the package's version is not $version"

root=$work/root
dpkg -x "$package" "$root"
"$root/usr/bin/vorrinc" --version | grep -qx "vorrinc $version" || fail "the unpacked program does not run"
head -c 100003 /dev/urandom >"$work/a.bin"
cp "$work/a.bin" "$work/a.keep"
"$root/usr/bin/vorrinc" --quiet --value 77 "$work/a.bin"
"$reference" 77 "$work/a.keep" - | cmp -s - "$work/a.bin" || fail "the unpacked program codes unlike the reference"
man -l "$root/usr/share/man/man1/vorrinc.1.gz" 2>/dev/null | grep -q "not encryption" || fail "man does not show the page"
zcat "$root/usr/share/doc/vorrinc/changelog.gz" | head -n 1 | grep -q "^vorrinc ($version)" || fail "the changelog names no $version"
head -n 1 "$root/usr/share/doc/vorrinc/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not machine-readable"
echo "Debian package: $actual; lintian without errors"
