#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program (options are passed on; see --help).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
dir=$("$root/scripts/build.sh" quib | tail -n 1)
exec "$dir/host/app/quib" "$@"
