#!/usr/bin/env bash
# Installs everything needed to build, run and test the editor on Debian 12.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev googletest
  clang libclang-rt-14-dev
  clang-format
  xvfb xdotool x11-utils imagemagick desktop-file-utils
  libx11-dev libxext-dev
  fonts-ipafont-gothic
  libfreetype-dev libcli11-dev libpng-dev zlib1g-dev liburing-dev xfonts-base pcf2bdf fonts-dejavu-core python3-fonttools
  libharfbuzz-dev libharfbuzz-bin opentype-sanitizer python3-pil
  lintian scdoc appstream file
  librsvg2-bin dpkg-dev man-db groff-base gzip binutils python3-debian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# npm installs LVGL's font converter below; a Node.js from elsewhere brings its own.
if ! command -v npm >/dev/null 2>&1; then
  missing+=(nodejs npm)
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# LVGL's font converter, which the tests use as a second writer of LVGL fonts.
if ! command -v lv_font_conv >/dev/null 2>&1; then
  echo "Installing: lv_font_conv (npm)"
  "${sudo_cmd[@]}" npm install --global --no-audit --no-fund lv_font_conv@1.5.3
fi
