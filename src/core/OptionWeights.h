// Option weights of the field strategies as per-mille shares, and the
// weighted choice of each side's play option at a ruck, scrum or lineout.
#pragma once

#include "core/TypeDefs.h"

// Turns each of the family's 30 zone rows into per-mille shares of its first
// OptionCount weights (halves to even); a row whose sum is below 1 is first
// made even (50 each). The sum is kept in 16 bits, as the weights are.
// Entries beyond OptionCount are left alone; OptionCount 0 or less changes
// nothing.
void NormaliseOptionWeights(TOptionFamily& Family);

struct TFieldStrategy;

// The field strategy of block B's match team: team 1's for block 1 while
// Team1InFirstBlock is set, for block 2 while it is clear.
const TFieldStrategy& FieldStrategyOfBlock(const TWorld& W, int B);

// Copies the first OptionCount weights (at most 20) of Family's row Zone
// (1..30) into ChoiceWeights and draws one of them (WeightedRandomIndex);
// 0 without a draw for a count of 0 or less.
i32 DrawZoneOption(TWorld& W, const TOptionFamily& Family, int Zone);

// Play options (TTeamBlock.PlayOption).
enum : u16 {
  kOptionRunSecure = 1,    // run, keep possession
  kOptionRunGain = 2,      // run, gain ground
  kOptionKickTouch = 3,    // defensive kick to touch
  kOptionKickInField = 4,  // defensive kick into the field
  kOptionAttackKick = 5,
  kOptionDropGoal = 6,
  kOptionLeadAtFullTime = 7,  // given only after full time to a side that leads
};

// Renews both blocks' CatchingUp (block 1, then block 2): set when the side
// trails by more points per minute left (at least 0.01) than its field
// strategy's CatchUpThreshold, or trails at all with 5 minutes or less left.
// Then, with ForSideInPossession, draws block 1's PlayOption, and with
// ForOtherSide block 2's, each from the play-option row of its field-strategy
// zone at the set piece: the ball in gottackled (and any other state), the
// mark in scrum, 5 m in from the touch line in lineout, in the side's own
// attacking frame. The half is the catch-up one by the ratio alone. The draw
// is then replaced: a defensive kick within 10 m of the goal line attacked
// (ruck, scrum, lineout) by 1 or 2; anything from 10 s before full time by 2;
// after full time a leader's by 7; a drop goal with the ball more than 37 m
// from the middle of that goal line by 2. Draws: block 1's weighted draw and
// its kick replacement, then block 2's. OptionCount 0 gives option 0 unless a
// time rule replaces it; a count above 20 draws from the row's 20 weights.
// Writes ChoiceWeights (the first OptionCount entries). Works on the world
// it is given, match or look-ahead copy; allocates and logs nothing.
void ChoosePlayOption(TWorld& W, bool32 ForSideInPossession, bool32 ForOtherSide);
