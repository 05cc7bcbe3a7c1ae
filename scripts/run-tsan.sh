#!/usr/bin/env bash
# Runs every test case of the given suites, each in a process of its own,
# under ThreadSanitizer, and sums up the reports. Races in which one access
# is made on a stack without a frame of ours (Qt or the system working on a
# thread of its own) are dropped (cmake/ThreadCheckerReports.cpp), and a
# library's own memory that its atomics hand between threads of ours is
# named in tests/tsan.supp; any other report is a fault of ours and fails the
# run.
# Then runs each benchmark program of the build once, briefly (the cases below,
# one iteration each), and counts the reports with a frame of our own code
# (a function of this repository in one of the stacks): there must be none.
# Last, the race probe's races of ours must all be reported.
#   run-tsan.sh BUILD_DIR JOBS SUITE...
set -uo pipefail

build="$(cd "$1" && pwd)"; jobs="$2"; shift 2
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$build/tsan-reports"
rm -rf "$out"; mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen
export QUVO_SOURCE_DIR="$root"
options="suppressions=$root/tests/tsan.supp second_deadlock_stack=1 history_size=7 die_after_fork=0"
export TSAN_OPTIONS="$options log_path=$out/report"

cases=()
for suite in "$@"; do
  exe="$build/tests/${suite}_tests"
  group=""
  while IFS= read -r line; do
    case "$line" in
      " "*) line="${line%%#*}"; cases+=("$exe ${group}${line// /}") ;;  # without "# GetParam() = ..."
      *) group="${line%% *}" ;;
    esac
  done < <(TSAN_OPTIONS="report_bugs=0" "$exe" --gtest_list_tests 2>/dev/null | grep -v '^QStandardPaths')
done

printf '%s\n' "${cases[@]}" | xargs -P "$jobs" -I{} sh -c 'set -- {}; "$1" --gtest_filter="$2" >"'"$out"'/$(echo "$2" | tr / _).log" 2>&1 || echo "FAILED $2"' \
  | tee "$out/failed.txt"

reports=$(cat "$out"/report.* 2>/dev/null | grep -c '^WARNING: ThreadSanitizer' || true)
failed=$(grep -c '^FAILED' "$out/failed.txt" || true)
echo "ThreadSanitizer: ${#cases[@]} test cases, $failed failed, $reports reports (in $out)"

# The short cases of each benchmark program: the ones that start work on other
# threads (the window's picture filtering, the spreadsheet reader's inflating
# thread, the batch export's workers and the window's export of 200 rows, the
# print's fill tasks) and a quick one of each other program.
declare -A short=(
  [bench_2d]='.'
  [bench_barcode_render]='renderRows/(Code128|QRCode)_72dpi'
  [bench_data_import]='.'
  [bench_design_read]='BM_OpenDesignSharingOnePicture'
  [bench_export]='BM_BatchExport/rows:1000/workers:8/dpi:72'
  [bench_linear]='encode|drawPicture'
  [bench_photo_export]='workers:8/dpi:72/bad:1'
  [bench_picture]='BM_DrawAfterFilterChange/filter:0/screen:1|BM_SignatureRepaint/signatures:1$'
  [bench_print]='BM_PrintBoundCards/1000/'
  [bench_text]='chars:20000$'
  [bench_window_export]='dpi:72'
  [bench_xlsx]='BM_ReadXlsx/100000/'
)
benches=0; ours=0; others=0; benchFailed=0
for exe in "$build"/bench/bench_*; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  name="$(basename "$exe")"
  log="$out/$name"
  TSAN_OPTIONS="$options exitcode=0 log_path=$log.report" QUVO_BENCH_ROWS=200 "$exe" --benchmark_filter="${short[$name]:-.}" \
    --benchmark_min_time=0.000001 >"$log.log" 2>&1 || { echo "FAILED $name"; benchFailed=$((benchFailed + 1)); }
  # One report per block; it is ours when a frame of its stacks lies in this
  # repository (its sources or the files the build generates from them), not
  # in the system's headers, Qt or the libraries. Paths are absolute, or
  # relative to the build folder.
  counts=$(cat "$log".report.* 2>/dev/null | awk -v root="$root/" '
    /^WARNING: ThreadSanitizer/ { if (open) { if (mine) o++; else t++ } open = 1; mine = 0; next }
    open && /^    #[0-9]+ / && !/libsanitizer/ &&
      (index($0, " " root) || / (\.\.\/)*(src|bench|tests)\/[^ ]*:[0-9]+/) { mine = 1 }
    END { if (open) { if (mine) o++; else t++ } print o + 0, t + 0 }')
  read -r mine theirs <<<"$counts"
  echo "  $name: $mine reports with a frame of ours, $theirs others"
  benches=$((benches + 1)); ours=$((ours + mine)); others=$((others + theirs))
done
echo "ThreadSanitizer: $benches benchmark programs, $benchFailed failed, $ours reports with a frame of ours, $others others (in $out)"

# The race probe (tests/sanitizers/RaceProbeTest.cpp): races of ours made on
# purpose, each case alone; each must be reported with the suppressions in
# force, or these hide races of ours.
(cd "$build" && ctest -R '^RaceProbe\.' >"$out/race-probe.log" 2>&1)
probes=$(grep -c 'Test *#[0-9]*: RaceProbe\.' "$out/race-probe.log" || true)
missed=$(grep -c 'Test *#[0-9]*: RaceProbe\..*Failed' "$out/race-probe.log" || true)
echo "ThreadSanitizer: race probe, $probes races of ours made, $missed not reported (in $out/race-probe.log)"
[ "$reports" -eq 0 ] && [ "$failed" -eq 0 ] && [ "$ours" -eq 0 ] && [ "$benchFailed" -eq 0 ] &&
  [ "$probes" -gt 0 ] && [ "$missed" -eq 0 ]
