#!/usr/bin/env bash
# Builds in release mode and runs every benchmark; prints one table of medians and worst
# cases with their budgets or references. BENCH_CLOCK_SECONDS (default 60) sets the idle
# clock measurement. Raw outputs are kept in build-bench/bench-*.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --test
build="$root/build-bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DNILO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target bench_startup bench_core bench_print bench_layout bench_accounts bench_clock nilocheque
export QT_QPA_PLATFORM=offscreen
b="$build/bench"
results="$build/bench-results.tsv"
: >"$results"
run() {
  local name=$1; shift
  echo "running $name..." >&2
  "$@" >"$build/bench-$name.log" 2>/dev/null || echo "  $name failed (see $build/bench-$name.log)" >&2
  grep '^RESULT' "$build/bench-$name.log" | cut -f2- >>"$results" || true
}
run startup "$b/bench_startup" 15
run print "$b/bench_print" "$build/nilocheque"
run layout "$b/bench_layout"
run accounts "$b/bench_accounts" 15
run clock "$b/bench_clock" "${BENCH_CLOCK_SECONDS:-60}"
"$b/bench_core" --benchmark_repetitions=5 --benchmark_format=csv 2>/dev/null >"$build/bench-core.csv"
# Google Benchmark's aggregates: median and, as the worst, the largest repetition.
awk -F, 'NR>1 { gsub(/"/,"",$1); n=$1; sub(/_(mean|median|stddev|cv)$/,"",n);
          if ($1 ~ /_median$/) med[n]=$3; else if ($1 !~ /_(mean|stddev|cv)$/) { if ($3>worst[n]) worst[n]=$3 } }
         END { for (n in med) printf "%s\t%.1f\t%.1f\tns\t%s\n", n, med[n], worst[n],
               (n ~ /Decode/ ? "50" : (n ~ /AmountToWords/ ? "2000" : "-")) }' \
  "$build/bench-core.csv" >>"$results"

echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/ {print $2}') GiB"
printf '| %-44s | %10s | %10s | %-12s | %s |\n' figure median worst unit "budget / reference"
printf '|%s|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..46})" "------------" "------------" "--------------" "--------------------"
while IFS=$'\t' read -r name median worst unit ref; do
  printf '| %-44s | %10s | %10s | %-12s | %s |\n' "$name" "$median" "$worst" "$unit" "$ref"
done <"$results"
