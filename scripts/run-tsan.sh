#!/usr/bin/env bash
# Runs every test case of the given suites, each in a process of its own,
# under ThreadSanitizer, and sums up the reports. Reports whose every frame
# lies in Qt or the system are suppressed (tests/tsan.supp); any other report
# is a fault of ours and fails the run.
#   run-tsan.sh BUILD_DIR JOBS SUITE...
set -uo pipefail

build="$1"; jobs="$2"; shift 2
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$build/tsan-reports"
rm -rf "$out"; mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen
export QUVO_SOURCE_DIR="$root"
export TSAN_OPTIONS="suppressions=$root/tests/tsan.supp second_deadlock_stack=1 history_size=4 die_after_fork=0 log_path=$out/report"

cases=()
for suite in "$@"; do
  exe="$build/tests/${suite}_tests"
  group=""
  while IFS= read -r line; do
    case "$line" in
      " "*) cases+=("$exe ${group}${line// /}") ;;
      *) group="${line%% *}" ;;
    esac
  done < <(TSAN_OPTIONS="report_bugs=0" "$exe" --gtest_list_tests 2>/dev/null | grep -v '^QStandardPaths')
done

printf '%s\n' "${cases[@]}" | xargs -P "$jobs" -I{} sh -c 'set -- {}; "$1" --gtest_filter="$2" >"'"$out"'/$(echo "$2" | tr / _).log" 2>&1 || echo "FAILED $2"' \
  | tee "$out/failed.txt"

reports=$(cat "$out"/report.* 2>/dev/null | grep -c '^WARNING: ThreadSanitizer' || true)
failed=$(grep -c '^FAILED' "$out/failed.txt" || true)
echo "ThreadSanitizer: ${#cases[@]} test cases, $failed failed, $reports reports (in $out)"
[ "$reports" -eq 0 ] && [ "$failed" -eq 0 ]
