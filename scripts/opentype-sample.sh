#!/usr/bin/env bash
# Remakes docs/opentype.png: the ASCII part of the X misc 5x7 font exported as
# TrueType and set by HarfBuzz's hb-view at 7 and 28 pixels, beside its chart.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j2 --target glyphtool
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
glyphtool=build/release/glyphtool/glyphtool
$glyphtool import /usr/share/fonts/X11/misc/5x7.pcf.gz -o "$work/5x7" --chars 0x20-0x7E >/dev/null
$glyphtool export ttf "$work/5x7" -o "$work/5x7.ttf"
$glyphtool chart "$work/5x7" -o "$work/chart.png" --scale 3
text="Hello, 5x7!"
hb-view --font-funcs=ft --font-size=7 --margin=8 "$work/5x7.ttf" "$text" -o "$work/7.png"
hb-view --font-funcs=ft --font-size=28 --margin=8 "$work/5x7.ttf" "$text" -o "$work/28.png"
# The 7-pixel line is shown at its own size, without scaling.
convert "$work/7.png" "$work/28.png" -background white -gravity west -append "$work/text.png"
convert "$work/chart.png" "$work/text.png" -background white -gravity center -bordercolor white -border 8 +append \
  -define png:exclude-chunks=date,time -strip docs/opentype.png
echo "wrote docs/opentype.png"
