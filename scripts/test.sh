#!/usr/bin/env bash
# Installs what is missing, builds, and runs the tests: by default under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-address/), the one build CI tests with.
#   scripts/test.sh [--plain | --sanitize address|thread] [--build-target T] [ctest options, e.g. -L threads]
# --plain tests the plain debug build (build/); --build-target builds only T (say thread_tests, what
# the "threads" label runs) instead of all.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build_args=(--sanitize address)
if [ "${1:-}" = "--sanitize" ]; then
  build_args=(--sanitize "$2")
  shift 2
elif [ "${1:-}" = "--plain" ]; then
  build_args=()
  shift
fi
targets=()
if [ "${1:-}" = "--build-target" ]; then
  targets=("$2")
  shift 2
fi
dir=$("$root/scripts/build.sh" "${build_args[@]}" "${targets[@]}" | tail -n 1)
export QT_QPA_PLATFORM=offscreen
cd "$dir"
ctest --output-on-failure -j2 "$@"
