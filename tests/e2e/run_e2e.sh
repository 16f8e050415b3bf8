#!/usr/bin/env bash
# End-to-end test of the font editor: runs the real program under Xvfb and
# drives it with xdotool the way a person would, reading the results off
# screenshots, window titles and the files it writes.
#
# Usage: run_e2e.sh PATH/TO/fonteditor
# On failure the screenshots are kept in $E2E_ARTIFACTS (default ./e2e-artifacts);
# E2E_KEEP_SHOTS=1 keeps them after a pass too.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 PATH/TO/fonteditor" >&2
  exit 2
fi
app=$(readlink -f "$1")
if [ ! -x "$app" ]; then
  echo "e2e: not an executable: $1" >&2
  exit 2
fi

# ImageMagick 6 by full path: a `convert` earlier on PATH may be something else.
IMPORT=/usr/bin/import
CONVERT=/usr/bin/convert
for tool in Xvfb xdotool xdpyinfo cmp od "$IMPORT" "$CONVERT"; do
  if ! command -v "$tool" >/dev/null; then
    echo "e2e: missing tool: $tool (run scripts/install-deps.sh)" >&2
    exit 2
  fi
done

artifacts=${E2E_ARTIFACTS:-$PWD/e2e-artifacts}
CAPTION="QUELT font editor"
# The error box is titled after the executable: its name up to the first
# dot, the first character as is and the rest in lower case.
app_name=$(basename "$app")
app_name=${app_name%%.*}
app_rest=${app_name:1}
ERROR_TITLE="${app_name:0:1}${app_rest,,}"
ERROR_TITLE_RE="^$(printf '%s' "$ERROR_TITLE" | sed 's/[][\\.*^$+?(){}|]/\\&/g')\$"

work=$(mktemp -d "${TMPDIR:-/tmp}/fonteditor-e2e.XXXXXX")
shots=$work/shots
files=$work/files
mkdir -p "$shots" "$files" "$work/home" "$work/run"
chmod 700 "$work/run"

xvfb_pid=""
wrapper_pid=""
artifacts_saved=0
summary_printed=0
passed=0 failed=0 skipped=0

stop_pid() {  # PID: TERM, then KILL if it does not go within 3 s
  local pid=$1
  kill -0 "$pid" 2>/dev/null || return 0
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 30); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
}

