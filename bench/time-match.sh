#!/usr/bin/env bash
# Times whole matches on the example input: builds in release mode, lays out
# a run folder per match and reports the wall time of each run.
# Usage: bench/time-match.sh [matches]   (default 3)
set -euo pipefail
cd "$(dirname "$0")/.."
matches=${1:-3}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target matchengine >/dev/null
for i in $(seq 1 "$matches"); do
  dir=$(mktemp -d)
  mkdir -p "$dir/output" "$dir/csvinput"
  cp build/matchengine "$dir/"
  cp -r examples/csvinput/internetinit "$dir/csvinput/"
  start=$(date +%s.%N)
  status=0
  (cd "$dir" && ./matchengine >/dev/null 2>&1) || status=$?
  end=$(date +%s.%N)
  awk -v i="$i" -v s="$start" -v e="$end" -v st="$status" 'BEGIN { printf "match %d: %.3f s, exit status %d\n", i, e - s, st }'
  rm -rf "$dir"
done
