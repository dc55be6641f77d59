#include "match/MatchSignature.h"

#include <cstdio>

#include "match/MatchFolder.h"
#include "match/MatchProbe.h"

std::string MatchSignature() {
  uint64_t frames = 0;
  uint64_t hash = kHashStart;
  std::string scores, exits;
  for (const u32 seed : kSignatureSeeds) {
    TMatchFolder folder;
    const TMatchFigures F = PlayProbedMatch(folder.Dir(), true, seed);
    frames += F.Frames;
    hash = HashBytes(hash, &F.PositionHash, sizeof F.PositionHash);
    scores += " " + std::to_string(F.Score1) + "-" + std::to_string(F.Score2);
    exits += " " + std::to_string(F.ExitStatus);
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  std::string line = "matches " + std::to_string(std::size(kSignatureSeeds));
  line += " frames " + std::to_string(frames);
  line += " scores" + scores;
  line += " exits" + exits;
  line += " hash " + std::string(hex);
  return line;
}
