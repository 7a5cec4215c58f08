#!/usr/bin/env bash
# Failures as a user meets them. Each is reported in a box naming the file before anything
# else happens, and none leaves a half-written file under a real name: the disk fills while a
# copy is written, with "Exit on Done" ticked; the source shrinks while it is read; a write
# fails in place and so does the undo, after which the file keeps its journal and is repaired
# only when asked.
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

# In place, the write fails past 16 MiB. The undo works from the end of the coded part back,
# where the writes fail too, so the file is reported partly coded and keeps its journal.
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
cmp -s -n $((16 << 20)) "$src/big.bin" /dev/zero && fail "the part reported coded is not coded"
[ -e "$src/big.bin.vorrin-journal" ] || fail "the partly coded file lost its journal"

# Process Unprocessed finds the journal and asks; No restores the file as it was.
client_click "$win" 100 90 # the list
xdotool key ctrl+u
find_windows Warning >/dev/null || fail "repairing the partly coded file was not asked about"
screenshot partly-coded-question
answer_box Warning n
wait_for '[ "$(caption "$win")" = Vorrin ]' 60 || fail "the restore did not end"
cmp -s -n $((256 << 20)) "$src/big.bin" /dev/zero || fail "No did not restore the file"
[ ! -e "$src/big.bin.vorrin-journal" ] || fail "the journal is left after the restore"
xdotool key Escape
code=$(wait_exit "$VORRIN_PID" 30)
[ "$code" = 0 ] || fail "exit code $code"
echo "a failed write in place: reported partly coded with its journal; No restored it"
