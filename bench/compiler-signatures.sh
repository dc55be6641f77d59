#!/usr/bin/env bash
# Plays the match signature (the three seeded matches of match_signature)
# with builds other than the Makefile's and compares each line with the one
# that tests/app/MatchSignatureTest.cpp holds: the same seed and input must
# play the same match and write the same files whatever the compiler and
# optimisation.
#
# Usage: bench/compiler-signatures.sh [-j JOBS] [clang] [lto]
#   clang  Clang Release build (-O3) in build-clang/
#   lto    GCC Release build with link-time optimisation in build-lto/
#   (both when none is named)
#   -j     compile jobs (default: the number of cores)
# What a fresh machine lacks is installed first (`make deps compiler-deps`,
# as root). Only the engine and match_signature are built, through ccache
# when it is installed. Prints one row per build (its name, "same" or
# "DIFFERS", the line it played), then the expected line; exits 1 when a
# line differs, 2 when a build fails.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
while getopts "j:" opt; do
  case $opt in
    j) jobs=$OPTARG ;;
    *) awk 'NR > 1 && /^#/ { print; next } NR > 1 { exit }' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=(lto clang)
for b in "${builds[@]}"; do
  case $b in
    clang | lto) ;;
    *) echo "unknown build '$b': clang or lto" >&2; exit 2 ;;
  esac
done

# The expected line: the string pieces of kExpected, joined.
expected=$(sed -n '/kExpected =/,/;/p' tests/app/MatchSignatureTest.cpp |
  grep -o '"[^"]*"' | tr -d '"\n')
[ -n "$expected" ] || { echo "no expected line in MatchSignatureTest.cpp" >&2; exit 2; }

make -s deps
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

for b in "${builds[@]}"; do
  case $b in
    clang)
      make -s compiler-deps
      dir=build-clang
      flags=(-DCMAKE_CXX_COMPILER=clang++) ;;
    lto)
      dir=build-lto
      flags=(-DCMAKE_INTERPROCEDURAL_OPTIMIZATION=ON) ;;
  esac
  mkdir -p "$dir"
  { cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DENGINE_BENCH=OFF \
      "${launcher[@]}" "${flags[@]}" &&
    cmake --build "$dir" -j "$jobs" --target match_signature; } >"$dir/build.log" 2>&1 ||
    { tail -n 40 "$dir/build.log" >&2; echo "$b: the build failed ($dir/build.log)" >&2; exit 2; }
  line=$("$dir"/match_signature)
  if [ "$line" = "$expected" ]; then verdict=same; else verdict=DIFFERS; status=1; fi
  printf '%-6s %-8s %s\n' "$b" "$verdict" "$line"
done
printf '%-6s %-8s %s\n' test expected "$expected"
exit "${status:-0}"
