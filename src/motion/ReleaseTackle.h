// The tackle of block 1's carrier completed as the ball leaves his hands: the
// offloading passer (PassRelease.cpp) and the kicker held as he kicks
// (KickRelease.cpp) go to ground in the one way below, and the block-2
// tacklers governed by him fall with him. Works on the world it is given;
// draws in the order stated.
#pragma once

#include "core/TypeDefs.h"

constexpr double kReleaseTackleSpeedCap = 3.0;  // m/s of block 2's tackle momentum handed to the carrier
constexpr f32 kReleaseTackleHold = 10.0f;        // s, GettingTackledTimer until the fall is drawn
constexpr f32 kCarrierFallsForward = 6.0f, kCarrierFallsBack = 7.0f;   // the carrier's GettingTackledKind
constexpr f32 kTacklerFallsAway = 5.0f, kTacklerFallsAtImpact = 6.0f;  // a tackler's TackleAttemptKind
constexpr double kTacklerMinGround = 0.05;       // s on the ground at least

// Carrier C of block 1, held in block 2's tackle (TackleSpeed, TackleHeading,
// TackleMass) as the ball goes, falls: block 2's TackleSpeed is capped at 3
// m/s; C takes its momentum (ForcedRunAngle and Speed with ForcedRunTimer 0,
// ImpactSpeed, ImpactAngle, ImpactMass, GettingTackledSpeed and Angle),
// stands on his spot (DesiredPos := Pos), his passtimer and KickTimer are
// cleared; he falls forward (kind 6, facing the impact heading) or back
// (kind 7, facing its reverse) as Forward says, which block 2's
// CarrierFallsForward records; his GroundTime (0.3 to 0.7 s), then his
// GettingTackledTimer (0.45 to 0.55 s) are drawn. Round him, ScratchCircle
// (radius 1, its flags cleared) gives block 2's ImpactSlot, the point nearest
// the impact heading, or SlotWhenNone when there is none (a heading that is
// not a number); ImpactSlotFree is 0 at that slot and its neighbours within
// 1..8 (no wrap) and -1 elsewhere. Returns the slot (0: none marked).
i32 FallReleasedCarrier(TWorld& W, TPlayer& C, bool Forward, i32 SlotWhenNone);

// Whether tackler T falls away from the impact (he holds no circle point, or
// one left blocked by FallReleasedCarrier) rather than back under C.
bool TacklerFallsAway(const TTeamBlock& D, const TPlayer& T);

// Tackler T falls with carrier C: away from the impact (kind 5, along C's
// ImpactAngle) or at it (kind 6, along its reverse), facing the way he falls.
// Returns his time on the ground (s), one draw of 0.3 to 0.7 s less or more
// than C's GroundTime; the caller floors it as its rule says.
double FallWithCarrier(TPlayer& T, const TPlayer& C, bool Away);
