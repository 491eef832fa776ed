#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test suite; then a short
# fuzzing run of every fuzz target and the whole suite again under AddressSanitizer +
# UndefinedBehaviorSanitizer. NILO_QUICK=1 runs the plain suite only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --test
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

step() { echo; echo "=== $1 ($(date +%T))"; }

step "build and test"
build="$root/build-test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j"$jobs"

[[ "${NILO_QUICK:-0}" == 1 ]] && exit 0

step "fuzzing, ${NILO_FUZZ_SECONDS:-20}s a target"
"$root/scripts/fuzz.sh" "${NILO_FUZZ_SECONDS:-20}"

step "sanitizer build and test"
asan="$root/build-asan"
cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNILO_SANITIZE=ON \
  -DNILO_BUILD_BENCH=OFF >/dev/null
cmake --build "$asan" -j"$jobs"
# Qt and fontconfig keep caches for the life of the process: leaks are not the question.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$asan" --output-on-failure -j"$jobs" --timeout 900
step "done"
