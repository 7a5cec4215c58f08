#!/usr/bin/env bash
# Failures as a user meets them. Each is reported in a box naming the file before anything
# else happens, and none leaves a half-written file under a real name: the disk fills while a
# copy is written, with "Exit on Done" ticked; the source shrinks while it is read; a write
# fails in place and so does the undo, after which the file is not coded again unasked.
BUILD=$1
source "$(dirname "$0")/harness.sh"
trap '' XFSZ # inherited by the program: a write past its file size limit fails, as on a full disk

src=$WORK/src out=$WORK/out
mkdir -p "$src" "$out"
truncate -s $((4096 * 1024 * 1024)) "$src/big.bin" # sparse: no disk until coded
head -c 1000 /dev/urandom >"$out/big.bin"
cp "$out/big.bin" "$WORK/old"

# start_into_folder VALUE DESTINATION FOLDER NAME...: as start_coding, into a folder.
start_into_folder() {
  local value=$1 destination=$2
  shift 2
  start_vorrin
  win=$(find_windows Vorrin) || fail "no window"
  focus_window "$win"
  xdotool type "$value"
  xdotool key Tab Tab # Add button, then the destination edit
  xdotool type "$(wine_path "$destination")"
  add_files_with_dialog "$@"
}

# The disk fills while the copy is written.
start_into_folder 777 "$out" "$src" big.bin
answer_box Warning y || fail "no question about the existing destination"
wait_coding big.bin
client_click "$win" $PAUSE_BUTTON
client_click "$win" $EXIT_ON_DONE
file_limit $((1 << 20))
client_click "$win" $PAUSE_BUTTON
find_windows Error >/dev/null || fail "a full disk was not reported"
screenshot full-disk
[ -f "$WORK/exit.$VORRIN_PID" ] && fail "the program closed before the box was answered"
answer_box Error Return
code=$(wait_exit "$VORRIN_PID" 30)
[ "$code" = 0 ] || fail "Exit on Done after the box: exit code $code"
cmp -s "$out/big.bin" "$WORK/old" || fail "the earlier file of the destination's name was changed"
[ "$(ls "$out")" = big.bin ] || fail "left in the destination folder: $(ls "$out")"
echo "full disk: reported before Exit on Done closed the program; the earlier file is whole"

# The source shrinks while it is read.
rm "$out/big.bin"
start_into_folder 777 "$out" "$src" big.bin
wait_coding big.bin
client_click "$win" $PAUSE_BUTTON
truncate -s $((1 << 20)) "$src/big.bin"
client_click "$win" $PAUSE_BUTTON
answer_box Error Return || fail "a failed read was not reported"
wait_for '[ "$(caption "$win")" = Vorrin ]' 30 || fail "the run did not end"
[ -z "$(ls "$out")" ] || fail "left in the destination folder: $(ls "$out")"
xdotool key Escape
code=$(wait_exit "$VORRIN_PID" 30)
[ "$code" = 0 ] || fail "exit code $code"
echo "a source that shrank while read: reported, nothing left in the destination folder"

# In place, the write fails past 16 MiB: the undo restores the first 16 MiB and cannot reach
# the rest, so the file is reported partly coded.
rm "$src/big.bin"
truncate -s $((4096 * 1024 * 1024)) "$src/big.bin"
start_coding 777 "$src" big.bin
wait_for '[ "$(caption_percent)" -ge 2 ]' 60 || fail "no progress"
client_click "$win" $PAUSE_BUTTON
file_limit $((16 << 20))
client_click "$win" $PAUSE_BUTTON
find_windows Error >/dev/null || fail "a failed write in place was not reported"
screenshot partly-coded
answer_box Error Return
file_limit unlimited
wait_for '[ "$(caption "$win")" = Vorrin ]' 30 || fail "the run did not end"
cmp -s -n $((16 << 20)) "$src/big.bin" /dev/zero || fail "the undo did not restore the first 16 MiB"
cmp -s -n $((20 << 20)) "$src/big.bin" /dev/zero && fail "the part the undo could not reach is not coded"

# Process Unprocessed asks before coding it again; No leaves it as it is.
client_click "$win" 100 90 # the list
xdotool key ctrl+u
find_windows Warning >/dev/null || fail "coding the partly coded file again was not asked about"
screenshot partly-coded-question
answer_box Warning n
sleep 1
[ "$(caption "$win")" = Vorrin ] || fail "No should leave the file alone"
cmp -s -n $((16 << 20)) "$src/big.bin" /dev/zero || fail "the file was coded again"
xdotool key Escape
code=$(wait_exit "$VORRIN_PID" 30)
[ "$code" = 0 ] || fail "exit code $code"
echo "a failed write in place: reported partly coded; Process Unprocessed asked first"
