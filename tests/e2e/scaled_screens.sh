#!/usr/bin/env bash
# On screens set to 100, 150 and 200 % the window opens at that scale (its client area 1x,
# 1.5x, 2x the 96-DPI size), codes a file through the window as at 96 DPI, and leaves a
# screenshot of each: build/<arch>/e2e-shots/scaled-<dpi>.png.
BUILD=$1
source "$(dirname "$0")/harness.sh"

# The screen's DPI is a setting of the shared prefix: put back as it was, whatever ends this.
# A running Wine session keeps the DPI it started with, so each change ends the session.
dpi_key='HKCU\Control Panel\Desktop'
wine_reg() { "$REPO/scripts/wine-run" reg "$@" >/dev/null 2>&1; }
end_session() { WINEPREFIX=$VORRIN_WINEPREFIX wineserver -k >/dev/null 2>&1 || true; sleep 0.5; }
set_dpi() {
  wine_reg add "$dpi_key" /v LogPixels /t REG_DWORD /d "$1" /f || fail "could not set LogPixels $1"
  end_session
}
before=$("$REPO/scripts/wine-run" reg query "$dpi_key" /v LogPixels 2>/dev/null | tr -d '\r' |
  awk '/LogPixels/ {print $3}' || true)
restore_dpi() {
  if [ -n "$before" ]; then wine_reg add "$dpi_key" /v LogPixels /t REG_DWORD /d "$((before))" /f
  else wine_reg delete "$dpi_key" /v LogPixels /f; fi
  end_session
}
trap 'restore_dpi; cleanup' EXIT

src=$WORK/src
mkdir -p "$src"
head -c $((256 * 1024 + 3)) /dev/urandom > "$src/plain.bin"
reference_code 4242 "$src/plain.bin" "$WORK/expected.bin"

for dpi in 96 144 192; do
  set_dpi "$dpi"
  out=$WORK/out-$dpi
  start_vorrin
  win=$(find_windows Vorrin) || fail "no window at $dpi DPI"
  read -r width height < <("$REPO/scripts/wine-run" "$BUILD/window_probe.exe" | tr -d '\r')
  want_width=$(( (197 * dpi + 48) / 96 )); want_height=$(( (101 * dpi + 48) / 96 ))
  (( width >= want_width - 2 && width <= want_width + 2 && height >= want_height - 2 &&
     height <= want_height + 2 )) || fail "client area ${width}x$height at $dpi DPI, not ${want_width}x$want_height"

  focus_window "$win"
  xdotool type 4242
  xdotool key Tab Tab
  xdotool type "$(wine_path "$out")"
  add_files_with_dialog "$src" plain.bin
  wait_for 'cmp -s "$out/plain.bin" "$WORK/expected.bin"' 60 || fail "the copy coded at $dpi DPI differs"
  wait_for '[ "$(caption "$win")" = Vorrin ]' 30 || fail "the run did not end at $dpi DPI"
  sleep 0.5
  import -window "$win" "$SHOTS/scaled-$dpi.png"
  xdotool key alt+F4
  code=$(wait_exit "$VORRIN_PID")
  [ "$code" = 0 ] || fail "exit code $code at $dpi DPI"
  echo "$dpi DPI: client area ${width}x$height, file coded, exit code 0"
done
