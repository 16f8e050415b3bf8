#!/usr/bin/env bash
# Installs what is missing, builds the editor (release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j2 --target fonteditor
exec build/release/app/fonteditor
