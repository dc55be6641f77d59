// Stage 2 of the animation step (AnimatePlayers) for the actions a player
// runs: passes, catches, kicks, dives, tackles, breakdown, lineout and maul
// roles, gestures and block moves. Each action has a timer; while it runs
// the action's own animation plays, and when that animation has played out
// the action ends. Works on the world it is given, like the whole step.
#pragma once

#include "core/TypeDefs.h"

// The carrier's evasive actions as block 1's CarrierActionKind holds them.
// When the action's animation has played out (EndActions), the action ends:
// CarrierActionTime := 0 and, in the match world, CarrierActionEnded, so
// that the decision step may choose again.
enum TCarrierAction : i32 {
  caBreak = 4,  // a break of the tackle: charge, fend, goose step, stumble
  caStep = 5,   // a side step or spin
};

// Stage 2a: cancellations of set-piece gestures and block moves, then the
// ends of actions whose animation has ended (clearing their timers): one
// table, a row per action (its timer, its animations, what else ends with
// it), walked in order.
//
// CancelActions and EndActions run for every player on every frame, and
// each has nothing to do on most: their tests are inline here, so the rules
// are called only when there is. Together they save 0.77 % of a seeded
// match (362 M of 46.86 G callgrind instructions, seed 4242).
// Only these three timers are ever cancelled, and the rules that cancel
// them read the world without changing it.
void CancelRunningActions(TWorld& W, int b, int i);
inline void CancelActions(TWorld& W, int b, int i) {
  const TPlayer& P = W.Teams[b].Players[i];
  if (P.SpecialAnimTimer > 0.0f || P.BlockExitTimer > 0.0f || P.BlockExitedOnTimer > 0.0f) CancelRunningActions(W, b, i);
}
// EndActions runs for every player on every frame too, and an action ends
// only when its animation has played out: until then it returns here.
void EndPlayedOutActions(TWorld& W, int b, int i);
inline void EndActions(TWorld& W, int b, int i) {
  const TPlayer& P = W.Teams[b].Players[i];
  if (P.currentframe >= P.maxframes) EndPlayedOutActions(W, b, i);
}

// Whether player i of block b is free of actions and so gets the locomotion
// and rest choice: none of his action timers runs, or one of the five
// exceptions holds (a kind-0 tackle, a breakdown role 0, 1, 60 or 61, a
// lineout role 0 or 1, a maul hold of kind 1, a special action of kind 0).
bool IsFreeOfActions(const TPlayer& P, int b);

// Stage 2b for a busy player: the animation of each running action.
void ChooseActionAnim(TWorld& W, int b, int i);
