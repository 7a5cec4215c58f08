#!/usr/bin/env bash
# Runs one Windows test program under Wine: wine_case.sh WINE-RUN PROGRAM ARGS...
# Now and then Wine fails to start a program at all ("Application could not be started",
# from its own starter, before any of the program's code runs). That says nothing about the
# cases, so the start is tried once more, with a line saying so.
set -uo pipefail
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
# Its error output goes on to ours as it comes, and into the file to be looked at.
{ "$@" 2>&1 1>&3 | tee "$errors" >&2; } 3>&1
status=${PIPESTATUS[0]}
if [ "$status" -ne 0 ] && grep -q "Application could not be started" "$errors"; then
  echo "wine_case: Wine could not start $2; starting it once more" >&2
  "$@"
  status=$?
fi
exit "$status"
