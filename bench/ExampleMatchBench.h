// The example input's match for the benchmarks, set up in a run folder of
// its own and put into open play.
#pragma once

#include "OpenPlayStart.h"
#include "core/Random.h"
#include "core/RunContext.h"
#include "core/TypeDefs.h"
#include "match/MatchFolder.h"
#include "platform/Platform.h"
#include "setup/InitialisationUnit.h"

// The example input's match, set up as the program does before its first
// frame in a run folder of its own (the set-up writes its input trace there),
// then put into open play: block 1's carrier holds the ball where he stands.
class TExampleMatch {
 public:
  explicit TExampleMatch(u32 seed) {
    SetProgramDirectory(folder_.Dir());
    ExeDir = folder_.Dir();
    OutputDir = ExeDir + "output/";
    ForceDirectories(OutputDir);
    RandSeed = seed;
    InitialiseMatch();
    PutIntoOpenPlay(World);
  }
  ~TExampleMatch() { SetProgramDirectory(""); }

 private:
  TMatchFolder folder_;
};
