#!/usr/bin/env bash
# Plays whole matches of the example input, each in a run folder of its own,
# and prints one row per match, then a summary (means and the worst case).
# Builds the release tools first. Seeds come from the clock, as the program
# takes them, unless given.
#
# Usage: bench/time-match.sh [-j JOBS] [-t SECONDS] [-k] [-a] [MATCHES | -s SEED...]
#   MATCHES  matches to play (default 3), seeds from the clock
#   -s       play these seeds instead (all remaining arguments)
#   -j       matches at once (default 1)
#   -t       a match still running after this wall time is stopped and
#            counted as a hang (default 600)
#   -k       keep every run folder (default: only those of failed matches)
#   -a       play the build under ASan and UBSan (build-san/, some forty
#            times slower); a sanitizer's report ends the match with exit
#            status 3, its text in the run folder's stderr.txt
# Run folders: build/matches/<n>/ (build-san/matches/<n>/ with -a), each a
# program directory (csvinput/, output/, mydebuglog.txt). Row columns: seed,
# exit status (0 no errors, 1 error run, 2 failed start-up or finish, 3
# sanitizer report, 124 hang, above 128 killed by a signal), match team 1's
# and team 2's score, tries, conversions, penalty goals and drop goals
# (made/attempted, both teams), match frames, look-ahead frames, wall time
# of the match in seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=1
limit=600
keep=0
seeds=()
build=build
while getopts "j:t:kas" opt; do
  case $opt in
    j) jobs=$OPTARG ;;
    t) limit=$OPTARG ;;
    k) keep=1 ;;
    a) build=build-san ;;
    s) seeds=(given) ;;
    *) awk 'NR > 1 && /^#/ { print; next } NR > 1 { exit }' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
if [ "${seeds[0]:-}" = given ]; then
  seeds=("$@")
  matches=${#seeds[@]}
else
  matches=${1:-3}
fi

if [ "$build" = build ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
else
  cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=Debug -DENGINE_SANITIZE=ON -DENGINE_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target play_match >/dev/null
# A sanitizer's report ends the process with status 3.
export ASAN_OPTIONS=${ASAN_OPTIONS:-exitcode=3}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:exitcode=3:print_stacktrace=1}

base=$PWD/$build/matches
rm -rf "$base"
mkdir -p "$base"
rows=$base/rows.txt
: >"$rows"
# The batch plays its own copy, so a rebuild meanwhile changes none of it.
tool=$base/play_match
cp "$build/play_match" "$tool"

play() {  # play N [SEED]
  local n=$1 seed=${2:-} dir=$base/$1 status=0 row
  mkdir -p "$dir/csvinput"
  cp -r examples/csvinput/internetinit "$dir/csvinput/"
  row=$(timeout "$limit" "$tool" "$dir" $seed 2>"$dir/stderr.txt") || status=$?
  if [ -z "$row" ]; then
    # Stopped or killed: the seed is the run log's, if it got that far.
    seed=$(sed -n 's/^randseed \([0-9]*\).*/\1/p' "$dir/mydebuglog.txt" 2>/dev/null | head -1)
    row="${seed:-${2:-?}} $status - - - - - - - - -"
  fi
  echo "$row"
  echo "$row" >>"$rows"
  if [ "$keep" = 0 ] && [ "$status" = 0 ]; then rm -rf "$dir"; fi
}

echo "seed exit score1 score2 tries conversions penaltygoals dropgoals frames lookaheadframes wall_s"
for n in $(seq 1 "$matches"); do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  play "$n" "${seeds[$((n - 1))]:-}" &
  # Seeds from the clock are milliseconds: no two starts share one.
  [ ${#seeds[@]} -gt 0 ] || sleep 0.002
done
wait

awk '
  function made(s) { split(s, a, "/"); return a[1] }
  function tried(s) { split(s, a, "/"); return a[2] }
  BEGIN { maxPts = maxFrames = maxLook = maxWall = -1 }
  {
    n++
    if ($2 != 0) { failed++; bad = bad " " $1 "(" $2 ")" }
    if ($3 == "-") next
    played++
    pts = $3 + $4; points += pts; tries += $5
    conv += made($6); convAtt += tried($6)
    pen += made($7); penAtt += tried($7)
    drop += made($8); dropAtt += tried($8)
    frames += $9; look += $10; wall += $11
    if (pts > maxPts) { maxPts = pts; maxPtsSeed = $1 }
    if ($9 > maxFrames) { maxFrames = $9; maxFramesSeed = $1 }
    if ($10 > maxLook) { maxLook = $10; maxLookSeed = $1 }
    if ($11 > maxWall) { maxWall = $11; maxWallSeed = $1 }
  }
  END {
    printf "summary: %d matches, %d with exit status 0", n, n - failed
    if (failed) printf "; failed (seed(status)):%s", bad
    printf "\n"
    if (!played) exit
    printf "per match: points %.1f, tries %.2f, conversions %.2f/%.2f, penalty goals %.2f/%.2f, drop goals %.2f/%.2f, kicks at goal %.2f\n",
      points / played, tries / played, conv / played, convAtt / played, pen / played, penAtt / played,
      drop / played, dropAtt / played, (convAtt + penAtt + dropAtt) / played
    printf "per match: frames %.0f, look-ahead frames %.0f, wall %.2f s\n", frames / played, look / played, wall / played
    printf "worst: points %d (seed %s), frames %d (seed %s), look-ahead frames %d (seed %s), wall %.2f s (seed %s)\n",
      maxPts, maxPtsSeed, maxFrames, maxFramesSeed, maxLook, maxLookSeed, maxWall, maxWallSeed
  }' "$rows"
