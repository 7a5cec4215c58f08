# Shared steps of the end-to-end scenarios: start the real vorrin.exe under Wine on the
# test display, find its window, drive it with xdotool, take screenshots, check the exit.
# Sourced by the scenario scripts with: BUILD (the build folder) and SHOTS (screenshot folder).
set -euo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
: "${BUILD:?}"
SHOTS=${SHOTS:-$BUILD/e2e-shots}
mkdir -p "$SHOTS"
export VORRIN_WINEPREFIX=${VORRIN_WINEPREFIX:-$BUILD/../wineprefix}
WORK=$(mktemp -d)
PIDS=()

# A program left running by a failed scenario (its Wine process is a grandchild) would stand in
# the way of every scenario after it: the whole tree goes.
kill_tree() {
  local child
  for child in $(pgrep -P "$1" 2>/dev/null); do kill_tree "$child"; done
  kill -KILL "$1" 2>/dev/null || true
}
cleanup() {
  for p in "${PIDS[@]}"; do kill_tree "$p"; done
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  import -window root "$SHOTS/failure-$(basename "$0" .sh).png" 2>/dev/null || true
  exit 1
}

# start_vorrin [args...]: starts the program ($VORRIN_EXE, by default the build's); sets
# VORRIN_PID, whose exit code lands in $WORK/exit.<pid> (read by wait_exit, which may run in
# a subshell).
start_vorrin() {
  (
    code=0
    "$REPO/scripts/wine-run" "${VORRIN_EXE:-$BUILD/vorrin.exe}" "$@" || code=$?
    echo "$code" > "$WORK/exit.tmp.$BASHPID" && mv "$WORK/exit.tmp.$BASHPID" "$WORK/exit.$BASHPID"
  ) &
  VORRIN_PID=$!
  PIDS+=("$VORRIN_PID")
}

# find_windows NAME [count]: waits until at least count visible windows with exactly this
# title exist and prints their ids (FIND_WINDOW_SECONDS, 20 by default).
find_windows() {
  local name=$1 count=${2:-1} ids
  for _ in $(seq $(( ${FIND_WINDOW_SECONDS:-20} * 5 ))); do
    ids=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null || true)
    if [ -n "$ids" ] && [ "$(echo "$ids" | wc -l)" -ge "$count" ]; then echo "$ids"; return 0; fi
    sleep 0.2
  done
  return 1
}

# wait_exit PID [seconds]: waits for the process to end and prints its exit code.
wait_exit() {
  local pid=$1 seconds=${2:-20}
  for _ in $(seq $((seconds * 10))); do
    if [ -f "$WORK/exit.$pid" ]; then cat "$WORK/exit.$pid"; return 0; fi
    sleep 0.1
  done
  echo "timeout"
}

# focus_window ID: gives the window the keyboard focus (there is no window manager).
focus_window() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  sleep 0.3
}

# click_at ID X Y: a left click at client-relative coordinates of the window.
click_at() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.3
}

screenshot() { import -window root "$SHOTS/$1.png"; }

# window_geometry ID: prints "X Y W H".
window_geometry() {
  xdotool getwindowgeometry --shell "$1" | awk -F= '/^(X|Y|WIDTH|HEIGHT)=/{printf "%s ", $2} END{print ""}'
}

# The host build's slow reference coder: reference_code VALUE IN OUT
reference_code() { "$BUILD/../host/reference_coder" "$@"; }

# wine_path PATH: the Windows spelling of a Linux path.
wine_path() { echo "Z:${1//\//\\}"; }

# wait_for CONDITION-COMMAND [seconds]: polls until the command succeeds.
wait_for() {
  local seconds=${2:-30}
  for _ in $(seq $((seconds * 20))); do
    if eval "$1"; then return 0; fi
    sleep 0.05
  done
  return 1
}

# add_files_with_dialog FOLDER NAME...: Insert opens the Add dialog; the folder is typed
# first, then the names, quoted, in one line.
add_files_with_dialog() {
  open_add_dialog || fail "the Add dialog did not open"
  choose_in_add_dialog "$@"
}

# open_add_dialog: presses Insert and waits for the Add dialog; fails when it does not show.
open_add_dialog() {
  xdotool key Insert
  find_windows 'Select file\(s\) to simple coding\.\.\.' >/dev/null
}

