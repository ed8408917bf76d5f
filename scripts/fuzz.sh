#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets (build-fuzz, clang) and runs each for SECONDS from a copy of its seed
# corpus in fuzz/corpus, which itself stays as checked in. One line per target: executions,
# their rate, coverage at the end, inputs added, peak memory. A target that finds a fault shows
# its log, keeps the input in build-fuzz/crashes, and makes the status 1.
# Usage: scripts/fuzz.sh [SECONDS]     (make test: 20; make fuzz-long: FUZZ_SECONDS, 600)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCORVANE_BUILD_FUZZ=ON -DCORVANE_BUILD_GUI=OFF -DCORVANE_BUILD_TESTS=OFF \
  -DCORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)"

stat() { grep -m1 "^stat::$1:" "$2" | awk '{print $2}'; }
passed=0
failed=0
printf '%-22s %8s %12s %9s %6s %6s %7s\n' target seconds executions "per s" cov added "rss MB"
for target in build-fuzz/fuzz/fuzz_*; do
  [[ -x $target ]] || continue
  name=$(basename "$target")
  work=$(mktemp -d)
  [[ -d fuzz/corpus/$name ]] && cp -r "fuzz/corpus/$name/." "$work/"
  if "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/" \
    "$work" >"$work.log" 2>&1; then
    passed=$((passed + 1))
    coverage=$(grep -E '^#[0-9]+' "$work.log" | tail -1 | sed -n 's/.* cov: \([0-9]*\).*/\1/p')
    printf '%-22s %8s %12s %9s %6s %6s %7s\n' "$name" "$seconds" \
      "$(stat number_of_executed_units "$work.log")" "$(stat average_exec_per_sec "$work.log")" \
      "${coverage:-?}" "$(stat new_units_added "$work.log")" "$(stat peak_rss_mb "$work.log")"
  else
    failed=$((failed + 1))
    echo "--- $name found a fault:"
    tail -50 "$work.log"
    mkdir -p build-fuzz/crashes
    cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* build-fuzz/crashes/ 2>/dev/null || true
  fi
  rm -rf "$work" "$work.log"
done
echo "fuzz: $passed passed, $failed failed"
((failed == 0))
