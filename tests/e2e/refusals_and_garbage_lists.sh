#!/usr/bin/env bash
# What a careless user meets: F1 without the help file, coder values that code nothing,
# a binary file and a huge list opened as file lists. Each gives one box that fits on the
# screen, nothing is touched that should not be, and the program still closes.
BUILD=$1
source "$(dirname "$0")/harness.sh"

# The program alone in a folder, without its help file.
mkdir -p "$WORK/bare" "$WORK/src"
cp "$BUILD/vorrin.exe" "$WORK/bare/"
VORRIN_EXE=$WORK/bare/vorrin.exe
head -c 30000 /dev/urandom > "$WORK/src/a.bin"
head -c 30000 /dev/urandom > "$WORK/src/b.bin"
cp "$WORK/src/a.bin" "$WORK/a.orig"
reference_code 7 "$WORK/src/a.bin" "$WORK/a.expected"
reference_code 7 "$WORK/src/b.bin" "$WORK/b.expected"

start_vorrin
win=$(find_windows Vorrin) || fail "no window"
focus_window "$win"
xdotool key F1
answer_one_box Error
echo "F1 without vorrin.chm: one error box"

# A value typed with letters, and one that would leave files as they are: refused before
# the Add dialog opens. The focus is back in the edit, its text selected.
for value in ' 12abc' 4294967296; do
  xdotool type -- "$value"
  xdotool key Return
  find_windows Error >/dev/null || fail "the coder value \"$value\" was taken"
  screenshot "coder-value-refused"
  xdotool search --onlyvisible --name '^Select file' >/dev/null 2>&1 && fail "the Add dialog opened"
  answer_one_box Error
done
cmp -s "$WORK/src/a.bin" "$WORK/a.orig" || fail "a refused value touched a file"
xdotool type ' 7 '

# A binary file is refused as a whole.
head -c 1000000 /dev/urandom > "$WORK/picture.flt"
client_click "$win" 60 70
xdotool key ctrl+o
find_windows 'Open' >/dev/null || fail "Ctrl+O opened no dialog"
sleep 0.5
xdotool type --delay 5 "$(wine_path "$WORK/picture.flt")"; xdotool key Return
answer_one_box Error
echo "binary list: one error box"

# Thousands of missing names with LF line ends, one of them 10,000 characters long, around
# two files that exist.
{
  printf '%s\n' "$(wine_path "$WORK/src/a.bin")"
  printf 'C:\\%s.bin\n' "$(head -c 10000 /dev/zero | tr '\0' x)"
  for i in $(seq 3000); do printf 'C:\\gone\\%d.bin\n' "$i"; done
  printf '%s\n' "$(wine_path "$WORK/src/b.bin")"
} > "$WORK/huge.flt"
client_click "$win" 60 70
xdotool key ctrl+m
find_windows 'Open' >/dev/null || fail "Ctrl+M opened no dialog"
sleep 0.5
xdotool type --delay 5 "$(wine_path "$WORK/huge.flt")"; xdotool key Return
find_windows Error >/dev/null || fail "no box for the missing files"
sleep 0.5
screenshot missing-files-one-box
answer_one_box Error
wait_for 'cmp -s "$WORK/src/a.bin" "$WORK/a.expected" && cmp -s "$WORK/src/b.bin" "$WORK/b.expected"' 30 \
  || fail "the two files of the list were not coded with \" 7 \""
echo "huge list: one box on the screen, the two files coded"

wait_for '[ "$(caption "$win")" = Vorrin ]' 30 || fail "the run did not end"
focus_window "$win"
xdotool key alt+F4
code=$(wait_exit "$VORRIN_PID")
[ "$code" = 0 ] || fail "exit code after Alt+F4: $code"
echo "closed with exit code 0"
