#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the fuzzers for a
# bounded number of inputs, the whole suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the whole suite on the release build.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

configure_and_build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DFONTEDITOR_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j2
}

echo "== fuzzing the glyph reader, the width conversion, the font header, chart, column font, u8g2, yaff, LVGL and BDF readers and the pixel outline tracer"
configure_and_build build/fuzz -DFONTEDITOR_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++
for fuzzer in read_glyph_fuzzer str_to_int_fuzzer pixel_outline_fuzzer; do
  build/fuzz/fuzz/$fuzzer -runs=300000 -max_total_time=20 -print_final_stats=0 2>&1 | tail -n 1
done
# libFuzzer adds what it finds to its corpus folder: each works on a copy of its seeds.
corpora=$(mktemp -d)
trap 'rm -rf "$corpora"' EXIT
for fuzzer in header_font chart column_font u8g2_font yaff lvgl_source lvgl_binary bdf_font; do
  mkdir "$corpora/$fuzzer"
  cp fuzz/corpus/$fuzzer/* "$corpora/$fuzzer"
  build/fuzz/fuzz/${fuzzer}_fuzzer "$corpora/$fuzzer" -runs=200000 -max_total_time=20 \
    -max_len=8192 -print_final_stats=0 2>&1 | tail -n 1
done

echo "== sanitizer build"
configure_and_build build/sanitize -DCMAKE_BUILD_TYPE=Debug -DFONTEDITOR_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/sanitize --output-on-failure -j2

echo "== release build"
configure_and_build build/release -DCMAKE_BUILD_TYPE=Release
ctest --test-dir build/release --output-on-failure -j2
