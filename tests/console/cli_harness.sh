# Shared steps of the vorrinc scenarios: run the program as a user would, natively or as
# vorrinc.exe under Wine, in a fresh folder, and compare what it coded with the reference
# coder's output. Sourced by each scenario with: PROGRAM REFERENCE_CODER VERSION.
set -euo pipefail
PROGRAM=$1 REFERENCE=$2 VERSION=${3:-}
REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
RUN=("$PROGRAM")
WINDOWS=0
if [[ $PROGRAM == *.exe ]]; then
  RUN=("$REPO/scripts/wine-run" "$PROGRAM")
  WINDOWS=1
  # Decided before the scenario starts anything: one that runs the program in the
  # background could not tell wine-run's refusal from the program's own end.
  source "$REPO/scripts/wine-host"
  vorrin_wine_host
  if reason=$(vorrin_wine_refuses "$PROGRAM"); then echo "skipped: wine-run: $reason"; exit 77; fi
fi
STATUS=0 OUT="" ERR=""

fail() {
  echo "FAIL: $*" >&2
  echo "last run: status $STATUS; stdout: $OUT; stderr: $ERR" >&2
  exit 1
}

# vorrinc ARGS...: runs the program in the work folder; sets STATUS, OUT and ERR.
vorrinc() {
  set +e
  "${RUN[@]}" "$@" >"$WORK/.out" 2>"$WORK/.err"
  STATUS=$?
  set -e
  # A 32-bit program on a host that can't run one (scripts/wine-run says so with 77).
  [ "$STATUS" = 77 ] && [ "$WINDOWS" = 1 ] && { echo "skipped: $(cat "$WORK/.out")"; exit 77; }
  OUT=$(tr -d '\r' <"$WORK/.out")
  ERR=$(tr -d '\r' <"$WORK/.err")
}

expect() { # STATUS [CLOSING LINE]
  [ "$STATUS" = "$1" ] || fail "exit status $STATUS, expected $1"
  [ $# -lt 2 ] || [ "$OUT" = "$2" ] || fail "closing line '$OUT', expected '$2'"
}

# coded_like_reference VALUE ORIGINAL CODED: CODED holds ORIGINAL coded with VALUE.
coded_like_reference() {
  "$REFERENCE" "$1" "$2" - | cmp -s - "$3" || fail "$3 is not $2 coded with $1"
}

same() { cmp -s "$1" "$2" || fail "$2 differs from $1"; }
