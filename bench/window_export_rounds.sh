#!/usr/bin/env bash
# Times the window's export (bench_window_export) of several builds in turns:
# for each round and resolution, each build once, each time on an ext4 file
# system made afresh on a loop device, so that no build meets a disk that
# another one filled. Prints one line per run (build, dpi, milliseconds, the
# load average before it) and then, per build and resolution, the median and
# its ratio to the first build's. Needs root (mkfs, mount).
#   window_export_rounds.sh ROUNDS NAME=BENCH_BINARY...
# QUVO_BENCH_ROWS (default 10000) and DPIS (default "72 300") choose the runs.
set -euo pipefail

rounds="$1"; shift
work="$(mktemp -d /tmp/window-export-rounds-XXXXXX)"
trap 'umount "$work/disk" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/disk"
results="$work/results"
: >"$results"

for round in $(seq "$rounds"); do
  for dpi in ${DPIS:-72 300}; do
    for build in "$@"; do
      name="${build%%=*}"; binary="${build#*=}"
      truncate -s 8G "$work/image"
      mkfs.ext4 -q -F "$work/image"
      mount -o loop "$work/image" "$work/disk"
      load="$(cut -d' ' -f1 /proc/loadavg)"
      ms="$(cd "$work/disk" && XDG_STATE_HOME="$work/disk/state" QUVO_BENCH_DISK="$work/disk" \
        "$binary" --benchmark_filter="BM_WindowExport/dpi:$dpi/" --benchmark_format=csv 2>/dev/null |
        awk -F, '/BM_WindowExport/ { print $3 }')"
      umount "$work/disk"
      rm -f "$work/image"
      echo "$round $name $dpi ${ms:-failed} $load" | tee -a "$results"
    done
  done
done

echo "build dpi median_ms ratio_to_$(echo "${1%%=*}") runs loads"
awk '
  { key = $2 " " $3; times[key] = times[key] " " $4; loads[key] = loads[key] " " $5
    if (!(key in seen)) { seen[key] = 1; order[++n] = key } }
  function median(list,   v, c, i, j, t) {
    c = split(list, v, " ")
    for (i = 1; i <= c; i++) for (j = i + 1; j <= c; j++) if (v[j] + 0 < v[i] + 0) { t = v[i]; v[i] = v[j]; v[j] = t }
    return c % 2 ? v[(c + 1) / 2] : (v[c / 2] + v[c / 2 + 1]) / 2
  }
  END {
    for (i = 1; i <= n; i++) { split(order[i], k, " "); m[order[i]] = median(times[order[i]]); if (!(k[2] in first)) first[k[2]] = m[order[i]] }
    for (i = 1; i <= n; i++) { split(order[i], k, " ")
      printf "%s %s %.0f %.3f%s |%s\n", k[1], k[2], m[order[i]], m[order[i]] / first[k[2]], times[order[i]], loads[order[i]] }
  }' "$results"
