#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole test suite: a check that every source follows .clang-format, the normal build's tests,
# the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer, the tests whose work
# runs on several threads built with ThreadSanitizer, a short run of every fuzz target, and the
# Windows build's tests under Wine (scripts/test-windows.sh).
# CORVANE_TEST_PHASES picks phases (default: "main asan tsan fuzz windows").
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
phases=${CORVANE_TEST_PHASES:-main asan tsan fuzz windows}
jobs=$(nproc)
fuzz_seconds=${CORVANE_FUZZ_SECONDS:-20}
status=0
passed_total=0
failed_total=0

run_ctest() {
  local dir=$1
  local exclude=()
  # Without root the lab builds itself inside a user namespace, where the system allows one.
  if [[ $(id -u) -ne 0 ]] && ! unshare --user --map-root-user --net true 2>/dev/null; then
    echo "run-tests: neither root nor user namespaces: skipping tests labelled 'lab'"
    exclude=(-LE lab)
  fi
  local log
  log=$(mktemp)
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" "${exclude[@]}" "${@:2}" | tee "$log" ||
    status=1
  # "100% tests passed, 0 tests failed out of 330"
  local summary
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [[ $summary =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    failed_total=$((failed_total + BASH_REMATCH[1]))
    passed_total=$((passed_total + BASH_REMATCH[2] - BASH_REMATCH[1]))
  else
    status=1
  fi
  rm -f "$log"
}

# The style first: it takes a second and names every file that .clang-format would change.
echo "=== formatting (.clang-format)"
if bash scripts/format.sh --check; then
  passed_total=$((passed_total + 1))
else
  status=1
  failed_total=$((failed_total + 1))
fi

for phase in $phases; do
  case $phase in
    main)
      echo "=== tests ($build)"
      run_ctest "$build"
      ;;
    asan)
      echo "=== tests under AddressSanitizer and UndefinedBehaviorSanitizer (build-asan)"
      cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON \
        -DCORVANE_BUILD_BENCH=OFF >/dev/null
      cmake --build build-asan -j "$jobs"
      ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
        LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 run_ctest build-asan
      ;;
    tsan)
      # Only what the tests labelled "threads" need is built: a whole third build would not fit
      # the time the suite may take.
      echo "=== tests of work on several threads under ThreadSanitizer (build-tsan)"
      cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE_THREAD=ON \
        -DCORVANE_BUILD_BENCH=OFF >/dev/null
      cmake --build build-tsan -j "$jobs" --target devsim operations_test platform_services_test \
        web_browser_test restart_dialog_test shares_lab_test codepage_install_lab_test
      TSAN_OPTIONS="suppressions=$PWD/scripts/tsan.supp halt_on_error=1" \
        run_ctest build-tsan -L threads
      ;;
    fuzz)
      echo "=== fuzz targets, ${fuzz_seconds}s each from their seed corpora (build-fuzz)"
      log=$(mktemp)
      bash scripts/fuzz.sh "$fuzz_seconds" | tee "$log" || status=1
      if [[ $(tail -1 "$log") =~ ^fuzz:\ ([0-9]+)\ passed,\ ([0-9]+)\ failed$ ]]; then
        passed_total=$((passed_total + BASH_REMATCH[1]))
        failed_total=$((failed_total + BASH_REMATCH[2]))
      else
        status=1
      fi
      rm -f "$log"
      ;;
    windows)
      echo "=== the Windows build's tests under Wine (build-windows)"
      cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
      cmake --build build-windows -j "$jobs"
      log=$(mktemp)
      bash scripts/test-windows.sh build-windows "$build" | tee "$log" || status=1
      # ctest's summary of the unit tests, and the lab script's "N passed, M failed"
      for summary in "$(grep -E 'tests passed, [0-9]+ tests? failed out of' "$log" | tail -1)" \
        "$(grep -E '^cli_lab_test.sh: ' "$log" | tail -1)"; do
        if [[ $summary =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
          failed_total=$((failed_total + BASH_REMATCH[1]))
          passed_total=$((passed_total + BASH_REMATCH[2] - BASH_REMATCH[1]))
        elif [[ $summary =~ ([0-9]+)\ passed,\ ([0-9]+)\ failed ]]; then
          passed_total=$((passed_total + BASH_REMATCH[1]))
          failed_total=$((failed_total + BASH_REMATCH[2]))
        elif [[ $(id -u) -eq 0 ]]; then
          status=1
        fi
      done
      rm -f "$log"
      ;;
    *)
      echo "run-tests: unknown phase $phase" >&2
      exit 2
      ;;
  esac
done

echo "Tests: $passed_total passed, $failed_total failed"
exit $status
