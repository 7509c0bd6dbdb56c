#!/usr/bin/env bash
# Builds the fuzz target and fuzzes the whole analysis for a bounded time.
#   fuzz/run_fuzz.sh [SECONDS] [extra libFuzzer flags...]
# The committed seeds stay as they are: new inputs go to a scratch corpus
# under build/fuzz/. A crash, sanitizer report, leak or hang (an input that
# runs longer than 10 s) stops the run with a non-zero status and leaves the
# input as build/fuzz/crash-* for a regression fixture.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)  # the target works in a directory of its own: give it absolute paths
seconds=${1:-120}
shift || true
cmake --preset fuzz > /dev/null
cmake --build --preset fuzz > /dev/null
scratch=$root/build/fuzz/corpus
mkdir -p "$scratch"
"$root"/build/fuzz/fuzz/quarvel_fuzz "$scratch" "$root"/fuzz/corpus "$root"/fuzz/regressions \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -artifact_prefix="$root"/build/fuzz/ -print_final_stats=1 "$@"
