// Plays one whole match in a run folder laid out as the program's own
// directory and prints its figures in one row (see FiguresHeader), for
// bench/time-match.sh. Usage: play_match RUNDIR [SEED]; without a seed the
// start-up takes it from the clock, as the program does.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "match/MatchProbe.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: play_match RUNDIR [SEED]\n");
    return 2;
  }
  const bool fixedSeed = argc == 3;
  const u32 seed = fixedSeed ? static_cast<u32>(std::strtoul(argv[2], nullptr, 10)) : 0;
  const TMatchFigures F = PlayProbedMatch(argv[1], fixedSeed, seed);
  std::printf("%s\n", FiguresRow(F).c_str());
  return F.ExitStatus;
}
