// The start of the catch actions of both sides' ball chasers (stage 6 of the
// free-ball contact step): each chaser placed on a point of the ball's path
// takes the action that suits the ball there (low or chest catch, standing
// high catch, jump catch; for block 1 also the dive over the goal line and,
// on the match world, the kick of the loose ball on into space) and starts it
// its lead time before the ball arrives. Block 1 attacks towards +z. Works on
// the world it is given and allocates and logs nothing.
#pragma once

#include "core/TypeDefs.h"

// Runs while FreeBallPointsTimer is above 0. For each block (block 1 first),
// each non-zero ChaserSlots entry up to ChaserCount: a chaser out of a catch
// action and not getting up, with a point on the path (FreeBallPointIndex, or
// the key point when contested and he can reach it) that the ball reaches
// within 0.7 s and he can reach in time, gets FreeBallCatchKind and
// FreeBallCatchRecoverFraction; once the kind's lead time (+ half a frame)
// covers the ball's time to the point, the action starts (timer 10 s,
// angle, facing, speed).
void StartCatchAttempts(TWorld& W);
