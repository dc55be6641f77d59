// Real frames of the set-up example match: the match set up in a fresh run
// folder, seeded, with the driver's own steps and handlers, and a look-up of
// the messages it posted.
#pragma once

#include "RunFolder.h"
#include "app/FrameSteps.h"
#include "core/MatchStore.h"
#include "core/Random.h"
#include "core/RunContext.h"
#include "flow/SetDesiredPositionUnit.h"
#include "platform/Platform.h"
#include "setup/InitialisationUnit.h"

inline void SetUpExampleMatch(RunFolder& run) {
  ExeDir = run.Dir();
  OutputDir = ExeDir + "output/";
  ForceDirectories(OutputDir);
  Form1.Reset();
  RandSeed = 4242;
  InitialiseMatch();
  ResetFrameSteps();
  ResetStateHandlers();
}

// The start values of a run, which the driver sets before the first frame:
// decisions on for both sides, an empty message queue and store.
inline void SetRunStartValues(TWorld& W) {
  W.Teams[1].DecisionsOn = kTrue32;
  W.Teams[2].DecisionsOn = kTrue32;
  for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
  MatchStore.MessageCount = 0;
  MatchStore.MessageCapacity = kMessageCapacity;
}

// Where the message of code Code was posted: in the world's queue or already
// flushed into the match store.
inline bool Posted(const TWorld& W, u8 Code, f32* Extra) {
  for (int k = 1; k <= 10; ++k)
    if (W.MessageSlotFree[k] == 0 && W.MessageQueue[k].message == Code) {
      *Extra = W.MessageQueue[k].extravalue;
      return true;
    }
  for (int k = 1; k <= MatchStore.MessageCount && k <= kMessageCapacity; ++k)
    if (MatchStore.Messages[k].message == Code) {
      *Extra = MatchStore.Messages[k].extravalue;
      return true;
    }
  return false;
}
