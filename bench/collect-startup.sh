#!/usr/bin/env bash
# What quib-collect costs as a command-line tool, against curl, both on the stand-in web in a
# process of its own:
#   start-up:  a one-page album (Tudou 1x20, read from its feed), against curl fetching that feed;
#   500-pages: a Tudou playlist of 500 pages (500x20 --no-fast), against curl fetching the same
#              500 pages one after another over one connection.
# Wall time and peak RSS (/usr/bin/time) of every run; each program writes what it got to a file
# (quib-collect its rows, curl the pages; the peak's runs to /dev/null). The programs run in turn, quib-collect then curl (then
# the other build's quib-collect, when one is given), so every ratio comes from runs taken at the
# same load; prints the medians of RUNS rounds and the load before and after.
#   bench/collect-startup.sh [BUILD_DIR] [RUNS] [OTHER_BUILD_DIR]
# Defaults: build-release, 11 rounds (after one warm-up round), no other build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/standin-server.sh
source "$root/bench/standin-server.sh"
build=${1:-$root/build-release}
runs=${2:-11}
other=${3:-}
standin=$build/standin/quib-standin
work=$(mktemp -d)
trap 'kill "$server" 2>/dev/null || true; rm -rf "$work"' EXIT

start_standin "$standin" "$work"
route="::127.0.0.1:$port"

# One run: appends "WALL_US PEAK_KIB" to the file named first; the output goes to $work/out. The
# wall time comes from a run of its own, as /usr/bin/time's start and wait would count in it.
measure() {
  local into=$1 start end
  shift
  # Read without starting a process, which would count as the program's own time.
  start=${EPOCHREALTIME/[.,]/}
  "$@" >"$work/out"
  end=${EPOCHREALTIME/[.,]/}
  /usr/bin/time -f %M -o "$work/peak" "$@" >/dev/null
  echo "$((end - start)) $(tail -n 1 "$work/peak")" >>"$into"
}

# One quib-collect run of BUILD, its rows checked: NAME BUILD ROWS ARGS...
collect() {
  local name=$1 dir=$2 rows=$3
  shift 3
  measure "$work/$name" "$dir/tools/quibcollect/quib-collect" --quiet --connect-to "$route" "$@"
  if [ "$(wc -l <"$work/out")" -ne "$rows" ]; then
    echo "$dir: quib-collect printed $(wc -l <"$work/out") rows, not $rows" >&2
    exit 1
  fi
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
# Median of the per-round ratio of the wall times in two files.
ratio() { paste -d' ' "$work/$1" "$work/$2" | awk '{printf "%.3f\n", $1 / $3}' | median; }
figures() {
  printf '%6.1f ms %5.1f MiB' "$(cut -d' ' -f1 "$work/$1" | median | awk '{print $1 / 1000}')" \
    "$(cut -d' ' -f2 "$work/$1" | median | awk '{print $1 / 1024}')"
}

# compare NAME ROWS URL QUIB-COLLECT-ARGS...
compare() {
  local name=$1 rows=$2 url=$3
  shift 3
  for run in $(seq 0 "$runs"); do
    if [ "$run" -eq 1 ]; then : >"$work/a"; : >"$work/b"; : >"$work/c"; fi  # after the warm-up round
    collect a "$build" "$rows" "$@"
    measure "$work/b" curl -s --connect-to "$route" "$url"
    [ -z "$other" ] || collect c "$other" "$rows" "$@"
  done
  echo "$name: quib-collect $(figures a) | curl $(figures b) | quib-collect/curl wall $(ratio a b)"
  [ -z "$other" ] ||
    echo "$name: other build  $(figures c) | quib-collect/curl wall $(ratio c b) | this/other wall $(ratio a c)"
}

echo "$build, $runs rounds${other:+, other build $other}; load before: $(cut -d' ' -f1-3 /proc/loadavg)"
compare start-up 20 "http://www.tudou.com/playlist/rss.do?lid=1x20" --site tudou 1x20
compare 500-pages 10000 "http://www.tudou.com/playlist/showItems.do?lid=500x20&pn=[1-500]" \
  --no-fast --site tudou 500x20
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
