#!/usr/bin/env bash
# Installs what is missing, builds, and runs the tests.
#   scripts/test.sh [--sanitize address|thread] [ctest options, e.g. -L threads or -R name]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build_args=()
if [ "${1:-}" = "--sanitize" ]; then
  build_args=(--sanitize "$2")
  shift 2
fi
dir=$("$root/scripts/build.sh" "${build_args[@]}" | tail -n 1)
export QT_QPA_PLATFORM=offscreen
cd "$dir"
ctest --output-on-failure -j2 "$@"
