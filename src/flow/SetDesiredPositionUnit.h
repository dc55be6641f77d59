// Frame step 10: the per-state controller of desired positions. It calls the
// one handler of the current game state, which sets the state up when it has
// just been entered, gives every player his desired position for this frame
// (and, where it must, speeds, timers, animations and action sequences) and
// decides when the state is left. It runs in every match and look-ahead
// frame and keeps no state of its own.
#pragma once

#include <array>

#include "core/TypeDefs.h"

using TStateHandler = void (*)(TWorld& W);

// The handler of each game state 0..25; null for the states in which no
// player's desired position changes (0, 5, 6, 11, 13 to 25). Tests may
// replace an entry; ResetStateHandlers puts the engine's own back.
using TStateHandlerTable = std::array<TStateHandler, gsHuddle + 1>;
extern TStateHandlerTable StateHandlers;

void ResetStateHandlers();

// Runs the handler of `gamestate`; a state without one, or a value above 25,
// does nothing.
void SetDesiredPosition(TWorld& W);

// The contract every handler keeps with its phase counter (RunningPhase,
// PassingPhase, ...), which whoever enters the state sets to 1: on the frame
// the counter is found at 1 the one-shot set-up runs and the counter then
// gains 1; the per-frame part follows in the same call, so the set-up frame
// also positions every player. A handler with a longer machine of phases
// keeps counting on the same counter.
template <class SetUp, class PerFrame>
void RunStateHandler(TWorld& W, i32& Phase, SetUp&& setUp, PerFrame&& perFrame) {
  if (Phase == 1) {
    setUp(W);
    Phase += 1;
  }
  perFrame(W);
}
