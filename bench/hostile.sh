#!/usr/bin/env bash
# Runs glyphtool import on each hostile file and prints its wall time and peak
# resident memory against the targets: 2 s and 256 MiB a file. The files are
# made here by small scripts, as the import tests make theirs:
#
#   big.pcf.gz       522 KB: a 7-pixel strike whose one glyph is 65535 x 65534 set pixels
#   reversed.pcf.gz  262 KB: 95 glyphs stored in reverse code order behind 256 MiB of zeros
#   square.ttf       816 bytes: one square of 32,000 units in an em of 16, from 95 codes
#   zeros.h          16 MiB of `0,` tokens in a C array, then a GFX font
#   boxes.bdf        2.5 MB: 30,000 glyphs of BBX 65535 7
#
# An import may end in a refusal: the figures say what it cost to get there,
# and its message is shown. Exit status 1 when a file misses a target.
#
#   bench/hostile.sh
#   BUILD_DIR=build/release bench/hostile.sh     # an existing build
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build/bench}"
MAKE_FONTS="$ROOT/tests/glyphtool/make_hostile_fonts.py"
TARGET_SECONDS=2
TARGET_MIB=256

"$ROOT/scripts/install-deps.sh"
WORK="$(mktemp -d "${TMPDIR:-/tmp}/hostile-bench.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT

echo "== build ($BUILD_DIR)"
if ! { cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release &&
       cmake --build "$BUILD_DIR" -j2 --target glyphtool; } >"$WORK/build.log" 2>&1; then
    cat "$WORK/build.log" >&2
    echo "hostile.sh: build failed" >&2
    exit 1
fi
GLYPHTOOL="$BUILD_DIR/glyphtool/glyphtool"

echo "== making the hostile files"
for kind in big.pcf.gz reversed.pcf.gz square.ttf boxes.bdf; do
    /usr/bin/python3 "$MAKE_FONTS" "$kind" "$WORK/$kind"
done
# The C header: a GFX font as export writes it, behind 16 MiB of `0,` tokens.
"$GLYPHTOOL" import /usr/share/fonts/X11/misc/5x7.pcf.gz -o "$WORK/font" --chars 0x20-0x7E >/dev/null
"$GLYPHTOOL" export gfx "$WORK/font" -o "$WORK/font.h" --name Font5x7 >/dev/null
{
    printf 'static const unsigned char padding[] = {\n'
    head -c $((16 << 20)) /dev/zero | tr '\0' '0' | sed 's/00/0,/g' | fold -w 64
    printf '\n};\n'
    cat "$WORK/font.h"
} >"$WORK/zeros.h"

printf '\n%-16s %10s %9s %8s  %s\n' "file" "size" "seconds" "MiB" "outcome"
missed=0
for file in big.pcf.gz reversed.pcf.gz square.ttf zeros.h boxes.bdf; do
    rm -rf "$WORK/out"
    /usr/bin/time -f '%e %M' -o "$WORK/time" "$GLYPHTOOL" import "$WORK/$file" -o "$WORK/out" \
        >"$WORK/stdout" 2>"$WORK/stderr" || true
    # time puts "Command exited with non-zero status N" first when the import fails.
    read -r seconds kib < <(tail -n 1 "$WORK/time")
    mib=$(( (kib + 1023) / 1024 ))
    outcome=$(grep -v '^glyphtool: warning' "$WORK/stderr" | tail -n 1 || true)
    [ -n "$outcome" ] || outcome=$(tail -n 1 "$WORK/stdout")
    outcome=${outcome#glyphtool: }
    outcome=${outcome//"$WORK/"/}
    verdict=""
    if awk -v s="$seconds" -v t="$TARGET_SECONDS" 'BEGIN { exit !(s > t) }' || [ "$mib" -gt "$TARGET_MIB" ]; then
        verdict="  MISSES THE TARGET"
        missed=1
    fi
    printf '%-16s %10s %9s %8s  %s%s\n' "$file" "$(stat -c %s "$WORK/$file")" "$seconds" "$mib" \
        "${outcome:0:90}" "$verdict"
done
printf 'targets: %s s and %s MiB a file\n' "$TARGET_SECONDS" "$TARGET_MIB"
exit "$missed"
