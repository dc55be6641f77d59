// A match set up from a run folder's example input, as the program sets it
// up before its first frame.
#pragma once

#include "RunFolder.h"
#include "core/Random.h"
#include "core/RunContext.h"
#include "platform/Form.h"
#include "platform/Platform.h"
#include "setup/InitialisationUnit.h"

// Points the program's folders at `run`, empties the panes, starts the
// generator at `seed` and sets up World.
inline void SetUpMatchIn(const RunFolder& run, u32 seed) {
  ExeDir = run.Dir();
  OutputDir = ExeDir + "output/";
  ForceDirectories(OutputDir);
  Form1.Reset();
  RandSeed = seed;
  InitialiseMatch();
}
