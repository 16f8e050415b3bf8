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
  nice -n "${build_niceness:-0}" cmake --build "$dir" -j2
}

echo "== fuzzing the glyph reader, the width conversion, the font header, chart, column font, u8g2, yaff, LVGL and BDF readers and the pixel outline tracer"
configure_and_build build/fuzz -DFONTEDITOR_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

# Two fuzzers run at a time, one a core; each prints its last line, in a fixed order.
fuzzers=()
declare -A fuzzer_of_job=()
start_fuzzer() {
  local fuzzer=$1
  shift
  if ((${#fuzzer_of_job[@]} == 2)); then
    finish_a_fuzzer
  fi
  fuzzers+=("$fuzzer")
  build/fuzz/fuzz/$fuzzer "$@" -print_final_stats=0 >"$work/$fuzzer.log" 2>&1 &
  fuzzer_of_job[$!]=$fuzzer
}
finish_a_fuzzer() {
  local job status=0
  wait -n -p job "${!fuzzer_of_job[@]}" || status=$?
  if ((status != 0)); then
    tail -n 30 "$work/${fuzzer_of_job[$job]}.log"
    unset "fuzzer_of_job[$job]"
    kill "${!fuzzer_of_job[@]}" 2>/dev/null || true
    exit "$status"
  fi
  unset "fuzzer_of_job[$job]"
}
for fuzzer in read_glyph_fuzzer str_to_int_fuzzer pixel_outline_fuzzer; do
  start_fuzzer $fuzzer -runs=300000 -max_total_time=10
done
# libFuzzer adds what it finds to its corpus folder: each works on a copy of its seeds.
for fuzzer in header_font chart column_font u8g2_font yaff lvgl_source lvgl_binary bdf_font; do
  mkdir -p "$work/corpus/$fuzzer"
  cp fuzz/corpus/$fuzzer/* "$work/corpus/$fuzzer"
  start_fuzzer ${fuzzer}_fuzzer "$work/corpus/$fuzzer" -runs=200000 -max_total_time=10 \
    -max_len=8192
done
while ((${#fuzzer_of_job[@]} > 0)); do
  finish_a_fuzzer
done
for fuzzer in "${fuzzers[@]}"; do
  tail -n 1 "$work/$fuzzer.log"
done

echo "== sanitizer build"
configure_and_build build/sanitize -DCMAKE_BUILD_TYPE=Debug -DFONTEDITOR_SANITIZE=ON
# The sanitizer tests leave a core idle for much of their run: the release
# build takes what they leave, at a lower priority, and their report follows it.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/sanitize --output-on-failure -j2 >"$work/sanitizer-tests.log" 2>&1 &
sanitizer_tests=$!

echo "== release build"
build_niceness=10 configure_and_build build/release -DCMAKE_BUILD_TYPE=Release
sanitizer_status=0
wait $sanitizer_tests || sanitizer_status=$?
echo "== sanitizer tests"
cat "$work/sanitizer-tests.log"
if ((sanitizer_status != 0)); then
  exit "$sanitizer_status"
fi
ctest --test-dir build/release --output-on-failure -j2
