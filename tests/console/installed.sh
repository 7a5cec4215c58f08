#!/usr/bin/env bash
# What cmake --install puts under a prefix: the program, which runs from there; its manual
# page, which man shows, with every option of --help, the warning and the exit statuses; and
# its bash completion: options, folders after --into, file lists after "@", file names.
# Usage: installed.sh BUILD_FOLDER
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
program=$work/prefix/bin/vorrinc page=$work/prefix/share/man/man1/vorrinc.1
completion=$work/prefix/share/bash-completion/completions/vorrinc
"$program" --version | grep -q '^vorrinc [0-9]' || fail "the installed program does not run"

shown=$(MANWIDTH=100 man -l "$page" 2>"$work/warnings")
[ ! -s "$work/warnings" ] || fail "man warns: $(cat "$work/warnings")"
for option in $("$program" --help | grep -oE -- '--[a-z]+' | sort -u); do
  grep -q -- "$option" <<<"$shown" || fail "the manual page does not tell of $option"
done
for part in "not encryption" "EXIT STATUS" "EXAMPLES" "AN INTERRUPTED FILE" "--value 962 - <"; do
  grep -qF -- "$part" <<<"$shown" || fail "the manual page has no '$part'"
done

mkdir "$work/here" && cd "$work/here"
mkdir -p lists "a folder"
touch today.flt lists/old.flt data.bin
# completes WORD...: what the completion offers for the last word, one per line, in order.
completes() {
  ( source "$completion"
    COMP_WORDS=(vorrinc "$@") COMP_CWORD=$#
    _vorrinc
    printf '%s\n' "${COMPREPLY[@]}" | sort )
}
[ "$(completes --rec)" = --recursive ] || fail "options: $(completes --rec)"
[ "$(completes --into "")" = "$(printf 'a folder\nlists')" ] || fail "after --into: $(completes --into "")"
[ "$(completes @ "")" = "$(printf 'a folder\nlists\ntoday.flt')" ] || fail "after @: $(completes @ "")"
[ "$(completes @ lists/)" = lists/old.flt ] || fail "lists in a folder: $(completes @ lists/)"
[ "$(completes da)" = data.bin ] || fail "file names: $(completes da)"
echo "installed: the program, its manual page and its completion"
