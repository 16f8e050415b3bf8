#!/usr/bin/env bash
# Remakes docs/screenshot.png: the editor under Xvfb with a glyph drawn into it
# by double-clicks, as a user would draw it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j2 --target fonteditor

display=:$(( 140 + RANDOM % 50 ))
Xvfb "$display" -screen 0 640x400x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
app_pid=
trap 'kill $app_pid $xvfb_pid 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done

XDG_RUNTIME_DIR=$(mktemp -d) build/release/app/fonteditor &
app_pid=$!
window=
for _ in $(seq 200); do
  window=$(xdotool search --onlyvisible --name '^QUELT font editor' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.05
done
[ -n "$window" ] || { echo "the editor window did not appear" >&2; exit 1; }

# A 5 x 7 "A" in columns 1 to 5.
glyph=(
  "..#.."
  ".#.#."
  "#...#"
  "#...#"
  "#####"
  "#...#"
  "#...#"
)
for row in "${!glyph[@]}"; do
  line=${glyph[$row]}
  for col in $(seq 0 4); do
    if [ "${line:$col:1}" = "#" ]; then
      x=$(( 6 + 2 + (col + 1) * 25 + 12 ))
      y=$(( 8 + 2 + row * 25 + 12 ))
      xdotool mousemove --window "$window" "$x" "$y" click --repeat 2 --delay 40 1
      sleep 0.25  # let the second click of one cell not pair with the next cell's first
    fi
  done
done
sleep 0.3
import -window "$window" docs/screenshot.png
echo "wrote docs/screenshot.png"
