#!/usr/bin/env bash
# Builds the release twice from this commit, as two people would who took it: in two clones at
# paths of different lengths, one after the other, under different umasks, time zones, locales
# and user names; then compares the two dist/ folders, file by file. Where they differ it shows
# how: diffoscope (scripts/bootstrap installs it), or else the archives' listings and the first
# file that differs inside them.
# Only what ships is built (scripts/release --no-tests). The first clone's compiler gets paths
# relative to the clone (ccache's base_dir), so its objects come from the cache of runs before;
# the second compiles everything itself (no ccache), with absolute paths, as most builders do:
# a path, or how it is spelt, reaching what ships makes a difference here.
# Usage: release_reproducible.sh
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The last commit, or what the work tree would commit when it has changes.
commit=$(git -C "$repo" rev-parse HEAD)
if ! git -C "$repo" diff --quiet HEAD; then
  commit=$(git -C "$repo" -c user.name=release-test -c user.email=release-test@localhost stash create)
fi

seconds=()
release() { # clone umask env-assignments...
  local clone=$1 mask=$2 start=$SECONDS; shift 2
  (
    umask "$mask"
    git clone -q --no-checkout --shared "$repo" "$clone"
    git -C "$clone" checkout -q "$commit"
    env -u SOURCE_DATE_EPOCH -u LC_ALL -u VORRIN_BUILD -u VORRIN_DIST -u CCACHE_BASEDIR \
      VORRIN_JOBS="${VORRIN_JOBS:-2}" "$@" "$clone/scripts/release" --no-tests >"$clone.log" 2>&1
  ) || fail "scripts/release in $clone: $(tail -n 30 "$clone.log")"
  seconds+=($((SECONDS - start)))
}

a=$work/a
b=$work/second/clone-at-a-longer-path
mkdir -p "$(dirname "$b")"
release "$a" 022 TZ=UTC LANG=C.UTF-8 CCACHE_BASEDIR="$a"
release "$b" 077 TZ=Pacific/Chatham LANG=de_DE.UTF-8 USER=someone-else LOGNAME=someone-else CCACHE_DISABLE=1

show_difference() { # name of a file in dist/
  local f=$1
  if command -v diffoscope >/dev/null; then
    diffoscope --text - "$a/dist/$f" "$b/dist/$f" | head -n 150 >&2 || true
    return
  fi
  case $f in
    *.zip) list() { zipinfo -l "$1" | tail -n +2; }; unpack() { unzip -q "$1" -d "$2"; } ;;
    *.deb) list() { dpkg-deb -c "$1"; }; unpack() { dpkg-deb -R "$1" "$2"; } ;;
    *) cmp "$a/dist/$f" "$b/dist/$f" >&2 || true; return ;;
  esac
  diff <(list "$a/dist/$f") <(list "$b/dist/$f") >&2 || true
  unpack "$a/dist/$f" "$work/one" || true
  unpack "$b/dist/$f" "$work/other" || true
  diff -rq "$work/one" "$work/other" | head -n 1 >&2 || true
}

[ -s "$a/dist/SHA256SUMS" ] || fail "no SHA256SUMS in $a/dist"
[ "$(ls "$a/dist")" = "$(ls "$b/dist")" ] || fail "the releases hold $(ls "$a/dist" | xargs) and $(ls "$b/dist" | xargs)"
differing=()
for f in $(ls "$a/dist"); do
  cmp -s "$a/dist/$f" "$b/dist/$f" || differing+=("$f")
done
if [ ${#differing[@]} -gt 0 ]; then
  diff "$a/dist/SHA256SUMS" "$b/dist/SHA256SUMS" >&2 || true
  for f in "${differing[@]}"; do
    [ "$f" = SHA256SUMS ] || { show_difference "$f"; break; }
  done
  fail "two builds of one commit differ in ${differing[*]}"
fi
echo "release reproducible: $(ls "$a/dist" | xargs), the same in both builds (${seconds[0]} s, ${seconds[1]} s)"
