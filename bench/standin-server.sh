# shellcheck shell=bash
# Sourced by the benchmark scripts: starts the stand-in web in a process of its own.
#   start_standin STANDIN WORK_DIR [OPTION ...]
# Sets server (its process) and port; the caller kills the server when it is done.
# shellcheck disable=SC2034  # both are read by the caller
start_standin() {
  local program=$1 work=$2
  shift 2
  "$program" "$@" >"$work/standin.out" &
  server=$!
  for _ in $(seq 100); do
    grep -q "listening on" "$work/standin.out" 2>/dev/null && break
    sleep 0.05
  done
  port=$(sed -n 's/.*listening on [^:]*:\([0-9]*\).*/\1/p' "$work/standin.out")
  [ -n "$port" ] || { echo "the stand-in did not start" >&2; exit 1; }
}
