#!/usr/bin/env bash
# Installs what is missing, builds the release tree and makes the Debian
# package from it with CPack: build/package/fonteditor_<version>_<arch>.deb.
# Install it with: sudo apt install ./build/package/fonteditor_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j2
# CPack's staging folder goes to a scratch folder; only the package lands in build/package.
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
cpack --config build/release/CPackConfig.cmake -G DEB -B "$staging" >"$staging/cpack.log" 2>&1 ||
  { cat "$staging/cpack.log" >&2; exit 1; }
mkdir -p build/package
debs=("$staging"/*.deb)
mv "${debs[@]}" build/package/
for deb in "${debs[@]}"; do echo "build/package/$(basename "$deb")"; done
