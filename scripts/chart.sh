#!/usr/bin/env bash
# Remakes docs/chart.png: the chart of the ASCII part of the X misc 5x7 font,
# as glyphtool imports and draws it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j2 --target glyphtool
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/release/glyphtool/glyphtool import /usr/share/fonts/X11/misc/5x7.pcf.gz -o "$work/5x7" \
  --chars 0x20-0x7E >/dev/null
build/release/glyphtool/glyphtool chart "$work/5x7" -o docs/chart.png --scale 3
echo "wrote docs/chart.png"
