// Frame step 13: the timer step. Counts the clocks and countdowns of the
// world, of both team blocks, of every player and (in the match world only)
// of the two move books and the sampler's guard, advances the match clock,
// and fires the actions that wait on those timers: the pass and kick
// releases, falls, stand-ups and injuries, and the forced movements that
// hold players on scripted paths. It runs after the desired speeds and
// before acceleration, on the match and on the look-ahead copy alike.
//
// Clocks grow by TimeStep; countdowns shrink by it with no floor, except the
// one-shot ones, counted only while above 0, which fire on the frame they
// reach 0 or below.
#pragma once

#include <cstdint>

#include "core/TypeDefs.h"

// The whole step, in its order of work: world clocks and the held-carrier
// time; the move-book and guard timers with SearchFlag (match world only);
// SetPointOfInterest; restart and stoppage clocks; ContactCheckTimer
// (re-armed to 0.025 s when not above 0); the match clock (held after half
// time until play is live, clamped to the half); the player reaction timers
// with the pass-in-flight run-outs; the pressure and strategy timers; the
// pass flight and the pass release; then the kick, the falls, stand-ups and
// injuries, the forced movements and the standing actions. Allocates and
// logs nothing.
void DelayPlayers(TWorld& W);

// Part of DelayPlayers, exposed for tests: dives of kinds 2 to 4 end, block
// exits roll the blocker over, ended tackles put players on the ground,
// lying players may be injured and get up, getting-up and released
// breakdown players are held on their spot, and block 1 players who get up
// or leave the breakdown rejoin play (a new support cell or a template run).
void FallsStandUpsAndInjuries(TWorld& W);

// Part of DelayPlayers, exposed for tests: the kick run-up, the loose-ball
// run, following, scripted runs, the lineout and maul holds, special
// actions, the shimmy and the hold of tackled players during a ruck pass,
// each setting DesiredPos (and some a speed) for the motion steps.
void ForcedMovements(TWorld& W);

// ---------------------------------------------------------------- merged passes
// Three passes of the step (the reactions, the forced movements' first pass
// and the falls' first pass) run several stages in one loop over the players,
// each stage for player i of both blocks; the result is that of running each
// stage over all players in turn, as no stage reads what another writes for
// another player. The stages, in their order, are exposed so that
// tests/motion/MergedPassesTest.cpp can run them one at a time. With the
// marked players below, they save 3.6 % of a seeded match (1.74 G of 48.23 G
// callgrind instructions, seed 4242) over each stage run over every player.

// The reaction pass: plain countdowns, the pass reaction's run-out (the
// interception try), the pass read, the angle reaction (a listed chaser
// presses), AuxTimer3.
void CountPlainTimers(TWorld& W, int i);
void CountPassReaction(TWorld& W, int i);
void CountPassRead(TWorld& W, int i);
void CountAngleReaction(TWorld& W, int i);
void CountAuxTimer3(TWorld& W, int i);

// The forced-movement pass: the marking of the players on a forced movement
// (Marked: player i of block b at bit 2 (i - 1) + b - 1), the
// kick runs and loose-ball runs of the marked, every follow, every scripted
// run. StartForcedPass reads the state's holds once, before the loop.
struct TForcedPass {
  bool LineoutHolds, MaulHolds, RuckHolds;
  uint64_t Marked;
};
TForcedPass StartForcedPass(const TWorld& W);
void MarkForced(TWorld& W, int i, TForcedPass& F);
void RunKickRuns(TWorld& W, int i, const TForcedPass& F);
void RunLooseBallRuns(TWorld& W, int i, const TForcedPass& F);
void RunFollow(TWorld& W, int i);
void RunScripted(TWorld& W, int i);

// The falls' and the forced movements' later stages run only over the
// players that a first pass marks (a set of bits, player i of block b at
// 2 (i - 1) + b - 1): over the others each stage would do nothing, as it
// starts none of what the marking looks for. Each stage runs over the set in
// turn, as the tables list them; a test runs them over every player.
struct TMarkedStage {
  const char* Name;
  void (*Run)(TWorld& W, uint64_t Marked);
};

// The falls' first pass, merged: for each player, block 1's dive ends
// (EndDiveOf), then both blocks' players in a tackle, a fall, a lie, a
// get-up or a breakdown are marked (MarkFalling), an ended dive's get-up
// among them. Returns the set.
void EndDiveOf(TWorld& W, int i);
void MarkFalling(TWorld& W, int i, uint64_t& Marked);
uint64_t EndDivesAndMarkFalling(TWorld& W);
constexpr int kFallStageCount = 5;
extern const TMarkedStage kFallStages[kFallStageCount];

// The forced movements' first pass (the stages above, with TForcedPass),
// returning TForcedPass::Marked.
uint64_t MarkAndRunForcedMovements(TWorld& W);
constexpr int kForcedStageCount = 5;
extern const TMarkedStage kForcedStages[kForcedStageCount];

// Player i is among the first ChaserCount entries of T's ChaserSlots.
bool IsListedChaser(const TTeamBlock& T, int i);

// ---------------------------------------------------------------- call points
// Procedures of the timer step built in other units. Each is called only
// where its comment says.

// Block 2 player i's PassReadTimer was counted down this frame (it was above
// 0); it has run out when it is now 0 or below. The defender's first
// reaction to a pass in flight: at the run-out his PassReactTime
// (ReactionDelayExtra2.value) is drawn; a listed chaser clears block 2's
// pressure timers in passing. Built in motion/PassInFlight.cpp.
void DefenderReadsPass(TWorld& W, int i);

// Block 2 player i's second pass reaction delay (ReactionDelayExtra2.value,
// PassReactTime) has just run out: the interception try. Built in
// motion/PassInFlight.cpp.
void DefenderTriesInterception(TWorld& W, int i);

// In passing, match world only, every frame: the receiver's one re-aim
// during the flight. Built in motion/PassInFlight.cpp.
void ReaimReceiver(TWorld& W);

// In passing, every frame: the chase of a pass not caught at its planned
// arrival. Built in motion/PassInFlight.cpp.
void ChaseLoosePass(TWorld& W);

// Block 1's PassFlightLeft has just run out in passing: the planned arrival.
// Built in motion/PassInFlight.cpp.
void PassArrives(TWorld& W);

// Every frame on which block 1's PassFlightLeft was above 0 before this
// frame's count (after PassArrives): the arming of the receiver's catch.
// Built in motion/PassInFlight.cpp.
void ArmPassCatch(TWorld& W);

// Block 1's PassTimeLeft has just run out: the choice of the throw and the
// release of the pass. Built in motion/PassRelease.cpp.
void ReleasePass(TWorld& W);

// Right after ReleasePass on the same frame, whether or not the pass went:
// the pass called off, or the ball out of the breakdown, scrum or lineout. Built in
// motion/BallOutOfBreakdown.cpp.
void BallOutOfBreakdown(TWorld& W);

// Every frame, before the falls: the kick countdown and launch, the tackled
// kicker and the spilled ball (motion/KickRelease.cpp).
void ReleaseKick(TWorld& W);

// Every frame, last: the standing actions at rucks and scrums. Once a
// breakdown or scrum has lasted 1 s, block 1's players at their places play
// a few short up-field special actions (kinds 6..11), the kind by the side on
// which their team-mates stand. Draws per player: the count and start time
// once per set piece (ActionsMade -1), then the kind at each action.
void StandingActions(TWorld& W);
