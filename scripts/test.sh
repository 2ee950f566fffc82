#!/usr/bin/env bash
# Installs what is missing, builds the tests with AddressSanitizer, UndefinedBehaviorSanitizer
# and warnings as errors in build-ci/, and runs every test (the GUI ones offscreen).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-ci -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVANE_WERROR=ON -DCORVANE_SANITIZE=ON \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"
cmake --build build-ci -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
# Qt and fontconfig keep caches for the whole process; they are not our leaks.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-ci --output-on-failure -j "$(nproc)" --timeout 600
FUZZ_SECONDS="${FUZZ_SECONDS:-30}" scripts/fuzz.sh
