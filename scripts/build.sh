#!/usr/bin/env bash
# Configures and builds into a build folder of its own.
#   scripts/build.sh [--sanitize address|thread] [--release] [--dir DIR] [ninja targets...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
sanitize=""
type=Debug
dir=""
while (($#)); do
  case "$1" in
    --sanitize) sanitize=$2; shift 2 ;;
    --release) type=Release; shift ;;
    --dir) dir=$2; shift 2 ;;
    *) break ;;
  esac
done
if [ -z "$dir" ]; then
  dir="$root/build"
  [ -n "$sanitize" ] && dir="$root/build-$sanitize"
  [ "$type" = Release ] && dir="$dir-release"
fi
compilers=()
# libFuzzer comes with clang.
[ "$sanitize" = fuzzer ] && compilers=(-DCMAKE_CXX_COMPILER=clang++)
# Timings under a sanitizer mean nothing: its builds leave the benchmarks out.
options=()
[ -n "$sanitize" ] && options=(-DQUIB_BUILD_BENCH=OFF)
launcher=()
# A compiler cache, where one is installed, makes rebuilds in several work trees cheap.
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$dir" -G Ninja "${launcher[@]}" "${compilers[@]}" "${options[@]}" -DCMAKE_BUILD_TYPE="$type" -DQUIB_SANITIZE="$sanitize" >/dev/null
ninja -C "$dir" "$@" >&2
echo "$dir"
