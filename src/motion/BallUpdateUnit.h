// Frame step 21: ball update. Moves the ball for one frame: a step per game
// state holds it in a carrier's hands, moves it along the scrum feed or
// leaves it where a set piece puts it (the flights of passes, throws and
// free balls are BallPassing, BallFree and BallLineoutThrow); then, when the
// attachment step has put the ball in a hand, places it on the holder's
// ball-in-hand track at his animation's progress; last BallVel := the
// displacement since PrevBallPos (m per frame, not per second) and
// BallSpeed := its length / TimeStep. Runs after the ball attachment, on the
// match and on the look-ahead copy alike; allocates nothing and logs nothing.
//
// A holder number that names no record (0, below 1, above 25) holds nothing:
// the ball stays where the step left it.
#pragma once

#include "core/TypeDefs.h"

void BallUpdate(TWorld& W);

// The per-state ball steps. Each that "stores" first copies BallPos into
// PrevBallPos, some also the three angles into their Prev fields.
void BallUserInterface(TWorld& W);  // stores; the ball stays
void BallRunning(TWorld& W);        // stores; held by BallCarrier at 1.5 m; carry flags
void BallPassing(TWorld& W);        // stores with the angles; the pass flight is the pass-flight unit's
void BallGotTackled(TWorld& W);     // stores nothing; carrier, ruck or scrum-half's hands
void BallFree(TWorld& W);           // stores with the angles; the free-ball flight is the free-ball unit's
void BallScrum(TWorld& W);          // stores with the angles; held at 1.5 m or the feed
void BallKickRestartSet(TWorld& W);  // held at 1.5 m (no store), else at RestartBallPos
void BallLineout(TWorld& W);        // held at 1.2 x Height by the thrower, at 3.0 m by a catcher
void BallLineoutThrow(TWorld& W);   // the throw flight with no carrier: the pass-flight unit's
void BallTryScored(TWorld& W);      // stores with the angles; grounded unless attached
void BallTransition(TWorld& W);     // held at 1.5 m by the transition holder, else BallFree

// The ball in a holder's hand along track Track (1..100 of BallKeyTracks) at
// animation progress Fraction: a Fraction outside [0, 1] (or not a number)
// counts as 0 and is written back so; the segment is the first whose end
// fraction is at or beyond Fraction (segment 1 when none is); the hand
// offsets, in units of the holder's height, are scaled by Height and turned
// by FacingRad (radians, heading 90 looking along +z) about HolderPos; the
// three angles are the sums of the rotation increments up to that point.
// Writes BallPos, BallSpin, BallYaw, BallPitch. Returns false, writing
// nothing, for a track outside 1..100 or one with fewer than two keyframes.
bool PlaceBallInHand(TWorld& W, i32 Track, f32& Fraction, f32 Height, f32 FacingRad, const TVector3& HolderPos);
