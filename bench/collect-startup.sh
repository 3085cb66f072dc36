#!/usr/bin/env bash
# What quib-collect costs as a command-line tool, against curl, both on the stand-in web in a
# process of its own:
#   start-up: a one-page album (Tudou 1x20, its feed), wall time and peak RSS of quib-collect and
#             of curl fetching the same feed;
#   500 pages: a Tudou playlist of 500 pages (500x20 --no-fast) against curl fetching the same 500
#             pages one after another over one connection.
# The two programs run in turn (quib-collect, curl, quib-collect, ...), so every ratio comes from a
# pair run at the same load; prints the medians of RUNS pairs and the load before and after. Each
# writes what it got to a file: quib-collect its rows, curl the pages.
#   bench/collect-startup.sh [BUILD_DIR] [RUNS]
# Defaults: build-release, 11 runs (after one warm-up pair).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-release}
runs=${2:-11}
collect=$build/tools/quibcollect/quib-collect
standin=$build/standin/quib-standin
work=$(mktemp -d)
trap 'kill "$server" 2>/dev/null || true; rm -rf "$work"' EXIT

"$standin" >"$work/standin.out" &
server=$!
for _ in $(seq 100); do
  grep -q "listening on" "$work/standin.out" 2>/dev/null && break
  sleep 0.05
done
port=$(sed -n 's/.*listening on [^:]*:\([0-9]*\).*/\1/p' "$work/standin.out")
[ -n "$port" ] || { echo "the stand-in did not start" >&2; exit 1; }
route="::127.0.0.1:$port"

# One run: appends "WALL_MS PEAK_KB" to the file named first; the command's rows go to $work/rows.
measure() {
  local into=$1 start end
  shift
  start=$(date +%s%N)
  /usr/bin/time -f %M -o "$work/peak" "$@" >"$work/rows"
  end=$(date +%s%N)
  echo "$(((end - start) / 1000)) $(tail -n 1 "$work/peak")" >>"$into"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

# compare NAME ROWS "QUIB-COLLECT ARGS" CURL-URL: the pairs, then one line of medians.
compare() {
  local name=$1 rows=$2 args=$3 url=$4
  : >"$work/a"
  : >"$work/b"
  for run in $(seq 0 "$runs"); do
    # shellcheck disable=SC2086 # the arguments are words
    measure "$work/a" "$collect" --quiet --connect-to "$route" $args
    if [ "$(wc -l <"$work/rows")" -ne "$rows" ]; then
      echo "$name: quib-collect printed $(wc -l <"$work/rows") rows, not $rows" >&2
      exit 1
    fi
    measure "$work/b" curl -s --connect-to "$route" "$url"  # its pages go where the rows went
    [ "$run" -gt 0 ] || { : >"$work/a"; : >"$work/b"; }  # the warm-up pair
  done
  local ratios
  ratios=$(paste -d' ' "$work/a" "$work/b" | awk '{printf "%.3f\n", $1 / $3}' | median)
  printf '%-10s quib-collect %6.1f ms %6.1f MB | curl %6.1f ms %6.1f MB | wall ratio %.2f (median of %s pairs)\n' \
    "$name" "$(cut -d' ' -f1 "$work/a" | median | awk '{print $1 / 1000}')" \
    "$(cut -d' ' -f2 "$work/a" | median | awk '{print $1 / 1024}')" \
    "$(cut -d' ' -f1 "$work/b" | median | awk '{print $1 / 1000}')" \
    "$(cut -d' ' -f2 "$work/b" | median | awk '{print $1 / 1024}')" "$ratios" "$runs"
}

echo "$collect, load before: $(cut -d' ' -f1-3 /proc/loadavg)"
compare start-up 20 "--site tudou 1x20" "http://www.tudou.com/playlist/rss.do?lid=1x20"
compare 500-pages 10000 "--no-fast --site tudou 500x20" \
  "http://www.tudou.com/playlist/showItems.do?lid=500x20&pn=[1-500]"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
