#!/usr/bin/env bash
# Installs a build into a scratch prefix and checks that it gives a launchable
# desktop entry: the program, a valid .desktop file that names it, and the icon.
set -euo pipefail
build_dir=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build_dir" --prefix "$prefix" >/dev/null

failures=0
check() {
  if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
desktop="$prefix/share/applications/example.quelt.fonteditor.desktop"
icon="$prefix/share/icons/hicolor/scalable/apps/fonteditor.svg"
check "program installed in bin" '[ -x "$prefix/bin/fonteditor" ]'
check "desktop entry is valid" 'desktop-file-validate "$desktop"'
check "entry is named and categorised" \
  'grep -qx "Name=QUELT font editor" "$desktop" && grep -q "^Categories=.*Graphics;" "$desktop"'
check "entry starts the program without field codes" 'grep -qx "Exec=fonteditor" "$desktop"'
check "entry's icon is installed" \
  'icon_name=$(sed -n "s/^Icon=//p" "$desktop") && [ "$icon_name" = fonteditor ] && grep -q "<svg" "$icon"'
echo "install: $((5 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
