#!/usr/bin/env bash
# Times glyphtool against its floors, every figure a ratio of paired runs:
# the two commands of a figure run one after the other, RUNS times, and the
# figure is the median of the run-by-run ratios (bench/paired_runs.py), so
# that the load of the machine cancels.
#
# On the X misc 5x7 font (1848 glyphs): import against its floor (FreeType
# alone plus plain writes of as many files, bench/import_floor.cpp); export
# c, export bdf, check, render and chart against only reading the folder's
# files (bench/read_floor.cpp); every export against the import; convert of
# a BDF font to each display library's header format that this glyphtool
# writes (gfx, u8g2) against a C program that only loads the font with
# FreeType and writes a header (bench/header_standin.c), the stand-in for
# Adafruit's fontconvert and u8g2's bdfconv. Then on a
# folder of 100,000 glyphs that this script makes, under a path of some
# 3,000 characters: the same verbs in time and peak memory, and check under
# that path against the same folder under a short one.
#
# BASE_GLYPHTOOL=PATH adds the figures of this glyphtool against another
# build of it (say, of the main branch), verb by verb. The files go to a
# RAM-backed folder (/dev/shm) where there is one; WORK_ROOT=DIR puts them
# elsewhere.
#
#   bench/glyphtool.sh                      # RUNS=15, RUNS_LARGE=5
#   BASE_GLYPHTOOL=../main/build/release/glyphtool/glyphtool bench/glyphtool.sh
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
RUNS="${RUNS:-15}"
RUNS_LARGE="${RUNS_LARGE:-5}"
BUILD_DIR="${BUILD_DIR:-$ROOT/build/bench}"
FONT=/usr/share/fonts/X11/misc/5x7.pcf.gz
BASE="${BASE_GLYPHTOOL:-}"

[ -n "${SKIP_DEPS:-}" ] || "$ROOT/scripts/install-deps.sh"
WORK_ROOT="${WORK_ROOT:-$( [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")}"
WORK="$(mktemp -d "$WORK_ROOT/glyphtool-bench.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT

echo "== build ($BUILD_DIR)"
if ! { cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DFONTEDITOR_BENCH=ON -DFONTEDITOR_TESTS=OFF &&
       cmake --build "$BUILD_DIR" -j2 --target glyphtool import_floor read_floor header_standin; } >"$WORK/build.log" 2>&1; then
    cat "$WORK/build.log" >&2
    echo "glyphtool.sh: build failed" >&2
    exit 1
fi
GLYPHTOOL="$BUILD_DIR/glyphtool/glyphtool"
FLOOR="$BUILD_DIR/bench/import_floor"
READ="$BUILD_DIR/bench/read_floor"
STANDIN="$BUILD_DIR/bench/header_standin"

# The 10,000-character texts to render, and the folder of 100,000 glyphs:
# 5 columns wide, their bits taken from their code points, under a long
# path and under a short one.
LONG="$WORK/long/$(printf 'a-rather-long-folder-name-%03d/' $(seq 1 110) | tr -d '\n')large"
mkdir -p "$LONG"
python3 - "$WORK" "$LONG" <<'PY'
import os, sys
work, long_dir = sys.argv[1], sys.argv[2]
line = "The quick brown fox jumps over the lazy dog; 0123456789! "
open(os.path.join(work, "text"), "w").write((line * 200)[:10000])
codes = [cp for cp in range(0x100, 0x100 + 100000 + 0x800) if not 0xD800 <= cp <= 0xDFFF][:100000]
open(os.path.join(work, "text-large"), "w").write("".join(chr(codes[i * 7 % len(codes)]) for i in range(10000)))
for cp in codes:
    rows = bytes(((cp >> k) * 0x25 & 0x1F) << 3 for k in range(7))
    with open(os.path.join(long_dir, "U+%04X.dat" % cp), "wb") as f:
        f.write(bytes([5, 0, 7, 0]) + rows)
PY
SHORT="$WORK/large"
cp -a "$LONG" "$SHORT"
"$GLYPHTOOL" import "$FONT" -o "$WORK/font" >/dev/null
"$GLYPHTOOL" export bdf "$WORK/font" -o "$WORK/font.bdf"
# The display libraries' formats this glyphtool writes.
HEADER_FORMATS="$("$GLYPHTOOL" formats | awk '($1 == "gfx" || $1 == "u8g2") && $2 ~ /write/ { print $1 }' | tr '\n' ' ')"
echo "== $RUNS paired runs (RUNS_LARGE=$RUNS_LARGE at 100,000 glyphs) in $WORK_ROOT;" \
    "$(ls "$WORK/font" | wc -l) and $(ls "$SHORT" | wc -l) glyphs;" \
    "the long path is ${#LONG} characters"

