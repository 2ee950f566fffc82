#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a short time
# (FUZZ_SECONDS, default 30) from its kept seed corpus. Any crash, leak or timeout fails.
# New inputs found on the way go to a scratch copy, so the kept corpus only grows by hand.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-30}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DCORVANE_FUZZ=ON -DCORVANE_BUILD_GUI=OFF \
  -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzz_targets -j "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan-suppressions.txt"
for source in fuzz/*_fuzz.cpp; do
  target="$(basename "$source" .cpp)"
  name="${target%_fuzz}"
  scratch="build-fuzz/corpus/$name"
  rm -rf "$scratch" && mkdir -p "$scratch"
  [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$scratch/"
  echo "fuzzing $name for ${seconds}s"
  "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 "$scratch" 2>"build-fuzz/$name.log" ||
    { tail -50 "build-fuzz/$name.log"; exit 1; }
  grep -E "stat::number_of_executed_units" "build-fuzz/$name.log" || true
done
