#!/usr/bin/env bash
# Times glyphtool on a real font: import every glyph of the X misc 5x7 font
# (1848 of them), export that folder to C in both layouts and to BDF, and set
# a 10,000-character text as # art and as a PNG. Beside the import it times
# its floor: FreeType alone loading and rendering the same glyphs, plus plain
# writes of as many 11-byte files. Each figure is the median of RUNS runs of
# the whole process. The files go to a RAM-backed folder (/dev/shm) where
# there is one, so that the figures measure the programs, not the disk;
# WORK_ROOT=DIR puts them elsewhere.
#
#   bench/glyphtool.sh            # RUNS=15
#   RUNS=31 WORK_ROOT=/var/tmp bench/glyphtool.sh
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
RUNS="${RUNS:-15}"
BUILD_DIR="${BUILD_DIR:-$ROOT/build/bench}"
FONT=/usr/share/fonts/X11/misc/5x7.pcf.gz

"$ROOT/scripts/install-deps.sh"
WORK_ROOT="${WORK_ROOT:-$( [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")}"
WORK="$(mktemp -d "$WORK_ROOT/glyphtool-bench.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT

echo "== build ($BUILD_DIR)"
if ! { cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DFONTEDITOR_BENCH=ON -DFONTEDITOR_TESTS=OFF &&
       cmake --build "$BUILD_DIR" -j2 --target glyphtool import_floor; } >"$WORK/build.log" 2>&1; then
    cat "$WORK/build.log" >&2
    echo "glyphtool.sh: build failed" >&2
    exit 1
fi
GLYPHTOOL="$BUILD_DIR/glyphtool/glyphtool"
FLOOR="$BUILD_DIR/bench/import_floor"

# median_ms PREPARE COMMAND...: runs PREPARE (untimed) then COMMAND, RUNS
# times, and prints the median wall time of COMMAND in milliseconds.
median_ms() {
    local prepare=$1
    shift
    local times=() start end
    for _ in $(seq "$RUNS"); do
        eval "$prepare"
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        times+=($(( (end - start) / 1000 )))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { printf "%.1f", t[int((NR + 1) / 2)] / 1000 }'
}

# 10,000 characters of running text, every one of them in the font.
python3 - "$WORK/text" <<'PY'
import sys
line = "The quick brown fox jumps over the lazy dog; 0123456789! "
text = (line * (10000 // len(line) + 1))[:10000]
open(sys.argv[1], "w").write(text)
PY
TEXT=$(cat "$WORK/text")

"$GLYPHTOOL" import "$FONT" -o "$WORK/font" >/dev/null
count=$(ls "$WORK/font" | wc -l)
echo "== $RUNS runs each in $WORK_ROOT; $count glyphs, a text of ${#TEXT} characters"

import_ms=$(median_ms 'rm -rf "$WORK/out"' "$GLYPHTOOL" import "$FONT" -o "$WORK/out")
floor_ms=$(median_ms 'rm -rf "$WORK/floor"; mkdir "$WORK/floor"' "$FLOOR" "$FONT" "$WORK/floor")
rows_ms=$(median_ms : "$GLYPHTOOL" export c "$WORK/font" -o "$WORK/rows.h")
columns_ms=$(median_ms : "$GLYPHTOOL" export c "$WORK/font" -o "$WORK/columns.h" --layout columns)
bdf_ms=$(median_ms : "$GLYPHTOOL" export bdf "$WORK/font" -o "$WORK/font.bdf")
art_ms=$(median_ms : "$GLYPHTOOL" render "$WORK/font" "$TEXT")
png_ms=$(median_ms : "$GLYPHTOOL" render "$WORK/font" "$TEXT" -o "$WORK/text.png")

printf '%-34s %9s\n' "step" "median ms"
printf '%-34s %9s\n' "import (all glyphs)" "$import_ms"
printf '%-34s %9s\n' "  floor: FreeType + plain writes" "$floor_ms"
printf '%-34s %9s\n' "export c, rows" "$rows_ms"
printf '%-34s %9s\n' "export c, columns" "$columns_ms"
printf '%-34s %9s\n' "export bdf" "$bdf_ms"
printf '%-34s %9s\n' "render, # art" "$art_ms"
printf '%-34s %9s\n' "render, PNG at scale 8" "$png_ms"
awk -v i="$import_ms" -v f="$floor_ms" 'BEGIN { printf "import / floor: %.2f (target 2 or less)\n", i / f }'