save_artifacts() {
  [ "$artifacts_saved" -eq 0 ] || return 0
  artifacts_saved=1
  mkdir -p "$artifacts"
  if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    "$IMPORT" -window root "$shots/zz-final.png" 2>/dev/null || true
  fi
  cp "$shots"/*.png "$artifacts"/ 2>/dev/null || true
  local log
  for log in app.log xvfb.log; do
    if [ -f "$work/$log" ]; then cp "$work/$log" "$artifacts/"; fi
  done
  if [ -s "$work/app.log" ]; then
    echo "---- program output (last 40 lines)"
    tail -n 40 "$work/app.log"
  fi
  echo "e2e: screenshots and logs saved in $artifacts"
}

cleanup() {
  local rc=$?
  set +e
  if [ "$rc" -ne 0 ]; then
    save_artifacts
    # Cut short (setup failed or interrupted): what ran so far, plus one failure.
    [ "$summary_printed" -eq 1 ] || echo "e2e: $passed passed, $((failed + 1)) failed"
  fi
  [ -f "$work/app.pid" ] && stop_pid "$(cat "$work/app.pid")"
  [ -n "$wrapper_pid" ] && stop_pid "$wrapper_pid"
  if [ -n "$xvfb_pid" ]; then
    stop_pid "$xvfb_pid"
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$work"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

now_ms() { echo $(( ${EPOCHREALTIME/./} / 1000 )); }

# poll SECONDS COMMAND...: retries COMMAND until it succeeds or the time is up.
poll() {
  local deadline=$(( $(now_ms) + $1 * 1000 ))
  shift
  until "$@"; do
    [ "$(now_ms)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# --- display and program -----------------------------------------------------

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
  3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display_ready() { [ -s "$work/display" ] && xdpyinfo -display ":$(head -n1 "$work/display")" >/dev/null 2>&1; }
if ! poll 15 display_ready; then
  echo "e2e: Xvfb did not start"
  cat "$work/xvfb.log"
  exit 1
fi
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY

# Nothing of the user's: own home, runtime dir and no session bus or desktop theme.
export HOME=$work/home XDG_RUNTIME_DIR=$work/run
export XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache XDG_DATA_HOME=$HOME/.local/share
unset SESSION_MANAGER WAYLAND_DISPLAY XDG_SESSION_TYPE XDG_CURRENT_DESKTOP
# A bus address that leads nowhere: without any, libdbus would try to autolaunch one.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/run/no-session-bus"
unset QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI
export QT_QPA_PLATFORM=xcb NO_AT_BRIDGE=1 LC_ALL=C.UTF-8

# The wrapper records the exit code so that any later step can read it. The
# editor takes no arguments: Qt's own options given to it must change nothing
# (every check below would see another caption, size or layout).
(
  cd "$work"
  "$app" -qwindowtitle Foo -qwindowgeometry 200x100+0+0 -reverse -style windows \
    >"$work/app.log" 2>&1 &
  echo $! >"$work/app.pid"
  rc=0
  wait $! || rc=$?
  echo "$rc" >"$work/app.rc"
) &
wrapper_pid=$!
echo "e2e: $app on display $DISPLAY"

# --- helpers used by the checks ----------------------------------------------

# Cell (c,r) centre in client coordinates: grid at (6,8), 2-px border, 25-px pitch.
cell_x() { echo $(( 6 + 2 + $1 * 25 + 12 )); }
cell_y() { echo $(( 8 + 2 + $1 * 25 + 12 )); }
BASE_REF_X=476 BASE_REF_Y=12      # inside the Width field, right of its text
BUTTON_REF_X=2 BUTTON_REF_Y=2     # window background, left of the grid

visible_count() {  # NAME_REGEX
  { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; } | wc -l
}
window_count_is() { [ "$(visible_count "$1")" -eq "$2" ]; }
window_count_at_least() { [ "$(visible_count "$1")" -ge "$2" ]; }

shoot() {  # LABEL -> screenshot path
  "$IMPORT" -window root "$shots/$1.png"
  echo "$shots/$1.png"
}

# Prints the reference colours and the 7 x 16 cell classes of the editor
# window in a screenshot: B base colour, U button colour, R red, ? other.
# Without reference colours given, they are read from the same screenshot.
read_cells() {  # PNG [BASE BUTTON]
  "$CONVERT" "$1" -crop "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}" +repage -depth 8 rgb:- |
    od -An -v -tu1 -w3 |
    awk -v w="$WIN_W" -v base="${2:-}" -v button="${3:-}" \
      -v bx="$BASE_REF_X" -v by="$BASE_REF_Y" -v ux="$BUTTON_REF_X" -v uy="$BUTTON_REF_Y" '
      {
        x = (NR - 1) % w; y = int((NR - 1) / w)
        cell = (x - 20) % 25 == 0 && (y - 22) % 25 == 0 && x <= 395 && y <= 172
        if (cell || (x == bx && y == by) || (x == ux && y == uy))
          px[x, y] = sprintf("#%02X%02X%02X", $1, $2, $3)
      }
      END {
        if (base == "") base = px[bx, by]
        if (button == "") button = px[ux, uy]
        print base, button
        for (r = 0; r < 7; r++) {
          line = ""
          for (c = 0; c < 16; c++) {
            h = px[20 + 25 * c, 22 + 25 * r]
            line = line (h == "#FF0000" ? "R" : h == base ? "B" : h == button ? "U" : "?")
          }
          print line
        }
      }'
}

# The expected cell classes of a glyph: WIDTH and the set cells as "c,r c,r".
glyph_cells() {
  local width=$1 set=" ${2:-} " r c line
  for r in 0 1 2 3 4 5 6; do
    line=""
    for c in $(seq 0 15); do
      if [[ $set == *" $c,$r "* ]]; then line+=R
      elif [ "$c" -lt "$width" ]; then line+=B
      else line+=U
      fi
    done
    echo "$line"
  done
}

cells_are() {  # LABEL EXPECTED
  local png
  png=$(shoot "$1") || return 1
  read_cells "$png" "$BASE" "$BUTTON" | tail -n +2 >"$work/last-cells"
  [ "$(cat "$work/last-cells")" = "$2" ]
}

expect_cells() {  # LABEL EXPECTED
  if poll 10 cells_are "$1" "$2"; then return 0; fi
  echo "cells differ at '$1' (B base, U button colour, R red, ? other)"
  echo "expected          actual"
  paste -d' ' <(echo "$2") "$work/last-cells"
  return 1
}

click() {  # X Y in client coordinates of the editor window
  xdotool mousemove --window "$WIN" "$1" "$2" click 1
}

double_click_cell() {  # COL ROW
  xdotool mousemove --window "$WIN" "$(cell_x "$1")" "$(cell_y "$2")" \
    click --repeat 2 --delay 80 1
}

focus() {  # WINDOW
  if ! timeout 5 xdotool windowfocus --sync "$1"; then
    echo "could not give the keyboard focus to window $1"
    return 1
  fi
}

type_width() {  # TEXT: replaces the Width field and presses Enter
  focus "$WIN"
  click 468 18
  xdotool key ctrl+a
  xdotool type --delay 20 "$1"
  xdotool key Return
}

# Types PATH into the file dialog titled TITLE and accepts it with Return.
file_dialog() {  # TITLE PATH
  local title=$1 path=$2 dialog try
  if ! poll 10 window_count_is "^$title\$" 1; then
    echo "expected one visible dialog '$title', found $(visible_count "^$title\$")"
    return 1
  fi
  dialog=$(xdotool search --onlyvisible --name "^$title\$")
  shoot "${3:-dialog}" >/dev/null
  focus "$dialog"
  xdotool type --delay 20 "$path"
  # A completion popup over the field may take the first Return.
  for try in 1 2 3; do
    xdotool key Return
    if poll 5 window_count_is "^$title\$" 0; then return 0; fi
    echo "dialog '$title' still open after Return #$try"
  done
  return 1
}

# --- checks --------------------------------------------------------------------

check_first_screen() {
  window_or_exit() { window_count_at_least "^$CAPTION\$" 1 || [ -s "$work/app.rc" ]; }
  if ! poll 20 window_or_exit || ! window_count_at_least "^$CAPTION\$" 1; then
    echo "no visible window titled '$CAPTION'"
    if [ -s "$work/app.rc" ]; then echo "the program exited with code $(cat "$work/app.rc")"; fi
    return 1
  fi
  if ! window_count_is "^$CAPTION\$" 1; then
    echo "more than one window titled '$CAPTION'"
    return 1
  fi
  WIN=$(xdotool search --onlyvisible --name "^$CAPTION\$")
  # xdotool matches names ignoring case; the caption must match exactly.
  if [ "$(xdotool getwindowname "$WIN")" != "$CAPTION" ]; then
    echo "caption is '$(xdotool getwindowname "$WIN")', expected '$CAPTION'"
    return 1
  fi
  local X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$WIN" | grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9]+$')"
  if [ "$WIDTH" -ne 492 ] || [ "$HEIGHT" -ne 194 ]; then
    echo "client area is ${WIDTH}x${HEIGHT}, expected 492x194"
    return 1
  fi
  WIN_X=$X WIN_Y=$Y WIN_W=$WIDTH WIN_H=$HEIGHT
  local expected refs
  expected=$(glyph_cells 8)
  # Poll until painted: before that the references read black and match nothing.
  first_screen_ok() {
    local out
    out=$(read_cells "$(shoot a-first-screen)")
    refs=$(head -n1 <<<"$out")
    tail -n +2 <<<"$out" >"$work/last-cells"
    set -- $refs
    [ "$1" != "$2" ] && [ "$1" != "#FF0000" ] && [ "$2" != "#FF0000" ] &&
      [ "$(cat "$work/last-cells")" = "$expected" ]
  }
  if ! poll 10 first_screen_ok; then
    echo "first screen wrong; reference colours (base button): $refs"
    echo "expected          actual"
    paste -d' ' <(echo "$expected") "$work/last-cells"
    return 1
  fi
  set -- $refs
  echo "base colour $1, button colour $2"
  cat >"$work/state" <<EOF
WIN=$WIN WIN_X=$WIN_X WIN_Y=$WIN_Y WIN_W=$WIN_W WIN_H=$WIN_H BASE='$1' BUTTON='$2'
EOF
}

check_toggle_and_width() {
  double_click_cell 0 0
  expect_cells b1-toggled "$(glyph_cells 8 "0,0")"
  double_click_cell 2 1
  expect_cells b2-toggled "$(glyph_cells 8 "0,0 2,1")"
  type_width 12
  expect_cells b3-width-12 "$(glyph_cells 12 "0,0 2,1")"
  double_click_cell 10 5
  double_click_cell 11 6
  expect_cells b4-toggled-wide "$(glyph_cells 12 "0,0 2,1 10,5 11,6")"
}

check_save() {
  local target=$files/saved.dat
  click 451 148  # Save
  file_dialog "Save As" "$target" c1-save-dialog
  # Width 12, height 7; two bytes a row: columns 0..7 then 8..15, leftmost in the top bit.
  printf '\x0c\x00\x07\x00\x80\x00\x20\x00\x00\x00\x00\x00\x00\x00\x00\x20\x00\x10' \
    >"$work/expected.dat"
  if ! poll 10 test -f "$target"; then
    echo "$target was not written"
    return 1
  fi
  # Polled as well, in case the file is seen before the last byte is written.
  if ! poll 5 cmp -s "$work/expected.dat" "$target"; then
    echo "expected bytes: $(od -An -v -tx1 -w32 "$work/expected.dat")"
    echo "written bytes:  $(od -An -v -tx1 -w32 "$target")"
    return 1
  fi
  expect_cells c2-after-save "$(glyph_cells 12 "0,0 2,1 10,5 11,6")"
}

check_open() {
  local source=$files/glyph10.dat
  # Width 10: set (0,0) (9,0) (4,3) (8,6).
  printf '\x0a\x00\x07\x00\x80\x40\x00\x00\x00\x00\x08\x00\x00\x00\x00\x00\x00\x80' >"$source"
  click 451 86  # Open
  file_dialog "Open" "$source" d1-open-dialog
  local want="${CAPTION}[glyph10.dat]"
  caption_is() { [ "$(xdotool getwindowname "$WIN")" = "$want" ]; }
  if ! poll 10 caption_is; then
    echo "caption is '$(xdotool getwindowname "$WIN")', expected '$want'"
    return 1
  fi
  expect_cells d2-opened "$(glyph_cells 10 "0,0 9,0 4,3 8,6")"
}

check_error_box() {
  local title_re=$ERROR_TITLE_RE
  type_width ab
  if ! poll 10 window_count_at_least "$title_re" 1; then
    echo "no error box titled '$ERROR_TITLE' appeared"
    return 1
  fi
  shoot e1-error-box >/dev/null
  local count
  count=$(visible_count "$title_re")
  if [ "$count" -ne 1 ]; then
    echo "$count windows titled '$ERROR_TITLE', expected exactly one"
    return 1
  fi
  local box
  box=$(xdotool search --onlyvisible --name "$title_re")
  if [ "$(xdotool getwindowname "$box")" != "$ERROR_TITLE" ]; then
    echo "error box titled '$(xdotool getwindowname "$box")', expected '$ERROR_TITLE'"
    return 1
  fi
  focus "$box"
  xdotool key Return  # OK
  if ! poll 10 window_count_is "$title_re" 0; then
    echo "the error box did not close on Return"
    return 1
  fi
  # The rejected width changes nothing; then the editor still takes edits.
  expect_cells e2-after-error "$(glyph_cells 10 "0,0 9,0 4,3 8,6")"
  double_click_cell 1 2
  expect_cells e3-toggled "$(glyph_cells 10 "0,0 9,0 4,3 8,6 1,2")"
  double_click_cell 1 2
  expect_cells e4-toggled-back "$(glyph_cells 10 "0,0 9,0 4,3 8,6")"
}

check_close() {
  local pid
  pid=$(cat "$work/app.pid")
  click 451 179  # Close
  app_gone() { ! kill -0 "$pid" 2>/dev/null && [ -s "$work/app.rc" ]; }
  if ! poll 15 app_gone; then
    echo "the program (pid $pid) is still running after Close"
    return 1
  fi
  local rc
  rc=$(cat "$work/app.rc")
  if [ "$rc" -ne 0 ]; then
    echo "the program exited with code $rc, expected 0"
    return 1
  fi
}

# --- runner ----------------------------------------------------------------------

start_all=$(now_ms)

run_check() {  # ID DESCRIPTION FUNCTION
  local id=$1 what=$2 fn=$3 rc started
  if [ "$failed" -gt 0 ]; then
    skipped=$((skipped + 1))
    echo "SKIP $id $what"
    return 0
  fi
  started=$(now_ms)
  # Each check runs in a subshell with errexit on, so any failing command fails it.
  set +e
  (
    set -e
    if [ -f "$work/state" ]; then . "$work/state"; fi
    "$fn"
  )
  rc=$?
  set -e
  if [ "$rc" -eq 0 ]; then
    passed=$((passed + 1))
    echo "PASS $id $what ($(( $(now_ms) - started )) ms)"
  else
    failed=$((failed + 1))
    echo "FAIL $id $what"
  fi
}

run_check a "first screen: columns 0-7 base colour, 8-15 button colour, nothing red" check_first_screen
run_check b "double-click sets a cell; width 12 + Enter widens the glyph" check_toggle_and_width
run_check c "Save through the file dialog writes the expected bytes" check_save
run_check d "Open shows the file name in the caption and its pixels" check_open
run_check e "width 'ab' shows one error box; after OK the editor still works" check_error_box
run_check f "Close ends the program with exit code 0" check_close

echo "e2e: total $(( $(now_ms) - start_all )) ms"
ok=0
[ "$failed" -eq 0 ] && [ "$passed" -eq 6 ] || ok=1
if [ "$ok" -ne 0 ] || [ "${E2E_KEEP_SHOTS:-0}" = 1 ]; then save_artifacts; fi
summary="e2e: $passed passed, $failed failed"
[ "$skipped" -eq 0 ] || summary+=", $skipped skipped"
echo "$summary"
summary_printed=1
exit "$ok"