# choose_in_add_dialog FOLDER NAME...: in the open Add dialog, the folder, then the names.
choose_in_add_dialog() {
  local folder=$1; shift
  sleep 0.5
  xdotool type --delay 5 "$(wine_path "$folder")"
  xdotool key Return
  sleep 0.5
  local names=""
  for n in "$@"; do names+="\"$n\" "; done
  xdotool type --delay 5 "$names"
  xdotool key Return
}

# client_click ID X Y: a left click at a point of the window's client area (the X window
# also holds the frame Wine draws: equal borders left, right and bottom, the caption on top).
client_click() {
  local x y w h border top
  read -r x y w h < <(window_geometry "$1")
  border=$(( (w - CLIENT_WIDTH) / 2 ))
  top=$(( h - CLIENT_HEIGHT - border ))
  xdotool mousemove --window "$1" $((border + $2)) $((top + $3)) click 1
  sleep 0.3
}
CLIENT_WIDTH=197
CLIENT_HEIGHT=101

caption() { xdotool getwindowname "$1" 2>/dev/null || true; }

# The panel's controls, in client coordinates (centres).
PAUSE_BUTTON="144 16"
STOP_BUTTON="175 16"
EXIT_ON_DONE="20 15"

# start_coding VALUE FOLDER NAME...: starts the program, types the coder value and adds the
# files with the Add dialog; sets win to the window.
start_coding() {
  local value=$1; shift
  start_vorrin
  win=$(find_windows Vorrin) || fail "no window"
  focus_window "$win"
  xdotool type "$value"
  add_files_with_dialog "$@"
}

# wait_coding NAME: waits until the caption shows the percentage of this file.
wait_coding() {
  wait_for "[[ \"\$(caption \"\$win\")\" == *\"% $1\" ]]" 30 || fail "no progress for $1 in the caption"
}

# close_confirmed: Alt+F4 during a run, Yes to the question; the process must end with 0.
close_confirmed() {
  focus_window "$win"
  xdotool key alt+F4
  find_windows Confirmation >/dev/null || fail "no close confirmation"
  xdotool key y
  local code
  code=$(wait_exit "$VORRIN_PID" 30)
  [ "$code" = 0 ] || fail "confirmed close: exit code $code"
}

# wine_pid: the process of the program started last (the Wine process that runs it).
wine_pid() { pgrep -P "$VORRIN_PID" | head -1; }

# cpu_percent PID SECONDS: the share of one processor the process used over that many seconds.
cpu_percent() {
  local before after
  before=$(awk '{print $14 + $15}' "/proc/$1/stat")
  sleep "$2"
  after=$(awk '{print $14 + $15}' "/proc/$1/stat")
  echo $(( (after - before) * 100 / ($(getconf CLK_TCK) * $2) ))
}

# file_limit BYTES|unlimited: from now on the program's writes past that size fail, as on a
# full disk. The scenario must ignore SIGXFSZ before it starts the program (trap '' XFSZ), or
# such a write ends the program instead.
file_limit() { prlimit --pid "$(wine_pid)" --fsize="$1:"; } # the soft limit only: it can go up again

# caption_percent: the percentage the caption shows, or -1.
caption_percent() {
  local c
  c=$(caption "$win")
  [[ $c =~ ^([0-9]+)% ]] && echo "${BASH_REMATCH[1]}" || echo -1
}

# answer_box CAPTION KEY: waits for the message box, gives it the focus and presses the key.
answer_box() {
  local box
  box=$(find_windows "$1") || return 1
  focus_window "$(echo "$box" | head -1)"
  xdotool key "$2"
}

# fits_screen ID: the window lies wholly on the screen.
fits_screen() {
  local x y w h sw sh
  read -r x y w h < <(window_geometry "$1")
  read -r sw sh < <(xdotool getdisplaygeometry)
  [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le "$sw" ] && [ $((y + h)) -le "$sh" ]
}

# answer_one_box NAME: a box with this title is shown, lies on the screen, and Return closes
# it without another taking its place.
answer_one_box() {
  local box
  box=$(find_windows "$1") || fail "no \"$1\" box"
  fits_screen "$box" || fail "the \"$1\" box reaches beyond the screen: $(window_geometry "$box")"
  xdotool key Return
  sleep 1
  ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || fail "another \"$1\" box followed"
}
