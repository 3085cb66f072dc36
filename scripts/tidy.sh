#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) on the C++ files changed since a base commit, work tree included,
# with the compile commands of a build; a changed header is checked through its own .cpp. Fails
# on any finding. Needs a configured build: scripts/build.sh makes build/.
#   scripts/tidy.sh [base]      base: default $QUIB_TIDY_BASE, else HEAD~1; build: $QUIB_BUILD_DIR, else build/
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
base=${1:-${QUIB_TIDY_BASE:-HEAD~1}}
build=${QUIB_BUILD_DIR:-$root/build}
tidy=$(command -v clang-tidy-14 || command -v clang-tidy || true)
if [ -z "$tidy" ]; then
  echo "tidy: clang-tidy is not installed (scripts/setup.sh installs it)" >&2
  exit 2
fi
if ! git rev-parse --verify -q "$base^{commit}" >/dev/null; then
  echo "tidy: no commit $base to compare with; nothing to check"
  exit 0
fi
if [ ! -f "$build/compile_commands.json" ]; then
  echo "tidy: no $build/compile_commands.json; build first (scripts/build.sh)" >&2
  exit 2
fi
# The changed sources, and for each changed header the source beside it.
mapfile -t changed < <(git diff -M --name-only --diff-filter=AMR "$base" -- '*.cpp' '*.h')
files=()
for file in "${changed[@]}"; do
  case "$file" in
    *.h) file=${file%.h}.cpp ;;
  esac
  [ -f "$file" ] && files+=("$file")
done
mapfile -t files < <(printf '%s\n' "${files[@]}" | sort -u | sed '/^$/d')
# Only files the build compiles have compile commands (the fuzzer-only mains have none here).
compiled=()
for file in "${files[@]}"; do
  if grep -qF "\"file\": \"$root/$file\"" "$build/compile_commands.json"; then
    compiled+=("$file")
  else
    echo "tidy: $file is not in the build's compile commands; skipped"
  fi
done
if ((${#compiled[@]} == 0)); then
  echo "tidy: no compiled C++ file changed since $base"
  exit 0
fi
# Findings in the project's headers count too; the build tree's generated ones do not.
folders="admin|bench|collect|host|partner|results|shell|standin|tests|tools"
status=0
for file in "${compiled[@]}"; do
  # clang's count of the warnings it suppressed (in Qt's headers and the like) is no finding.
  if ! out=$("$tidy" -p "$build" --quiet --warnings-as-errors='*' --header-filter="^$root/($folders)/" "$file" 2>&1); then
    status=1
  fi
  grep -vE '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' <<<"$out" || true
done
if ((status)); then
  echo "tidy: findings above in the files changed since $base" >&2
  exit 1
fi
echo "tidy: ${#compiled[@]} files changed since $base are clean"
