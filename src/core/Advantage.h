// Pending infringements and the advantage that follows them. The contact
// steps and the scrum handler add entries and start the timers; the
// contact-resolution step counts both timers down and then calls
// UpdateAdvantage once per frame, in every game state.
#pragma once

#include "core/TypeDefs.h"

// Reads and writes only the advantage record of W: AdvantageHoldTimer,
// AdvantageTimer and Infringements. Picks the head of the leading run of
// same-side entries; the rest of that run is dropped.
void UpdateInfringementList(TWorld& W);

// Keeps the list in order, posts the advantage messages and, every 2.5 s of
// AdvantageTimer, judges whether the advantage is over or play stops.
void UpdateAdvantage(TWorld& W);

// Writes an infringement into the first free entry of W.Infringements (the
// ten tried in order): Kind, Major, AgainstDefence and Player as given, the
// clock's rounded second and the ball's x and z. Returns the entry's number,
// or 0 when all ten are taken and nothing is written. Whether the entry
// counts as new is the caller's rule.
int EnterInfringement(TWorld& W, i32 Kind, bool32 Major, bool32 AgainstDefence, i32 Player);

// The newness rule of a tackle infringement: entry 1 is always new; a later
// entry K is not new when entry K - 1 has its kind and the same truth of its
// Major flag and lies within 0.8 m of it in x or in z.
bool IsNewBesideEntryBefore(const TWorld& W, int K);

// Enters an offside tackler: kind 3, major, against the defence, offender
// Player (a block-2 index). InfringementIsNew follows IsNewBesideEntryBefore;
// a new entry starts the advantage when none is held (AdvantageHoldTimer
// 12.5 s, AdvantageTimer 2.5 s), an entry that is not new is freed again.
// A full list takes nothing and leaves InfringementIsNew as it is.
void EnterOffsideTackler(TWorld& W, i32 Player);

// Enters hands in the ruck: kind 4, major, against block 1, offender
// Player (block 1's tackled player). InfringementIsNew follows
// IsNewHandlingEntry; an entry that is not new is freed again. A new entry
// posts msgPenHandsInRuck for the offender and, when block 2 has players
// bound and its FirstBinder is one of its players, msgPenaltyForced for him,
// and starts the advantage when none is held. A full list takes nothing.
void EnterHandsInRuck(TWorld& W, i32 Player);

// Kinds of the handling infringements of a pass or a loose ball.
constexpr i32 kKnockOn = 1;
constexpr i32 kForwardPass = 2;

// The newness rule of a handling infringement: entry 1 is always new; a later
// entry K is not new when entry K - 1 has its kind, side and offender; else
// it is new when the kind or the side differs, or when it lies more than
// 0.8 m from entry K - 1 in both x and z.
bool IsNewHandlingEntry(const TWorld& W, int K);

// Enters a knock-on (kKnockOn) or a forward pass (kForwardPass): minor,
// offender Player of block 2 when AgainstDefence else of block 1, at (X, Z).
// InfringementIsNew follows IsNewHandlingEntry; an entry that is not new is
// freed again. A new knock-on posts msgHandlingError for the offender, and
// msgBallDeadInGoal too when the ball lies on or beyond the goal line his
// side attacks; a new forward pass posts msgForwardPass for him (no message
// for an offender outside 1..25). A new entry starts the advantage when none
// is held. A full list takes nothing. Returns whether a new entry stays.
bool EnterHandlingInfringement(TWorld& W, i32 Kind, bool32 AgainstDefence, i32 Player, f32 X, f32 Z);

// Enters a scrum collapse: kind 5, major, offender Player of block 2 when
// AgainstDefence else of block 1, at (X, Z). InfringementIsNew follows
// IsNewHandlingEntry; an entry that is not new is freed again, a new one
// starts the advantage when none is held.
void EnterScrumCollapse(TWorld& W, bool32 AgainstDefence, i32 Player, f32 X, f32 Z);
