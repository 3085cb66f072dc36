#!/usr/bin/env bash
# Fuzzes each target under tests/fuzz for a bounded time with clang's libFuzzer (ASan+UBSan),
# starting from a copy of its corpus, so a run never changes the committed corpus. An input that
# fails is kept in build-fuzzer/findings/ and the script exits non-zero: add it to the target's
# corpus once fixed, and the corpus replay keeps it fixed in every build.
#   scripts/fuzz.sh [--seconds N] [target...]      (targets: site_pages text feeds html settings results)
# QUIB_FUZZ_SEED fixes libFuzzer's seed (CI sets one, so a red run can be repeated); unset, each
# run explores anew.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=20
if [ "${1:-}" = "--seconds" ]; then
  seconds=$2
  shift 2
fi
targets=("$@")
((${#targets[@]})) || targets=(site_pages text feeds html settings results)
if ! command -v clang++ >/dev/null; then
  echo "clang++ is not installed: no fuzzing (the corpus replay runs with the tests)"
  exit 0
fi
dir=$("$root/scripts/build.sh" --sanitize fuzzer "${targets[@]/#/fuzz_}")
findings="$dir/findings"
mkdir -p "$findings"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
for target in "${targets[@]}"; do
  work=$(mktemp -d)
  cp -r "$root/tests/fuzz/corpus/$target/." "$work/"
  echo "fuzzing $target for ${seconds}s"
  if ! "$dir/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -seed="${QUIB_FUZZ_SEED:-0}" -timeout=10 -rss_limit_mb=2048 \
      -max_len=262144 -artifact_prefix="$findings/$target-" -print_final_stats=1 "$work" 2>"$work.log"; then
    tail -n 40 "$work.log"
    echo "fuzz_$target failed; the input is in $findings"
    rm -rf "$work"
    exit 1
  fi
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$work.log" | tr '\n' ' '
  echo
  rm -rf "$work" "$work.log"
done
echo "${#targets[@]} passed, 0 failed"
