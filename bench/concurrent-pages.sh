#!/usr/bin/env bash
# Album pages over a slow link: quib-collect against the stand-in web in its own process, every
# response held LATENCY ms, with --jobs 1, 4 and 8; the rows of every run must equal those of
# --jobs 1 byte for byte. Prints the wall time of each run and the median per --jobs.
#   bench/concurrent-pages.sh [BUILD_DIR] [RUNS] [LATENCY_MS] [ALBUM] [SITE]
# Defaults: build, 5 runs, 100 ms, a Tudou playlist of 100 pages of 20 items ("100x20").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/standin-server.sh
source "$root/bench/standin-server.sh"
build=${1:-$root/build}
runs=${2:-5}
latency=${3:-100}
album=${4:-100x20}
site=${5:-tudou}
collect=$build/tools/quibcollect/quib-collect
standin=$build/standin/quib-standin
work=$(mktemp -d)
trap 'kill "$server" 2>/dev/null || true; rm -rf "$work"' EXIT

start_standin "$standin" "$work" --latency "$latency"

echo "album $site $album, ${latency} ms per response, $runs runs, load: $(cut -d' ' -f1-3 /proc/loadavg)"
for jobs in 1 4 8; do
  times=()
  for _ in $(seq "$runs"); do
    start=$(date +%s.%N)
    "$collect" --quiet --no-fast --jobs "$jobs" --connect-to "::127.0.0.1:$port" --site "$site" "$album" \
      >"$work/rows-$jobs.txt"
    end=$(date +%s.%N)
    times+=("$(echo "$end - $start" | bc)")
    if ! cmp -s "$work/rows-1.txt" "$work/rows-$jobs.txt"; then
      echo "--jobs $jobs gave other rows than --jobs 1" >&2
      exit 1
    fi
  done
  median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}')
  printf -- '--jobs %s: %s rows, median %.2f s (runs: %s)\n' "$jobs" "$(wc -l <"$work/rows-$jobs.txt")" "$median" \
    "${times[*]}"
done
