#!/usr/bin/env bash
# Checks the layout (.clang-format) of the C++ lines changed since a base commit, work tree
# included; untouched code is left as it is. Renamed files count only for their changed lines.
#   scripts/check-format.sh [--fix] [base]      base: default $QUIB_FORMAT_BASE, else HEAD~1
set -euo pipefail
cd "$(dirname "$0")/.."
fix=0
if [ "${1:-}" = "--fix" ]; then
  fix=1
  shift
fi
base=${1:-${QUIB_FORMAT_BASE:-HEAD~1}}
if ! git rev-parse --verify -q "$base^{commit}" >/dev/null; then
  echo "check-format: no commit $base to compare with; nothing to check"
  exit 0
fi
# "path start:end ..." per file, from the added side of a rename-aware diff without context.
ranges=$(git diff -M -U0 --no-color --diff-filter=AMR "$base" -- '*.cpp' '*.h' | awk '
  /^\+\+\+ / { if (file != "" && lines != "") print file lines; file = substr($2, 3); lines = ""; next }
  /^@@ / {
    split($3, added, ","); start = substr(added[1], 2); count = (2 in added) ? added[2] : 1
    if (count > 0) lines = lines " " start ":" (start + count - 1)
  }
  END { if (file != "" && lines != "") print file lines }')
status=0
while read -r file spans; do
  [ -n "$file" ] || continue
  args=()
  for span in $spans; do args+=("--lines=$span"); done
  if ((fix)); then
    clang-format -i "${args[@]}" "$file"
  elif ! clang-format "${args[@]}" "$file" | diff -u --label "$file" --label "$file (formatted)" "$file" -; then
    status=1
  fi
done <<<"$ranges"
if ((status)); then
  echo "check-format: the changed lines above differ from .clang-format; fix with: scripts/check-format.sh --fix $base" >&2
  exit 1
fi
((fix)) || echo "check-format: the lines changed since $base are formatted"
