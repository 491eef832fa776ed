#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test suite; then one clang
# build with AddressSanitizer + UndefinedBehaviorSanitizer serves a short fuzzing run of every
# fuzz target and the whole suite again. NILO_QUICK=1 runs the plain suite only; the
# sanitizer part is skipped when the plain part took longer than NILO_SANITIZER_BUDGET_MIN
# minutes (default 30), so that a slow machine still finishes in time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --test
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
start=$SECONDS

step() { echo; echo "=== $1 ($(date +%T), $(( (SECONDS - start) / 60 )) min in)"; }

step "layers of the source tree"
"$root/scripts/check-layers.sh"

step "build and test"
build="$root/build-test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j"$jobs"

[[ "${NILO_QUICK:-0}" == 1 ]] && exit 0
if (( SECONDS - start > ${NILO_SANITIZER_BUDGET_MIN:-30} * 60 )); then
  step "sanitizer build skipped: the plain part took too long on this machine"
  exit 0
fi

san="$root/build-san"
step "fuzzing, ${NILO_FUZZ_SECONDS:-20}s a target"
NILO_FUZZ_BUILD="$san" NILO_FUZZ_TESTS=ON "$root/scripts/fuzz.sh" "${NILO_FUZZ_SECONDS:-20}"

step "test suite under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake --build "$san" -j"$jobs"
# Qt and fontconfig keep caches for the life of the process: leaks are not the question.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$san" --output-on-failure -j"$jobs" --timeout 900
step "done"
