#!/usr/bin/env bash
# Files named in Cyrillic, Chinese, Greek, accented Latin, emoji and combining marks, opened
# from a UTF-8 file list with Ctrl+O and coded into a destination folder whose name is typed in
# Cyrillic and Chinese; the copies must equal the reference coder's. Then the copies, opened
# from a second list, are coded back in place, which restores them.
BUILD=$1
source "$(dirname "$0")/harness.sh"
export LC_ALL=C.UTF-8 # xdotool reads the names it types in the locale's encoding

src="$WORK/источник 源"
out="$WORK/Папка 目标"
names=("Привет мир.bin" "中文文件名.bin" "Ελληνικά.bin" "résumé à côté.bin" "😀🌍.bin"
       $'e\xcc\x81\xcc\x88a\xcc\x8a.bin')
big="大文件 Ω.bin" # long enough to be seen in the caption, paused
mkdir -p "$src"
: > "$WORK/originals.flt"
: > "$WORK/copies.flt"
for i in "${!names[@]}"; do
  n=${names[$i]}
  head -c $((70000 + i)) /dev/urandom > "$src/$n"
  cp "$src/$n" "$WORK/original.$i"
  reference_code 5 "$src/$n" "$WORK/expected.$i"
  printf '%s\r\n' "$(wine_path "$src/$n")" >> "$WORK/originals.flt"
  printf '%s\r\n' "$(wine_path "$out/$n")" >> "$WORK/copies.flt"
done
truncate -s $((4096 * 1024 * 1024)) "$src/$big"
printf '%s\r\n' "$(wine_path "$src/$big")" >> "$WORK/originals.flt"

no_error_box() { [ -z "$(xdotool search --onlyvisible --name '^Error$' 2>/dev/null)" ]; }

# open_list FILE: Ctrl+O in the list, the list file typed into the dialog.
open_list() {
  client_click "$win" 60 70
  xdotool key ctrl+o
  find_windows 'Open' >/dev/null || fail "Ctrl+O opened no dialog"
  sleep 0.5
  xdotool type --delay 5 "$(wine_path "$1")"; xdotool key Return
}

start_vorrin
win=$(find_windows Vorrin) || fail "no window"
focus_window "$win"
xdotool type 5
client_click "$win" 80 43                  # the destination edit
xdotool type --delay 120 "$(wine_path "$out")" # slowly: each character outside the keymap is mapped to a key first
open_list "$WORK/originals.flt"
for i in "${!names[@]}"; do
  wait_for "cmp -s '$out/${names[$i]}' '$WORK/expected.$i'" 30 ||
    fail "${names[$i]} was not coded into the destination as the reference coder codes it"
  cmp -s "$src/${names[$i]}" "$WORK/original.$i" || fail "the source ${names[$i]} was changed"
done
wait_coding "$big"
client_click "$win" $PAUSE_BUTTON
no_error_box || fail "an error box appeared"
# Wider, by its corner, so the list shows whole paths.
read -r x y w h < <(window_geometry "$win")
xdotool mousemove $((x + w - 2)) $((y + h - 2)) mousedown 1 sleep 0.3 \
        mousemove $((x + 760)) $((y + 300)) sleep 0.3 mouseup 1
sleep 1
screenshot names-list-and-caption
close_confirmed

# The copies, coded again in place, are the originals.
start_vorrin
win=$(find_windows Vorrin) || fail "no window after the restart"
focus_window "$win"
xdotool type 5
open_list "$WORK/copies.flt"
for i in "${!names[@]}"; do
  wait_for "cmp -s '$out/${names[$i]}' '$WORK/original.$i'" 30 ||
    fail "${names[$i]} was not restored by coding it in place"
done
no_error_box || fail "an error box appeared"
focus_window "$win"
xdotool key Escape
code=$(wait_exit "$VORRIN_PID" 30)
[ "$code" = 0 ] || fail "exit code $code"
echo "names in six scripts coded into '$(basename "$out")' as the reference coder does, and restored in place"