F="$WORK/font"
TEXT="$(cat "$WORK/text")"
TEXT_LARGE="$(cat "$WORK/text-large")"
export F LONG SHORT WORK FONT GLYPHTOOL FLOOR READ BASE TEXT TEXT_LARGE STANDIN HEADER_FORMATS
jobs() {  # $1: small or large
python3 - "$1" <<'PY'
import json, os, sys
e = os.environ
g, read, work = e["GLYPHTOOL"], e["READ"], e["WORK"]
F, LONG, SHORT, BASE = e["F"], e["LONG"], e["SHORT"], e["BASE"]
def verbs(tool, folder, text, tag):
    return [
        ("export c", [tool, "export", "c", folder, "-o", f"{work}/{tag}.h"]),
        ("export bdf", [tool, "export", "bdf", folder, "-o", f"{work}/{tag}.bdf"]),
        ("check", [tool, "check", folder]),
        ("render, PNG", [tool, "render", folder, text, "-o", f"{work}/{tag}.png"]),
        ("chart, PNG", [tool, "chart", folder, "-o", f"{work}/{tag}-chart.png", "--scale", "1"]),
    ]
jobs = []
if sys.argv[1] == "small":
    importing = [g, "import", e["FONT"], "-o", f"{work}/out"]
    jobs.append({"label": "import / its floor", "target": "<=1.3",
                 "a": importing, "prepare_a": f"rm -rf '{work}/out'",
                 "b": [e["FLOOR"], e["FONT"], f"{work}/floor"],
                 "prepare_b": f"rm -rf '{work}/floor' && mkdir '{work}/floor'"})
    for name, command in verbs(g, F, e["TEXT"], "small"):
        target = "<=1.5" if name in ("export c", "export bdf", "check") else "<=2"
        jobs.append({"label": f"{name} / reading the files", "target": target,
                     "a": command, "b": [read, F]})
    for name, command in verbs(g, F, e["TEXT"], "small")[:2]:
        jobs.append({"label": f"{name} / import", "target": "<=0.5", "a": command,
                     "b": importing, "prepare_b": f"rm -rf '{work}/out'"})
    for to in e["HEADER_FORMATS"].split():
        jobs.append({"label": f"convert, BDF to {to} / its converter's stand-in", "target": "<1",
                     "a": [g, "convert", f"{work}/font.bdf", "-o", f"{work}/convert-{to}.h",
                           "--to", to, "--chars", "0x20-0x7E"],
                     "b": [e["STANDIN"], f"{work}/font.bdf", "32", "126", f"{work}/standin.h"]})
    if BASE:
        for (name, new), (_, old) in zip(verbs(g, F, e["TEXT"], "new"), verbs(BASE, F, e["TEXT"], "old")):
            jobs.append({"label": f"{name}: this / base", "a": new, "b": old})
        jobs.append({"label": "import: this / base", "a": importing, "prepare_a": f"rm -rf '{work}/out'",
                     "b": [BASE, "import", e["FONT"], "-o", f"{work}/out"],
                     "prepare_b": f"rm -rf '{work}/out'"})
else:
    for name, command in verbs(g, LONG, e["TEXT_LARGE"], "large"):
        target = "3000 ms" if name.startswith("chart") else "1000 ms, 64 MiB"
        jobs.append({"label": f"100k {name} / reading the files", "target": target,
                     "a": command, "b": [read, LONG]})
    jobs.append({"label": "100k check: long path / short path", "target": "~1",
                 "a": [g, "check", LONG], "b": [g, "check", SHORT]})
    if BASE:
        for (name, new), (_, old) in zip(verbs(g, LONG, e["TEXT_LARGE"], "new"),
                                         verbs(BASE, LONG, e["TEXT_LARGE"], "old")[:4]):
            jobs.append({"label": f"100k {name}: this / base", "a": new, "b": old})
json.dump(jobs, sys.stdout)
PY
}
jobs small >"$WORK/small.json"
jobs large >"$WORK/large.json"
echo "-- the 5x7 font"
python3 "$ROOT/bench/paired_runs.py" "$RUNS" "$WORK/small.json"
echo "-- 100,000 glyphs (A ms and A MiB are the absolute figures)"
python3 "$ROOT/bench/paired_runs.py" "$RUNS_LARGE" "$WORK/large.json"
