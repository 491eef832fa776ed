#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs each for SECONDS (default 20), starting from the committed seed corpora.
# Exits non-zero when a target finds a crash; the crashing input is kept in build-fuzz/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
# NILO_FUZZ_BUILD / NILO_FUZZ_TESTS let the test command share this sanitizer build with its
# sanitizer run of the test suites.
build="${NILO_FUZZ_BUILD:-$root/build-fuzz}"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNILO_FUZZ=ON -DNILO_BUILD_TESTS="${NILO_FUZZ_TESTS:-OFF}" -DNILO_BUILD_BENCH=OFF >/dev/null
targets=$(sed -n 's/^nilo_add_fuzzer(\([a-z_]*\) .*/\1/p' "$root/tests/fuzz/CMakeLists.txt")
cmake --build "$build" --target $targets
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for t in $targets; do
  name=${t#fuzz_}
  work="$build/fuzz/corpus-$name"
  mkdir -p "$work" "$build/fuzz/crashes-$name"
  echo "== $t for ${seconds}s"
  if ! "$build/fuzz/$t" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 \
       -artifact_prefix="$build/fuzz/crashes-$name/" -print_final_stats=1 \
       "$work" "$root/tests/fuzz/corpus/$name" 2>"$build/fuzz/$t.log"; then
    tail -40 "$build/fuzz/$t.log"
    status=1
  else
    grep -E 'stat::number_of_executed_units|Done' "$build/fuzz/$t.log" | tail -2
  fi
done
exit $status
