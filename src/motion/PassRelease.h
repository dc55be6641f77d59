// The release of a pass, part of the timer step: when block 1's PassTimeLeft
// runs out, the throw to the receiver is chosen and the ball leaves the
// carrier's hands.
//
// The choice tries the receiver's run from fast to slow (up to 20 tries).
// Each try fills block 1's ThrowTargets with candidate points along his run
// (ThrowTargetsAlongRun), drops forward, over-lofted and too-fast throws,
// picks the nearest acceptable point (or, for a long pass, the furthest one
// inside the field less 0.4 m), and may swap it for the next point when a
// defender threatens it less. The release then sets the flight (with the
// passer's error in the match world only), passing with PassingPhase 1, the
// reaction clocks, the messages and the support calls, and completes an
// offload's tackle or the breakdown the ball leaves. Allocates and logs
// nothing; runs on the match and on the look-ahead copy alike.
#pragma once

#include "core/TypeDefs.h"

// The search settings of one release.
struct TPassSearch {
  bool LongPass;  // the carrier's event in force asks for a long pass: keep the furthest point
  f32 Limit;      // m/s, the top launch speed L
};

// LongPass and L for block 1's carrier: maxpassspeed (+ 1.0 for PassKind 6),
// maxpassspeed2 for a long pass.
TPassSearch PassSearchFor(const TWorld& W, const TPlayer& Carrier);

// The length of run (m, at least 0.1) over which candidate points are spread,
// for the receiver running at block 1's ReceiverRunSpeed along
// ReceiverRunAngle. In running, a receiver behind the carrier who runs
// forward (over 0.1 m/s in z) covers only up to 1.0 m ahead of the carrier.
f32 PassReach(const TWorld& W, const TPlayer& Carrier, const TPlayer& Receiver, const TPassSearch& S);

// Makes invalid the candidates of block 1's ThrowTargets that go forward
// (target z beyond the ball's z + the carrier's PassAccuracyBonus + 0.025
// m, or not a number) or that are lofted beyond the vertical launch speed
// allowed for their distance from the carrier.
void FilterThrowTargets(TWorld& W, const TPlayer& Carrier);

// The first scan and the risk check over block 1's ThrowTargets: leaves the
// throw in Chosen and returns whether there is one. No entry with Time 0.35
// s or less is ever chosen. No risk check for PassKind 6 or within 3.75 s of
// a set piece.
bool ChooseThrow(TWorld& W, const TPlayer& Carrier, const TPassSearch& S);

// The release of the chosen throw of block 1's ThrowTargets by its carrier
// to PassReceiver (both must name players): passing, BallCarrier 0.
void ReleaseChosenThrow(TWorld& W);
